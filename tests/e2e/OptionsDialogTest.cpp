// The erase-items dialog, driven through the real Quorvale.exe: its pages and check boxes, what OK
// and Cancel leave in Options.ini, the plug-in list and the plug-in files.
#include "e2e/DialogTestSupport.h"

#include "platform/Files.h"
#include "settings/OptionsForm.h"
#include "support/Scratch.h"

#include <commctrl.h>

namespace {

struct SwitchBox {
    int id;
    const char* caption;
    const char* section;
    const char* key;
    bool defaultValue;
};

// Every check box in the order the dialog reads and writes its switch.
const SwitchBox kSwitchBoxes[] = {
    {TFrmOptions::IDC_CHK_IECACHE, "Erase Cache (Temporary Internet Files)", "IE", "Cache", true},
    {TFrmOptions::IDC_CHK_IEHISTORY, "Erase Browser History", "IE", "History", true},
    {TFrmOptions::IDC_CHK_IECOOKIES, "Erase Cookies", "IE", "Cookies", true},
    {TFrmOptions::IDC_CHK_IEADDRESSBAR, "Erase Address Bar History", "IE", "AddressBarHistory", true},
    {TFrmOptions::IDC_CHK_IEPASSWORD, "Erase AutoComplete Passwords", "IE", "AutoPassword", false},
    {TFrmOptions::IDC_CHK_IEFORMDATA, "Erase AutoComplete Form Data", "IE", "AutoFormData", false},
    {TFrmOptions::IDC_CHK_INDEXDAT, "Erase index.dat", "IE", "IndexDat", true},
    {TFrmOptions::IDC_CHK_FIREFOXCACHE, "Erase Cache (Temporary Internet Files)", "Firefox", "Cache", true},
    {TFrmOptions::IDC_CHK_FIREFOXCOOKIES, "Erase Cookies", "Firefox", "Cookies", true},
    {TFrmOptions::IDC_CHK_FIREFOXFORMDATA, "Erase AutoComplete Form Data and Passwords", "Firefox", "AutoFormData",
     true},
    {TFrmOptions::IDC_CHK_FIREFOXHISTORY, "Erase Browser History and Address Bar History", "Firefox", "History", true},
    {TFrmOptions::IDC_CHK_NETSCAPECACHE, "Erase Cache (Temporary Internet Files)", "Netscape", "Cache", true},
    {TFrmOptions::IDC_CHK_NETSCAPECOOKIES, "Erase Cookies", "Netscape", "Cookies", true},
    {TFrmOptions::IDC_CHK_NETSCAPEFORMDATA, "Erase AutoComplete Form Data and  Passwords", "Netscape", "AutoFormData",
     true},
    {TFrmOptions::IDC_CHK_NETSCAPEHISTORY, "Erase Browser History and Address Bar History", "Netscape", "History",
     true},
    {TFrmOptions::IDC_CHK_OPERACACHE, "Erase Cache (Temporary Internet Files)", "OPera", "Cache", true},
    {TFrmOptions::IDC_CHK_OPERACOOKIES, "Erase Cookies", "OPera", "Cookies", true},
    {TFrmOptions::IDC_CHK_OPERAADDRESSBAR, "Erase History and Address Bar History", "OPera", "AddressBarHistory", true},
    {TFrmOptions::IDC_CHK_RECYCLEBIN, "Erase Recycle Bin", "Windows", "RecycleBin", true},
    {TFrmOptions::IDC_CHK_TMPDIRECTORY, "Erase Windows Temporary Files Directory", "Windows", "TempFolder", true},
    {TFrmOptions::IDC_CHK_RECENTDOC, "Erase Recent Documents History", "Windows", "RecentDoc", true},
    {TFrmOptions::IDC_CHK_RUNMENU, "Erase Start Menu Run History", "Windows", "RunMenu", false},
    {TFrmOptions::IDC_CHK_SEARCHMENU, "Erase Start Menu Search History ", "Windows", "SearchMenu", false},
    {TFrmOptions::IDC_CHK_DIALOGHISTORY, "Erase Open/Save Dialog Box History ", "Windows", "DialogHistory", true},
    {TFrmOptions::IDC_CHK_CLIPBOARD, "Erase Windows Clipboard", "Windows", "ClipBoard", true},
    {TFrmOptions::IDC_CHK_SWAPFILE, "Erase Windows Swap File", "Windows", "SwapFile", false},
    {TFrmOptions::IDC_CHK_CHROMECACHE, "Chrome", "Chrome", "Cache", true},
    {TFrmOptions::IDC_CHK_CHROMECOOKIES, "Chrome", "Chrome", "Cookies", true},
    {TFrmOptions::IDC_CHK_CHROMEHISTORY, "Chrome", "Chrome", "History", true},
    {TFrmOptions::IDC_CHK_CHROMEFORMDATA, "Chrome", "Chrome", "FormData", true},
    {TFrmOptions::IDC_CHK_CHROMEPASSWORDS, "Chrome", "Chrome", "Passwords", false},
    {TFrmOptions::IDC_CHK_EDGECACHE, "Edge", "Edge", "Cache", true},
    {TFrmOptions::IDC_CHK_EDGECOOKIES, "Edge", "Edge", "Cookies", true},
    {TFrmOptions::IDC_CHK_EDGEHISTORY, "Edge", "Edge", "History", true},
    {TFrmOptions::IDC_CHK_EDGEFORMDATA, "Edge", "Edge", "FormData", true},
    {TFrmOptions::IDC_CHK_EDGEPASSWORDS, "Edge", "Edge", "Passwords", false},
    {TFrmOptions::IDC_CHK_BRAVECACHE, "Brave", "Brave", "Cache", true},
    {TFrmOptions::IDC_CHK_BRAVECOOKIES, "Brave", "Brave", "Cookies", true},
    {TFrmOptions::IDC_CHK_BRAVEHISTORY, "Brave", "Brave", "History", true},
    {TFrmOptions::IDC_CHK_BRAVEFORMDATA, "Brave", "Brave", "FormData", true},
    {TFrmOptions::IDC_CHK_BRAVEPASSWORDS, "Brave", "Brave", "Passwords", false},
    {TFrmOptions::IDC_CHK_VIVALDICACHE, "Vivaldi", "Vivaldi", "Cache", true},
    {TFrmOptions::IDC_CHK_VIVALDICOOKIES, "Vivaldi", "Vivaldi", "Cookies", true},
    {TFrmOptions::IDC_CHK_VIVALDIHISTORY, "Vivaldi", "Vivaldi", "History", true},
    {TFrmOptions::IDC_CHK_VIVALDIFORMDATA, "Vivaldi", "Vivaldi", "FormData", true},
    {TFrmOptions::IDC_CHK_VIVALDIPASSWORDS, "Vivaldi", "Vivaldi", "Passwords", false},
    {TFrmOptions::IDC_CHK_FIREFOX3CACHE, "Erase Cache", "Firefox3", "Cache", true},
    {TFrmOptions::IDC_CHK_FIREFOX3COOKIES, "Erase Cookies", "Firefox3", "Cookies", true},
    {TFrmOptions::IDC_CHK_FIREFOX3HISTORY, "Erase History", "Firefox3", "History", true},
    {TFrmOptions::IDC_CHK_FIREFOX3FORMHISTORY, "Erase Form History", "Firefox3", "FormData", true},
    {TFrmOptions::IDC_CHK_FIREFOX3SESSIONRESTORE, "Erase Session Restore", "Firefox3", "SessionRestore", false},
    {TFrmOptions::IDC_CHK_FIREFOX3LOGINS, "Erase Saved Logins", "Firefox3", "Logins", false},
    {TFrmOptions::IDC_CHK_TYPEDPATHS, "Erase Explorer Address Bar History", "WindowsToday", "TypedPaths", true},
    {TFrmOptions::IDC_CHK_USERASSIST, "Erase Program Launch Counters (UserAssist)", "WindowsToday", "UserAssist", true},
    {TFrmOptions::IDC_CHK_JUMPLISTS, "Erase Jump Lists' Recent and Frequent Entries (pins are kept)", "WindowsToday",
     "JumpLists", false},
    {TFrmOptions::IDC_CHK_CRASHREPORTS, "Erase Crash Reports and Crash Dumps", "WindowsToday", "CrashReports", true},
    {TFrmOptions::IDC_CHK_POWERSHELLHISTORY, "Erase PowerShell Command History", "WindowsToday", "PowerShellHistory",
     true},
    {TFrmOptions::IDC_CHK_THUMBNAILCACHE, "Erase Thumbnail and Icon Caches (those Explorer holds stay)", "WindowsToday",
     "ThumbnailCache", false},
    {TFrmOptions::IDC_CHK_SHELLBAGS, "Erase ShellBags (resets the views of browsed folders)", "WindowsToday",
     "ShellBags", false},
    {TFrmOptions::IDC_CHK_DNSCACHE, "Flush Windows DNS Cache", "WindowsToday", "DnsCache", true},
    {TFrmOptions::IDC_CHK_VLCRECENTMEDIA, "Erase VLC Media Player Recent Media List", "Programs", "VlcRecentMedia",
     false},
};

// The page (0 Browsers, 1 Windows, 2 Windows (today) and other programs) and, on Browsers, the browser page of a
// check box.
std::pair<int, int> PageOf(const SwitchBox& box) {
    std::string section = box.section;
    if (section == "Windows") {
        return {1, -1};
    }
    if (section == "WindowsToday" || section == "Programs") {
        return {2, -1};
    }
    if (section == "IE") {
        return {0, 0};
    }
    if (section == "Firefox" || section == "Firefox3") {
        return {0, 1};
    }
    return {0, section == "Netscape" ? 2 : section == "OPera" ? 3 : 4};
}

class OptionsDialogTest : public ::testing::Test {
protected:
    HWND Open(std::optional<std::string> optionsIni = std::nullopt) {
        app_ = std::make_unique<QuorvaleApp>(std::move(optionsIni));
        return StartAndOpen(*app_, "Options", L"TFrmOptions", "Options");
    }
    std::string PluginFolder() const { return app_->Folder() + "Plug-ins\\"; }

    std::unique_ptr<QuorvaleApp> app_;
};

TEST_F(OptionsDialogTest, OpensOnTheFirstPagesWithEveryDefaultAndCancelWritesNothing) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(Enabled(app_->MainWindow())) << "the dialog is modal";
    SIZE size = DesignClientSize(dialog);
    EXPECT_EQ(size.cx, 497);
    EXPECT_EQ(size.cy, 379);

    HWND pages = ControlOf(dialog, TFrmOptions::IDC_OPTIONS_PAGECONTROL);
    HWND browsers = ControlOf(dialog, TFrmOptions::IDC_PGC_BROWSER);
    EXPECT_EQ(PageCaptions(pages), (std::vector<std::string>{"Browsers", "Windows", "Windows (today)", "Plug-ins"}));
    EXPECT_EQ(PageCaptions(browsers), (std::vector<std::string>{"Internet Explorer / MSN / AOL", "Firefox", "Netscape",
                                                                "Opera", "Chrome / Edge"}));
    EXPECT_EQ(PageShown(pages), 0);
    EXPECT_EQ(PageShown(browsers), 0);

    for (const SwitchBox& box : kSwitchBoxes) {
        HWND control = ControlOf(dialog, box.id);
        EXPECT_EQ(RemoteWindowText(control), box.caption) << box.section << " " << box.key;
        EXPECT_EQ(Ticked(control), box.defaultValue) << box.section << " " << box.key;
        EXPECT_EQ(Shown(control), PageOf(box) == std::make_pair(0, 0)) << box.section << " " << box.key;
    }
    EXPECT_EQ(RemoteWindowText(ControlOf(dialog, TFrmOptions::IDC_BTN_IECOOKIESOPTION)), "Keep ...");
    EXPECT_EQ(RemoteWindowText(ControlOf(dialog, TFrmOptions::IDC_BTN_TYPEDURLOPTION)), "Keep ...");

    ASSERT_TRUE(CloseWith(*app_, dialog, "Cancel"));
    EXPECT_FALSE(FileExists(app_->OptionsPath()));
    EXPECT_TRUE(Enabled(app_->MainWindow()));
}

// The colour on screen at a point of the window, once it is painted.
COLORREF ScreenColourAt(HWND window, POINT point) {
    ClientToScreen(window, &point);
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

TEST_F(OptionsDialogTest, CheckBoxesPaintThePagesOwnBackgroundBehindTheirText) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    TurnToPage(ControlOf(dialog, TFrmOptions::IDC_OPTIONS_PAGECONTROL), 1);
    BringToFront(dialog);
    HWND box = ControlOf(dialog, TFrmOptions::IDC_CHK_RECYCLEBIN);
    ASSERT_TRUE(WaitUntil([&] { return Shown(box); }, 5000));
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    // The box is painted after the page it lies on.
    ASSERT_TRUE(WaitQueueHandled(box)) << "the check box was not painted";
    RECT rect;
    GetWindowRect(box, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    int middle = (rect.top + rect.bottom) / 2;
    // Past the end of the caption, inside the box, and just right of the box, on the page. What is
    // painted reaches the screen when the program's thread next waits, so the colours are read
    // until they settle as they should.
    COLORREF inside = 0;
    COLORREF page = 0;
    WaitUntil(
        [&] {
            inside = ScreenColourAt(dialog, {rect.right - 3, middle});
            page = ScreenColourAt(dialog, {rect.right + 6, middle});
            return inside == page;
        },
        5000);
    EXPECT_EQ(inside, page) << std::hex << "box 0x" << inside << ", page 0x" << page;
    ASSERT_TRUE(CloseWith(*app_, dialog, "Cancel"));
}

TEST_F(OptionsDialogTest, EachPageShowsOnlyItsOwnCheckBoxes) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    HWND pages = ControlOf(dialog, TFrmOptions::IDC_OPTIONS_PAGECONTROL);
    HWND browsers = ControlOf(dialog, TFrmOptions::IDC_PGC_BROWSER);
    const std::pair<int, int> shown[] = {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, -1}, {2, -1}};
    for (const auto& [page, browser] : shown) {
        TurnToPage(pages, page);
        if (browser >= 0) {
            TurnToPage(browsers, browser);
        }
        EXPECT_EQ(Shown(browsers), page == 0);
        for (const SwitchBox& box : kSwitchBoxes) {
            EXPECT_EQ(Shown(ControlOf(dialog, box.id)), PageOf(box) == std::make_pair(page, browser))
                << box.section << " " << box.key << " on page " << page << "/" << browser;
        }
    }
    TurnToPage(pages, 3);
    EXPECT_TRUE(Shown(ControlOf(dialog, TFrmOptions::IDC_LVW_PLUGINS)));
    EXPECT_EQ(RemoteWindowText(ControlOf(dialog, TFrmOptions::IDC_LBL_PLUGINS)),
              "Select the plugins you want to execute");
    EXPECT_FALSE(Shown(ControlOf(dialog, TFrmOptions::IDC_CHK_SWAPFILE)));
    EXPECT_TRUE(CloseWith(*app_, dialog, "Cancel"));
}

TEST_F(OptionsDialogTest, OkWritesEverySwitchInOrderKeepingTheFilesOwnLines) {
    HWND dialog = Open("; hand-written\r\n[Windows]\r\nSwapFile=1\r\n[IE]\r\nCache=0\r\nAutoPassword=true\r\n");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(Ticked(ControlOf(dialog, TFrmOptions::IDC_CHK_IECACHE)));
    EXPECT_FALSE(Ticked(ControlOf(dialog, TFrmOptions::IDC_CHK_IEPASSWORD)))
        << "a value that is no number reads as the default";
    EXPECT_TRUE(Ticked(ControlOf(dialog, TFrmOptions::IDC_CHK_SWAPFILE)));

    ClickControlAndWait(ControlOf(dialog, TFrmOptions::IDC_CHK_IEHISTORY));
    TurnToPage(ControlOf(dialog, TFrmOptions::IDC_PGC_BROWSER), 3);
    ClickControlAndWait(ControlOf(dialog, TFrmOptions::IDC_CHK_OPERACOOKIES));
    TurnToPage(ControlOf(dialog, TFrmOptions::IDC_OPTIONS_PAGECONTROL), 1);
    ClickControlAndWait(ControlOf(dialog, TFrmOptions::IDC_CHK_RUNMENU));
    ClickControlAndWait(ControlOf(dialog, TFrmOptions::IDC_CHK_RECYCLEBIN));
    EXPECT_TRUE(RemoteListViewRows(ControlOf(dialog, TFrmOptions::IDC_LVW_PLUGINS), 2).empty())
        << "no plug-in folder, no rows";
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));

    EXPECT_EQ(ReadFileText(app_->OptionsPath()),
              "; hand-written\r\n"
              "[Windows]\r\nSwapFile=1\r\nRecycleBin=0\r\nTempFolder=1\r\nRecentDoc=1\r\nRunMenu=1\r\n"
              "SearchMenu=0\r\nDialogHistory=1\r\nClipBoard=1\r\n"
              "[IE]\r\nCache=0\r\nAutoPassword=0\r\nHistory=0\r\nCookies=1\r\nAddressBarHistory=1\r\n"
              "AutoFormData=0\r\nIndexDat=1\r\n"
              "[Firefox]\r\nCache=1\r\nCookies=1\r\nAutoFormData=1\r\nHistory=1\r\n"
              "[Netscape]\r\nCache=1\r\nCookies=1\r\nAutoFormData=1\r\nHistory=1\r\n"
              "[OPera]\r\nCache=1\r\nCookies=0\r\nAddressBarHistory=1\r\n"
              "[Chrome]\r\nCache=1\r\nCookies=1\r\nHistory=1\r\nFormData=1\r\nPasswords=0\r\n"
              "[Edge]\r\nCache=1\r\nCookies=1\r\nHistory=1\r\nFormData=1\r\nPasswords=0\r\n"
              "[Brave]\r\nCache=1\r\nCookies=1\r\nHistory=1\r\nFormData=1\r\nPasswords=0\r\n"
              "[Vivaldi]\r\nCache=1\r\nCookies=1\r\nHistory=1\r\nFormData=1\r\nPasswords=0\r\n"
              "[Firefox3]\r\nCache=1\r\nCookies=1\r\nHistory=1\r\nFormData=1\r\nSessionRestore=0\r\nLogins=0\r\n"
              "[WindowsToday]\r\nTypedPaths=1\r\nUserAssist=1\r\nJumpLists=0\r\nCrashReports=1\r\n"
              "PowerShellHistory=1\r\nThumbnailCache=0\r\nShellBags=0\r\nDnsCache=1\r\n"
              "[Programs]\r\nVlcRecentMedia=0\r\n");
    EXPECT_FALSE(FolderExists(PluginFolder())) << "no plug-in folder is made";
}

TEST_F(OptionsDialogTest, ARefusedWriteIsShownAndLeavesTheDialogOpen) {
    HWND dialog = Open("[IE]\r\nCache=1\r\n");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(SetAttributes(app_->OptionsPath(), FILE_ATTRIBUTE_READONLY));
    ClickControlAndWait(ControlOf(dialog, TFrmOptions::IDC_CHK_IECACHE));
    ASSERT_TRUE(app_->PressButton(dialog, "OK"));
    HWND box = app_->WaitMessageBox("Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(QuorvaleApp::MessageBoxText(box), "Unable to write to " + app_->OptionsPath());
    QuorvaleApp::AnswerMessageBox(box);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(Shown(dialog));
    EXPECT_EQ(ReadFileText(app_->OptionsPath()), "[IE]\r\nCache=1\r\n");
    SetAttributes(app_->OptionsPath(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(CloseWith(*app_, dialog, "Cancel"));
}

TEST_F(OptionsDialogTest, PluginRowsComeFromTheQvFilesAndOkWritesEachTickIntoItsFile) {
    app_ = std::make_unique<QuorvaleApp>();
    ASSERT_TRUE(CreateFolder(PluginFolder()));
    WriteFileText(PluginFolder() + "Zeta.qv", "[Information]\r\nDescription=Zeta traces\r\nSelected=1\r\n");
    WriteFileText(PluginFolder() + "Alpha.qv",
                  "[Information]\r\nDescription=Alpha player history\r\n[Method]\r\nDelFiles=C:\\x\\y.txt\r\n");
    WriteFileText(PluginFolder() + "Beta.qv", "[Method]\r\nDelRegKey=HKEY_CURRENT_USER\\Software\\Beta\r\n");
    WriteFileText(PluginFolder() + ".hidden.qv", "[Information]\r\nDescription=never listed\r\n");
    WriteFileText(PluginFolder() + "notes.txt", "[Information]\r\nDescription=not a plug-in\r\n");
    app_->Start();
    ASSERT_NE(app_->WaitMainWindow(), nullptr);
    HWND dialog = OpenWindowFrom(*app_, app_->MainWindow(), "Options", L"TFrmOptions", "Options");
    ASSERT_NE(dialog, nullptr);
    TurnToPage(ControlOf(dialog, TFrmOptions::IDC_OPTIONS_PAGECONTROL), 2);
    HWND list = ControlOf(dialog, TFrmOptions::IDC_LVW_PLUGINS);

    EXPECT_EQ(ListViewColumnCaptions(list), (std::vector<std::string>{"Plug-Ins Name", "Function"}));
    RECT rect;
    GetClientRect(list, &rect);
    int width = rect.right - rect.left;
    int first = width / 2 - MulDiv(30, ScreenDpi(), 96);
    EXPECT_EQ(ListViewColumnWidths(list), (std::vector<int>{first, width - first}));
    const DWORD wanted = LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
    EXPECT_EQ(ListViewExtendedStyles(list) & wanted, wanted);
    EXPECT_EQ(GetWindowLongW(list, GWL_STYLE) & (LVS_TYPEMASK | LVS_SORTASCENDING | LVS_EDITLABELS),
              LVS_REPORT | LVS_SORTASCENDING);

    EXPECT_EQ(RemoteListViewRows(list, 2),
              (std::vector<std::vector<std::string>>{
                  {"Alpha", "Alpha player history"}, {"Beta", ""}, {"Zeta", "Zeta traces"}}));
    EXPECT_FALSE(RemoteListViewChecked(list, 0));
    EXPECT_FALSE(RemoteListViewChecked(list, 1));
    EXPECT_TRUE(RemoteListViewChecked(list, 2));

    RemoteListViewSetChecked(list, 0, true);
    RemoteListViewSetChecked(list, 2, false);
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));

    EXPECT_EQ(
        ReadFileText(PluginFolder() + "Alpha.qv"),
        "[Information]\r\nDescription=Alpha player history\r\nSelected=1\r\n[Method]\r\nDelFiles=C:\\x\\y.txt\r\n");
    EXPECT_EQ(ReadFileText(PluginFolder() + "Beta.qv"),
              "[Method]\r\nDelRegKey=HKEY_CURRENT_USER\\Software\\Beta\r\n[Information]\r\nSelected=0\r\n");
    EXPECT_EQ(ReadFileText(PluginFolder() + "Zeta.qv"), "[Information]\r\nDescription=Zeta traces\r\nSelected=0\r\n");
    EXPECT_EQ(ReadFileText(PluginFolder() + ".hidden.qv"), "[Information]\r\nDescription=never listed\r\n");
    EXPECT_EQ(ReadFileText(PluginFolder() + "notes.txt"), "[Information]\r\nDescription=not a plug-in\r\n");
    EXPECT_TRUE(FileExists(app_->OptionsPath()));
}

} // namespace
