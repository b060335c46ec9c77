// What a screen reader and a keyboard user get from the real Quorvale.exe: the names Active
// Accessibility reads for controls whose captions say too little, F1 opening each window's help
// page, tips for cut list cells, and the Never Erase list's scroll bars and Remove button.
#include "DialogTestSupport.h"
#include "about/AboutForm.h"
#include "app/MainForm.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "settings/KeepListForm.h"
#include "settings/NeverEraseForm.h"
#include "settings/OptionsForm.h"
#include "settings/PreviewForm.h"
#include "tools/DriveWasherForm.h"

#include <commctrl.h>
#include <oleacc.h>
#include <tlhelp32.h>

#include <set>

namespace {

constexpr IID kIAccessibleId = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The name a screen reader reads for the control, through AccessibleObjectFromWindow as it does.
std::string AccessibleName(HWND control) {
    using FromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    static HMODULE oleacc = LoadLibraryW(L"oleacc.dll");
    auto fromWindow =
        reinterpret_cast<FromWindow>(reinterpret_cast<void*>(GetProcAddress(oleacc, "AccessibleObjectFromWindow")));
    if (!fromWindow) {
        ADD_FAILURE() << "no AccessibleObjectFromWindow";
        return {};
    }
    IAccessible* object = nullptr;
    if (FAILED(
            fromWindow(control, static_cast<DWORD>(OBJID_CLIENT), kIAccessibleId, reinterpret_cast<void**>(&object))) ||
        !object) {
        return "(no object)";
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string result = "(no name)";
    if (SUCCEEDED(object->get_accName(self, &name)) && name) {
        result = Narrow(name);
        SysFreeString(name);
    }
    object->Release();
    return result;
}

RECT ScreenRect(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    return rect;
}

// A left click on an entry of a list box, at a fraction of its width (two clicks at one place
// would be a double click).
void ClickRow(HWND list, int row, double across = 0.3) {
    RECT window{};
    GetWindowRect(list, &window);
    POINT client{0, 0};
    ClientToScreen(list, &client);
    const int height = ListBoxItemHeight(list);
    const double y = client.y - window.top + row * height + height / 2.0;
    ClickWithMouse(list, across, y / (window.bottom - window.top));
}

class AccessibilityTest : public ::testing::Test {
protected:
    void SetUp() override { com_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
    void TearDown() override {
        if (com_) {
            CoUninitialize();
        }
    }
    HWND OpenOptions() { return StartAndOpen(app_, "Options", kOptionsClass, "Options"); }

    QuorvaleApp app_;
    bool com_ = false;
};

TEST_F(AccessibilityTest, ChromePageBoxesSayTheirBrowserAndTraceWhileTheirCaptionsStay) {
    HWND options = OpenOptions();
    ASSERT_NE(options, nullptr);
    struct Row {
        const char* trace;
        int firstBox; // Chrome's; Edge, Brave and Vivaldi follow five ids apart
    };
    const Row rows[] = {{"Erase Cache", TFrmOptions::IDC_CHK_CHROMECACHE},
                        {"Erase Cookies", TFrmOptions::IDC_CHK_CHROMECOOKIES},
                        {"Erase History", TFrmOptions::IDC_CHK_CHROMEHISTORY},
                        {"Erase Form Data", TFrmOptions::IDC_CHK_CHROMEFORMDATA},
                        {"Erase Saved Passwords", TFrmOptions::IDC_CHK_CHROMEPASSWORDS}};
    const char* browsers[] = {"Chrome", "Edge", "Brave", "Vivaldi"};
    std::set<std::string> names;
    for (const Row& row : rows) {
        for (int b = 0; b < 4; ++b) {
            HWND box = ControlOf(options, row.firstBox + 5 * b);
            EXPECT_EQ(AccessibleName(box), std::string(browsers[b]) + ": " + row.trace);
            EXPECT_EQ(RemoteWindowText(box), browsers[b]);
            names.insert(AccessibleName(box));
        }
    }
    EXPECT_EQ(names.size(), 20u);
}

TEST_F(AccessibilityTest, ChromePageKeepButtonEndsTheCookiesRowAndSaysWhatItKeeps) {
    HWND options = OpenOptions();
    ASSERT_NE(options, nullptr);
    HWND keep = ControlOf(options, TFrmOptions::IDC_BTN_CHROMIUMSITES);
    RECT button = ScreenRect(keep);
    RECT vivaldi = ScreenRect(ControlOf(options, TFrmOptions::IDC_CHK_VIVALDICOOKIES));
    const int middle = (button.top + button.bottom) / 2;
    EXPECT_GE(button.left, vivaldi.right) << "right of the cookies row's last box";
    EXPECT_TRUE(middle > vivaldi.top && middle < vivaldi.bottom) << "on the cookies row";
    EXPECT_EQ(RemoteWindowText(keep), "Keep ...");
    EXPECT_EQ(AccessibleName(keep), "Keep the cookies of chosen sites (Chrome, Edge, Brave, Vivaldi) ...");
}

TEST_F(AccessibilityTest, MoveButtonsOfTheKeepListsSayWhatTheyMove) {
    HWND options = OpenOptions();
    ASSERT_NE(options, nullptr);
    struct Case {
        int keepButton;
        const wchar_t* className;
        const char* caption;
        const char* what;
        int browserPage;
    };
    const Case cases[] = {
        {TFrmOptions::IDC_BTN_CHROMIUMSITES, kCookieSitesClass, "Sites Whose Cookies Are Kept", "sites", 4},
        {TFrmOptions::IDC_BTN_IECOOKIESOPTION, kIECookiesClass, "Options of IE Cookies", "cookies", 0},
        {TFrmOptions::IDC_BTN_TYPEDURLOPTION, kIEAddressBarHistoryClass, "Options of IE Address Bar History",
         "addresses", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        TurnToPage(ControlOf(options, TFrmOptions::IDC_PGC_BROWSER), c.browserPage);
        HWND list = OpenWindowByClick(app_, ControlOf(options, c.keepButton), c.className, c.caption);
        ASSERT_NE(list, nullptr);
        HWND add = ControlOf(list, TFrmListPair::IDC_BTN_ADD);
        HWND remove = ControlOf(list, TFrmListPair::IDC_BTN_DELETE);
        EXPECT_EQ(RemoteWindowText(add), ">>");
        EXPECT_EQ(RemoteWindowText(remove), "<<");
        EXPECT_EQ(AccessibleName(add), std::string("Move the selected ") + c.what + " to the kept list");
        EXPECT_EQ(AccessibleName(remove), std::string("Move the selected ") + c.what + " out of the kept list");
        ASSERT_TRUE(CloseWith(app_, list, "Cancel"));
    }
    // A control without a name of its own keeps its caption as its name.
    EXPECT_EQ(AccessibleName(ControlOf(options, TFrmOptions::IDC_BTN_OPTIONS_CANCEL)), "Cancel");
}

TEST_F(AccessibilityTest, FirefoxPageHeadsTheItemsThatEndFirefox) {
    HWND options = OpenOptions();
    ASSERT_NE(options, nullptr);
    HWND heading = ControlOf(options, TFrmOptions::IDC_LBL_FIREFOX12);
    EXPECT_EQ(RemoteWindowText(heading), "Firefox 1 and 2 (these items end a running Firefox first):");
    RECT head = ScreenRect(heading);
    const int early[] = {TFrmOptions::IDC_CHK_FIREFOXCACHE, TFrmOptions::IDC_CHK_FIREFOXHISTORY,
                         TFrmOptions::IDC_CHK_FIREFOXCOOKIES, TFrmOptions::IDC_CHK_FIREFOXFORMDATA};
    for (int id : early) {
        EXPECT_GE(ScreenRect(ControlOf(options, id)).top, head.bottom) << "box " << id << " below the heading";
    }
    EXPECT_LE(ScreenRect(ControlOf(options, TFrmOptions::IDC_CHK_FIREFOXFORMDATA)).bottom,
              ScreenRect(ControlOf(options, TFrmOptions::IDC_LBL_FIREFOX3)).top)
        << "the early items end before the heading of today's Firefox";
}

TEST_F(AccessibilityTest, AltWPressesPreviewAndCutListCellsShowTips) {
    HWND options = OpenOptions();
    ASSERT_NE(options, nullptr);
    EXPECT_TRUE(ListViewExtendedStyles(ControlOf(options, TFrmOptions::IDC_LVW_PLUGINS)) & LVS_EX_LABELTIP);
    // The first page is shown; Alt+W is the preview's there.
    PostMessageW(ControlOf(options, TFrmOptions::IDC_BTN_OPTIONS_OK), WM_SYSCHAR, L'w', 1 << 29);
    HWND preview = app_.WaitWindow(kPreviewClass, kPreviewCaption);
    ASSERT_NE(preview, nullptr) << "Alt+W did not open the preview";
    EXPECT_TRUE(ListViewExtendedStyles(ControlOf(preview, TFrmPreview::IDC_LVW_PREVIEW)) & LVS_EX_LABELTIP);
}

TEST_F(AccessibilityTest, NeverEraseShowsNoScrollBarWhileEmptyAndRemoveWaitsForASelection) {
    HWND options = OpenOptions();
    ASSERT_NE(options, nullptr);
    HWND never = OpenWindowByClick(app_, ControlOf(options, TFrmOptions::IDC_BTN_NEVERERASE), kNeverEraseClass,
                                   kNeverEraseCaption);
    ASSERT_NE(never, nullptr);
    HWND list = ControlOf(never, TFrmNeverErase::IDC_LBX_NEVERERASE);
    HWND remove = ControlOf(never, TFrmNeverErase::IDC_BTN_REMOVEKEPT);
    auto style = [&] { return static_cast<DWORD>(GetWindowLongPtrW(list, GWL_STYLE)); };
    EXPECT_FALSE(style() & WS_VSCROLL) << "an empty list shows no vertical scroll bar";
    EXPECT_FALSE(style() & WS_HSCROLL) << "an empty list shows no horizontal scroll bar";
    EXPECT_FALSE(Enabled(remove)) << "nothing is selected";
    ASSERT_TRUE(CloseWith(app_, never, "Cancel"));
    ASSERT_TRUE(CloseWith(app_, options, "Cancel"));

    // Saved entries, one longer than the list is wide.
    std::string longPath = "C:\\" + std::string(150, 'x') + "\\diary.txt";
    WriteFileText(app_.OptionsPath(), "[NeverErase]\r\n0=C:\\a.txt\r\n1=" + longPath + "\r\n");
    options = OpenWindowFrom(app_, app_.MainWindow(), "Options", kOptionsClass, "Options");
    ASSERT_NE(options, nullptr);
    never = OpenWindowByClick(app_, ControlOf(options, TFrmOptions::IDC_BTN_NEVERERASE), kNeverEraseClass,
                              kNeverEraseCaption);
    ASSERT_NE(never, nullptr);
    list = ControlOf(never, TFrmNeverErase::IDC_LBX_NEVERERASE);
    remove = ControlOf(never, TFrmNeverErase::IDC_BTN_REMOVEKEPT);
    ASSERT_EQ(ListBoxTexts(list).size(), 2u);
    EXPECT_TRUE(style() & WS_HSCROLL) << "the long path scrolls sideways";
    EXPECT_FALSE(Enabled(remove));
    // As a user does: a click selects an entry, Ctrl+click takes it out of the selection.
    BringToFront(never);
    ClickRow(list, 0);
    EXPECT_TRUE(WaitUntil([&] { return Enabled(remove); }, 5000)) << "a selection enables Remove";
    PressKey(VK_CONTROL);
    ClickRow(list, 0, 0.7);
    ReleaseKey(VK_CONTROL);
    EXPECT_TRUE(WaitUntil([&] { return !Enabled(remove); }, 5000)) << "no selection disables it again";
    ClickRow(list, 1);
    ASSERT_TRUE(WaitUntil([&] { return Enabled(remove); }, 5000));
    ClickControlAndWait(remove);
    EXPECT_EQ(ListBoxTexts(list), std::vector<std::string>{"C:\\a.txt"});
    EXPECT_FALSE(Enabled(remove)) << "what was selected has gone";
    EXPECT_FALSE(style() & WS_HSCROLL) << "what is left fits";
}

TEST_F(AccessibilityTest, TheProgressLogShowsNoCaret) {
    app_.Start();
    HWND main = app_.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    HWND log = app_.MainControl(TFrmMain::IDC_MEMINFO);
    BringToFront(main);
    ClickWithMouse(log);
    ASSERT_TRUE(WaitUntil([&] { return FocusedControlOf(main) == log; }, 5000));
    ASSERT_TRUE(WaitQueueHandled(main));
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info));
    EXPECT_EQ(info.hwndFocus, log);
    EXPECT_EQ(info.hwndCaret, nullptr) << "the read-only log has a caret";
}

} // namespace
