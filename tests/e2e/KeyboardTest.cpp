// Every window of the real Quorvale.exe worked with the keyboard alone, through real key presses in
// the system's input queue: Tab order, Esc, Enter, mnemonics, arrow keys in radio groups, and
// Ctrl+Tab through pages.
#include "e2e/DialogTestSupport.h"

#include "about/AboutForm.h"
#include "engine/EraseRun.h"
#include "app/MainForm.h"
#include "settings/ListPairForm.h"
#include "settings/NeverEraseForm.h"
#include "store/OptionNames.h"
#include "settings/BossKeyOptionForm.h"
#include "settings/OptionsForm.h"
#include "settings/ShutdownOptionsForm.h"
#include "settings/KeepListForm.h"
#include "settings/MiscellaneousForm.h"
#include "platform/Text.h"
#include "support/Scratch.h"
#include "tools/DriveWasherForm.h"

#include <functional>

namespace {

constexpr const wchar_t* kShredderClass = L"TFrmFileShredder";

// The first erase item (the Internet Explorer cache) starts off, so its mnemonic visibly ticks it.
const std::string kOptionsIni = std::string("[") + kEraseItems[0].section + "]\r\n" + kEraseItems[0].key +
                                "=0\r\n[Miscellaneous]\r\nEnableBosskey=1\r\n[IECookies]\r\nkeep=a.com\r\n"
                                "[IEAddressBar]\r\nkeep=http://a.com/\r\n[BossKeyHiddenPrograms]\r\nWord=x,OpusApp\r\n";

void Tap(WORD key) {
    PressKey(key);
    ReleaseKey(key);
}

void TapWith(WORD modifier, WORD key) {
    PressKey(modifier);
    Tap(key);
    ReleaseKey(modifier);
}

// What a user sees of a control: a button's caption, the kind of any other control.
std::string FocusName(HWND control) {
    if (!control) {
        return "<nothing>";
    }
    std::string kind = WindowClassName(control);
    return EqualsNoCase(kind, "Button") ? RemoteWindowText(control) : kind;
}

using Opener = std::function<HWND(const QuorvaleApp&)>;

Opener FromMain(const char* button, const wchar_t* className, const char* caption) {
    return [=](const QuorvaleApp& app) { return OpenWindowFrom(app, app.MainWindow(), button, className, caption); };
}

HWND OpenMain(const QuorvaleApp& app) { return app.MainWindow(); }

const Opener kOpenOptions = FromMain("Options", kOptionsClass, "Options");
const Opener kOpenMiscellaneous = FromMain("Miscellaneous", kMiscellaneousClass, "Miscellaneous settings");
const Opener kOpenShredder = FromMain("File Shredder", kShredderClass, "File Shredder");
const Opener kOpenWasher = FromMain("Drive Washer", kDriveWasherClass, kDriveWasherCaption);
const Opener kOpenAbout = FromMain("About", kAboutClass, "About Quorvale");

// A window opened by a button of a window the opener opens.
Opener Through(Opener parent, int button, const wchar_t* className, const char* caption, int page = -1,
               int pageControl = 0) {
    return [=](const QuorvaleApp& app) -> HWND {
        HWND window = parent(app);
        if (!window) {
            return nullptr;
        }
        if (page >= 0) {
            TurnToPage(ControlOf(window, pageControl), page);
        }
        return OpenWindowByClick(app, ControlOf(window, button), className, caption);
    };
}

const Opener kOpenCookies =
    Through(kOpenOptions, TFrmOptions::IDC_BTN_IECOOKIESOPTION, kIECookiesClass, "Options of IE Cookies");
const Opener kOpenAddressBar = Through(kOpenOptions, TFrmOptions::IDC_BTN_TYPEDURLOPTION, kIEAddressBarHistoryClass,
                                       "Options of IE Address Bar History");
const Opener kOpenNeverErase =
    Through(kOpenOptions, TFrmOptions::IDC_BTN_NEVERERASE, kNeverEraseClass, kNeverEraseCaption);
const Opener kOpenBossKey =
    Through(kOpenMiscellaneous, TFrmMiscellaneous::IDC_BTN_BOSSKEYOPTIONS, kBosskeyOptionClass, "Boss Key Option");
const Opener kOpenShutdown =
    Through(kOpenMiscellaneous, TFrmMiscellaneous::IDC_BTN_SHUTDOWNOPTIONS, kShutdownOptionsClass,
            "Windows shutdown options", 2, TFrmMiscellaneous::IDC_MISC_PAGECONTROL);

class KeyboardTest : public ::testing::Test {
public:
    // Starts the program and opens the window; the window is in front, so the keys go to it.
    HWND Open(const Opener& open) {
        SetCursorPos(0, 0); // a mouse resting on a hotkey field would take the focus
        app_ = std::make_unique<QuorvaleApp>(kOptionsIni);
        app_->Start();
        if (!app_->WaitMainWindow()) {
            ADD_FAILURE() << "the main window did not come up";
            return nullptr;
        }
        HWND window = open(*app_);
        if (window) {
            BringToFront(window);
        }
        return window;
    }

    bool WaitFocus(HWND window, const std::string& expected) const {
        return WaitUntil([&] { return FocusName(FocusedControlOf(window)) == expected; }, 5000);
    }

    std::string Ini() const { return ReadFileText(app_->OptionsPath()); }
    std::string Value(const char* section, const char* key) const {
        return OptionsStore(app_->OptionsPath()).GetText(section, key, "<missing>");
    }

    std::unique_ptr<QuorvaleApp> app_;
    RunValuesRestore runValues_; // OK in the Miscellaneous dialog writes the Run value
};

struct TabCase {
    const char* window;
    Opener open;
    std::vector<std::string> stops; // from the control focused when the window opens
};

TEST_F(KeyboardTest, TabAndShiftTabVisitEveryUsableControlInReadingOrder) {
    const std::vector<std::string> listPair = {"ListBox", ">>", "<<", "ListBox", "OK", "Cancel"};
    const TabCase cases[] = {
        {"main window",
         OpenMain,
         {"Edit", "Erase", "Options", "Miscellaneous", "File Shredder", "Drive Washer", "Help", "About", "Exit"}},
        {"Options",
         kOpenOptions,
         {"SysTabControl32", "SysTabControl32", "Erase Cache (Temporary Internet Files)", "Erase Browser History",
          "Erase Cookies", "Keep ...", "Erase Address Bar History", "Keep ...", "Erase AutoComplete Passwords",
          "Erase AutoComplete Form Data", "Erase index.dat", "Never Erase ...", "Preview ...", "OK", "Cancel"}},
        {"IE cookies keep list", kOpenCookies, listPair},
        {"Never Erase list",
         kOpenNeverErase,
         {"ListBox", "Add Files ...", "Add Folder ...", "OK", "Cancel"}}, // Remove waits for a selection
        {"IE address bar keep list", kOpenAddressBar, listPair},
        {"Miscellaneous",
         kOpenMiscellaneous,
         {"SysTabControl32", "Start automatically with Windows", "Run in stealth mode", "Edit", "Enable boss key",
          "Edit", "Options", "OK", "Canel"}},
        {"boss key programs", kOpenBossKey, listPair},
        {"shutdown options", kOpenShutdown, {"Erase, then show Windows shutdown window", "OK", "Cancel"}},
        {"File Shredder", kOpenShredder, {"SysListView32", "Select files", "Remove files", "Start Shredding", "Exit"}},
        {"Drive Washer", kOpenWasher, {"SysListView32", "Start Cleaning", "Cancel"}},
        {"About", kOpenAbout, {"OK", "Static", "Static"}},
    };
    for (const TabCase& c : cases) {
        SCOPED_TRACE(c.window);
        HWND window = Open(c.open);
        ASSERT_NE(window, nullptr);
        const size_t count = c.stops.size();
        ASSERT_TRUE(WaitFocus(window, c.stops[0])) << "focus on opening: " << FocusName(FocusedControlOf(window));
        for (size_t step = 1; step <= count; ++step) {
            Tap(VK_TAB);
            const std::string& expected = c.stops[step % count];
            EXPECT_TRUE(WaitFocus(window, expected))
                << "Tab " << step << ": " << FocusName(FocusedControlOf(window)) << " instead of " << expected;
        }
        for (size_t step = 1; step <= count; ++step) {
            TapWith(VK_SHIFT, VK_TAB);
            const std::string& expected = c.stops[(count - step % count) % count];
            EXPECT_TRUE(WaitFocus(window, expected))
                << "Shift+Tab " << step << ": " << FocusName(FocusedControlOf(window)) << " instead of " << expected;
        }
        EXPECT_TRUE(IsWindow(window)) << "no Tab closed the window";
        app_.reset();
    }
}

TEST_F(KeyboardTest, ShiftTabOutOfAHotkeyFieldKeepsTheHotkeyItHeld) {
    HWND misc = Open(kOpenMiscellaneous);
    ASSERT_NE(misc, nullptr);
    HWND field = ControlOf(misc, TFrmMiscellaneous::IDC_EDT_STEALTHKEY);
    ASSERT_TRUE(WaitFocus(misc, "SysTabControl32"));
    for (int i = 0; i < 3; ++i) {
        Tap(VK_TAB);
    }
    ASSERT_TRUE(WaitUntil([&] { return FocusedControlOf(misc) == field; }, 5000));
    PressKey(VK_SHIFT);
    ASSERT_TRUE(WaitUntil([&] { return RemoteWindowText(field) == "Shift+"; }, 5000)) << "the field captures Shift";
    Tap(VK_TAB);
    ReleaseKey(VK_SHIFT);
    EXPECT_TRUE(WaitFocus(misc, "Run in stealth mode"));
    EXPECT_EQ(RemoteWindowText(field), "Ctrl+Alt+S");
    ASSERT_TRUE(CloseWith(*app_, misc, "OK"));
    EXPECT_EQ(Value(kSectionMiscellaneous, kKeyStealthKey), "Ctrl+Alt+S");
}

struct EscapeCase {
    const char* window;
    Opener open;
    bool closes;
};

TEST_F(KeyboardTest, EscClosesEveryDialogAndToolWindowWithoutWritingAndTheMainWindowStays) {
    const EscapeCase cases[] = {
        {"main window", OpenMain, false},
        {"Options", kOpenOptions, true},
        {"IE cookies keep list", kOpenCookies, true},
        {"Never Erase list", kOpenNeverErase, true},
        {"IE address bar keep list", kOpenAddressBar, true},
        {"Miscellaneous", kOpenMiscellaneous, true},
        {"boss key programs", kOpenBossKey, true},
        {"shutdown options", kOpenShutdown, true},
        {"File Shredder", kOpenShredder, true},
        {"Drive Washer", kOpenWasher, true},
        {"About", kOpenAbout, true},
    };
    for (const EscapeCase& c : cases) {
        SCOPED_TRACE(c.window);
        HWND window = Open(c.open);
        ASSERT_NE(window, nullptr);
        HWND owner = GetWindow(window, GW_OWNER);
        const std::string before = Ini();
        Tap(VK_ESCAPE);
        if (c.closes) {
            EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); }, 5000)) << "Esc left the window open";
            EXPECT_TRUE(IsWindow(owner)) << "Esc closes only the window in front";
        } else {
            // The log is painted only once the key and all it set off have been handled.
            EXPECT_TRUE(WaitQueueHandled(app_->MainControl(TFrmMain::IDC_MEMINFO)));
            EXPECT_TRUE(IsWindow(window));
            EXPECT_EQ(app_->LogLines().front(), "Welcome to Quorvale.");
        }
        EXPECT_EQ(Ini(), before) << "Esc wrote Options.ini";
        app_.reset();
    }
}

struct EnterCase {
    const char* window;
    Opener open;
    std::function<void(KeyboardTest&)> expectSaved;
};

TEST_F(KeyboardTest, EnterPressesOkWhichSavesAndCloses) {
    auto section = [](KeyboardTest& test, const char* name) { return SectionOf(*test.app_, name); };
    const EnterCase cases[] = {
        {"Options", kOpenOptions,
         [](KeyboardTest& test) {
             EXPECT_TRUE(OptionsStore(test.app_->OptionsPath()).HasKey(kEraseItems[1].section, kEraseItems[1].key));
         }},
        {"IE cookies keep list", kOpenCookies,
         [&](KeyboardTest& test) { EXPECT_EQ(section(test, "IECookies"), std::vector<std::string>{"0=a.com"}); }},
        {"IE address bar keep list", kOpenAddressBar,
         [&](KeyboardTest& test) {
             EXPECT_EQ(section(test, "IEAddressBar"), std::vector<std::string>{"0=http://a.com/"});
         }},
        {"Miscellaneous", kOpenMiscellaneous,
         [](KeyboardTest& test) { EXPECT_EQ(test.Value(kSectionMiscellaneous, kKeySecurityLevel), "DoD"); }},
        {"boss key programs", kOpenBossKey,
         [&](KeyboardTest& test) {
             EXPECT_EQ(section(test, kSectionBossKeyHiddenPrograms), std::vector<std::string>{"Word=0,OpusApp"});
         }},
        {"shutdown options", kOpenShutdown,
         [](KeyboardTest& test) {
             EXPECT_EQ(test.Value(kSectionMiscellaneous, kKeySystemShutdownOption), "ShowWindow");
         }},
        {"About", kOpenAbout, [](KeyboardTest&) {}},
    };
    for (const EnterCase& c : cases) {
        SCOPED_TRACE(c.window);
        HWND window = Open(c.open);
        ASSERT_NE(window, nullptr);
        Tap(VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); }, 5000)) << "Enter left the window open";
        c.expectSaved(*this);
        app_.reset();
    }
}

TEST_F(KeyboardTest, EnterInTheLogAndTheShredderListStartsNothing) {
    HWND main = Open(OpenMain);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFocus(main, "Edit"));
    Tap(VK_RETURN);
    // A run started by the key would be under way by the time the log is painted again.
    EXPECT_TRUE(WaitQueueHandled(app_->MainControl(TFrmMain::IDC_MEMINFO)));
    EXPECT_EQ(RemoteWindowText(app_->MainControl(TFrmMain::IDC_BTN_ERASE)), "Erase") << "no erase run started";
    EXPECT_EQ(app_->LogLines().front(), "Welcome to Quorvale.");

    HWND shredder = kOpenShredder(*app_);
    ASSERT_NE(shredder, nullptr);
    BringToFront(shredder);
    ASSERT_TRUE(WaitFocus(shredder, "SysListView32"));
    HWND list = FocusedControlOf(shredder);
    Tap(VK_RETURN);
    // Start Shredding with no file opens its box before the list could be painted again.
    EXPECT_TRUE(WaitQueueHandled(list));
    EXPECT_EQ(app_->FindWindowOf(L"#32770", "Error"), nullptr) << "Enter pressed Start Shredding";
}

struct MnemonicCase {
    const char* what;
    Opener open;
    char letter;
    std::function<void(KeyboardTest&, HWND window)> expect;
};

TEST_F(KeyboardTest, AltAndAMnemonicLetterPressesItsButtonOrFocusesTheFieldItsLabelNames) {
    const MnemonicCase cases[] = {
        {"main window: About", OpenMain, 'A',
         [](KeyboardTest& test, HWND) { EXPECT_NE(test.app_->WaitWindow(kAboutClass, "About Quorvale"), nullptr); }},
        {"Options: the IE cache box", kOpenOptions, 'C',
         [](KeyboardTest& test, HWND window) {
             HWND box = ControlOf(window, TFrmOptions::IDC_CHK_IECACHE);
             EXPECT_TRUE(WaitUntil([&] { return Ticked(box); }, 5000));
             EXPECT_TRUE(test.WaitFocus(window, "Erase Cache (Temporary Internet Files)"));
         }},
        {"Options: keep cookies", kOpenOptions, 'K',
         [](KeyboardTest& test, HWND) {
             EXPECT_NE(test.app_->WaitWindow(kIECookiesClass, "Options of IE Cookies"), nullptr);
         }},
        {"keep list: the label of the kept list", kOpenCookies, 'K',
         [](KeyboardTest&, HWND window) {
             EXPECT_TRUE(WaitUntil(
                 [&] { return FocusedControlOf(window) == ControlOf(window, TFrmListPair::IDC_LIST_RIGHT); }, 5000));
         }},
        {"Miscellaneous: the boss key label", kOpenMiscellaneous, 'Y',
         [](KeyboardTest&, HWND window) {
             EXPECT_TRUE(WaitUntil(
                 [&] { return FocusedControlOf(window) == ControlOf(window, TFrmMiscellaneous::IDC_EDT_BOSSKEY); },
                 5000));
         }},
        {"Miscellaneous: boss key programs", kOpenMiscellaneous, 'O',
         [](KeyboardTest& test, HWND) {
             EXPECT_NE(test.app_->WaitWindow(kBosskeyOptionClass, "Boss Key Option"), nullptr);
         }},
        {"shutdown options: restart", kOpenShutdown, 'R',
         [](KeyboardTest&, HWND window) {
             EXPECT_TRUE(
                 WaitUntil([&] { return Ticked(ControlOf(window, TFrmShutdownOptions::IDC_RDB_RESTART)); }, 5000));
             EXPECT_FALSE(Ticked(ControlOf(window, TFrmShutdownOptions::IDC_RDB_SHOWWINDOW)));
         }},
        {"File Shredder: Start Shredding", kOpenShredder, 'T',
         [](KeyboardTest& test, HWND) {
             HWND box = test.app_->WaitMessageBox("Error");
             ASSERT_NE(box, nullptr) << "Start Shredding with an empty list asks for files";
             EXPECT_EQ(QuorvaleApp::MessageBoxText(box), "Please Select the files you want to shred firstly.");
             QuorvaleApp::AnswerMessageBox(box);
         }},
        {"Drive Washer: Cancel", kOpenWasher, 'C',
         [](KeyboardTest&, HWND window) { EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); }, 5000)); }},
    };
    for (const MnemonicCase& c : cases) {
        SCOPED_TRACE(c.what);
        HWND window = Open(c.open);
        ASSERT_NE(window, nullptr);
        TapWith(VK_MENU, static_cast<WORD>(c.letter));
        c.expect(*this, window);
        app_.reset();
    }
}

struct ArrowStep {
    WORD key;
    int ticked; // the radio button ticked and focused afterwards
};

TEST_F(KeyboardTest, ArrowKeysMoveThroughARadioGroupAndOkKeepsTheChoice) {
    HWND shutdown = Open(kOpenShutdown);
    ASSERT_NE(shutdown, nullptr);
    const ArrowStep shutdownSteps[] = {{VK_DOWN, TFrmShutdownOptions::IDC_RDB_SHUTDOWN},
                                       {VK_DOWN, TFrmShutdownOptions::IDC_RDB_RESTART},
                                       {VK_UP, TFrmShutdownOptions::IDC_RDB_SHUTDOWN}};
    ASSERT_TRUE(WaitUntil(
        [&] { return FocusedControlOf(shutdown) == ControlOf(shutdown, TFrmShutdownOptions::IDC_RDB_SHOWWINDOW); },
        5000));
    for (const ArrowStep& step : shutdownSteps) {
        Tap(step.key);
        HWND radio = ControlOf(shutdown, step.ticked);
        EXPECT_TRUE(WaitUntil([&] { return Ticked(radio) && FocusedControlOf(shutdown) == radio; }, 5000))
            << RemoteWindowText(radio);
    }
    Tap(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(shutdown); }, 5000));
    EXPECT_EQ(Value(kSectionMiscellaneous, kKeySystemShutdownOption), "Shutdown");
    app_.reset();

    HWND misc = Open(kOpenMiscellaneous);
    ASSERT_NE(misc, nullptr);
    TapWith(VK_CONTROL, VK_TAB);
    ASSERT_TRUE(
        WaitUntil([&] { return PageShown(ControlOf(misc, TFrmMiscellaneous::IDC_MISC_PAGECONTROL)) == 1; }, 5000));
    Tap(VK_TAB);
    ASSERT_TRUE(
        WaitUntil([&] { return FocusedControlOf(misc) == ControlOf(misc, TFrmMiscellaneous::IDC_RBN_DOD); }, 5000));
    const ArrowStep securitySteps[] = {{VK_DOWN, TFrmMiscellaneous::IDC_RBN_NSA},
                                       {VK_DOWN, TFrmMiscellaneous::IDC_RBN_GUTMANN},
                                       {VK_DOWN, TFrmMiscellaneous::IDC_RBN_RANDOM}};
    for (const ArrowStep& step : securitySteps) {
        Tap(step.key);
        HWND radio = ControlOf(misc, step.ticked);
        EXPECT_TRUE(WaitUntil([&] { return Ticked(radio) && FocusedControlOf(misc) == radio; }, 5000))
            << RemoteWindowText(radio);
    }
    EXPECT_TRUE(Enabled(ControlOf(misc, TFrmMiscellaneous::IDC_EDT_TIMES))) << "the Random choice takes its passes";
    Tap(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(misc); }, 5000));
    EXPECT_EQ(Value(kSectionMiscellaneous, kKeySecurityLevel), "Random");
}

TEST_F(KeyboardTest, CtrlTabAndCtrlPageDownTurnThePagesOfThePageControlHoldingTheFocus) {
    HWND options = Open(kOpenOptions);
    ASSERT_NE(options, nullptr);
    HWND outer = ControlOf(options, TFrmOptions::IDC_OPTIONS_PAGECONTROL);
    HWND inner = ControlOf(options, TFrmOptions::IDC_PGC_BROWSER);
    ASSERT_TRUE(WaitUntil([&] { return FocusedControlOf(options) == outer; }, 5000));
    auto expectPages = [&](int outerPage, int innerPage, int visibleId, const char* after) {
        EXPECT_TRUE(WaitUntil(
            [&] {
                return PageShown(outer) == outerPage && PageShown(inner) == innerPage &&
                       Shown(ControlOf(options, visibleId));
            },
            5000))
            << after << ": pages " << PageShown(outer) << ", " << PageShown(inner);
    };
    TapWith(VK_CONTROL, VK_TAB);
    expectPages(1, 0, TFrmOptions::IDC_CHK_RECYCLEBIN, "Ctrl+Tab");
    TapWith(VK_CONTROL, VK_NEXT);
    expectPages(2, 0, TFrmOptions::IDC_CHK_TYPEDPATHS, "Ctrl+PgDn");
    EXPECT_FALSE(Shown(ControlOf(options, TFrmOptions::IDC_CHK_RECYCLEBIN))) << "the page left is hidden";
    TapWith(VK_CONTROL, VK_NEXT);
    expectPages(3, 0, TFrmOptions::IDC_LVW_PLUGINS, "Ctrl+PgDn again");
    TapWith(VK_MENU, 'S');
    EXPECT_TRUE(
        WaitUntil([&] { return FocusedControlOf(options) == ControlOf(options, TFrmOptions::IDC_LVW_PLUGINS); }, 5000))
        << "the label's mnemonic focuses the plug-in list";
    PressKey(VK_CONTROL);
    TapWith(VK_SHIFT, VK_TAB);
    ReleaseKey(VK_CONTROL);
    expectPages(2, 0, TFrmOptions::IDC_CHK_TYPEDPATHS, "Ctrl+Shift+Tab");
    EXPECT_TRUE(WaitUntil([&] { return FocusedControlOf(options) == outer; }, 5000))
        << "a focus on the page that went moves to the tabs";
    TapWith(VK_CONTROL, VK_PRIOR);
    expectPages(1, 0, TFrmOptions::IDC_CHK_RECYCLEBIN, "Ctrl+PgUp");
    TapWith(VK_CONTROL, VK_PRIOR);
    expectPages(0, 0, TFrmOptions::IDC_CHK_IECACHE, "Ctrl+PgUp");
    Tap(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusedControlOf(options) == inner; }, 5000));
    TapWith(VK_CONTROL, VK_TAB);
    expectPages(0, 1, TFrmOptions::IDC_CHK_FIREFOXCACHE, "Ctrl+Tab on the browser tabs");
    EXPECT_FALSE(Shown(ControlOf(options, TFrmOptions::IDC_CHK_IECACHE)));
    const std::string before = Ini();
    Tap(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(options); }, 5000));
    EXPECT_EQ(Ini(), before);
}

} // namespace
