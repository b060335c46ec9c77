// Start-up and the main window, driven through the real Quorvale.exe: the welcome text, the single
// copy, the hotkeys and their atoms, the tray icon and its menu.
#include "driver/QuorvaleDriver.h"

#include "platform/ThisProcess.h"
#include "platform/WindowText.h"

#include <gtest/gtest.h>

#include <shellapi.h>

namespace {

constexpr UINT kTrayMessage = WM_USER + 1001;

bool HotkeyTaken(UINT modifiers, UINT key) {
    if (RegisterHotKey(nullptr, 0x7000, modifiers, key)) {
        UnregisterHotKey(nullptr, 0x7000);
        return false;
    }
    return true;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(FindGlobalAtom("LDF_Bosskey"), 0) << "a hotkey atom was left by an earlier test";
        ASSERT_EQ(FindGlobalAtom("LDF_Stealthkey"), 0) << "a hotkey atom was left by an earlier test";
    }
};

TEST_F(MainWindowTest, ShowsTheWelcomeTextAndTheButtons) {
    QuorvaleApp app;
    app.Start();
    HWND main = app.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(app.LogLines(), (std::vector<std::string>{
                                  "Welcome to Quorvale.",
                                  "",
                                  "Please click \"Erase\" button to erase your privacy.",
                                  "To set up erasing items, please click \"Options\" button.",
                                  "To set up security level, please click \"Miscellaneous\" button.",
                                  "To shred files, please click \"File Shredder\" button.",
                                  "To wash drives, please click \"Drive Washer\" button.",
                              }));
    std::vector<std::string> captions;
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (WindowClassName(child) == "Button") {
            captions.push_back(RemoteWindowText(child));
        }
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Erase", "Options", "Miscellaneous", "File Shredder", "Drive Washer",
                                                  "Help", "About", "Exit"}));
    RECT client;
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, MulDiv(499, ScreenDpi(), 96));
    EXPECT_EQ(client.bottom, MulDiv(312, ScreenDpi(), 96));

    // The hidden application window that owns the main window has exactly the tool-window style,
    // so the program has no taskbar button.
    HWND owner = GetWindow(main, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(owner, GWL_EXSTYLE)), static_cast<DWORD>(WS_EX_TOOLWINDOW));

    ASSERT_TRUE(app.PressButton("Exit"));
    EXPECT_TRUE(app.WaitExit());
    EXPECT_EQ(app.ExitCode(), 0u);
}

TEST_F(MainWindowTest, ASecondCopyIsRefusedAndTheFirstStays) {
    QuorvaleApp first;
    first.Start();
    ASSERT_NE(first.WaitMainWindow(), nullptr);

    QuorvaleApp second;
    second.Start();
    HWND box = second.WaitMessageBox("Information");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(QuorvaleApp::MessageBoxText(box), "Quorvale already starts!");
    EXPECT_EQ(second.FindWindowOf(L"TFrmMain", "Quorvale"), nullptr);
    QuorvaleApp::AnswerMessageBox(box);
    EXPECT_TRUE(second.WaitExit());

    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindowVisible(first.MainWindow()));
    EXPECT_EQ(first.LogLines().front(), "Welcome to Quorvale.");
    EXPECT_TRUE(first.Close());
}

TEST_F(MainWindowTest, DefaultHotkeysAndTrayIconAreRegisteredAndRemovedOnClose) {
    QuorvaleApp app; // no Options.ini: every default
    app.Start();
    HWND main = app.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_NE(FindGlobalAtom("LDF_Bosskey"), 0);
    EXPECT_NE(FindGlobalAtom("LDF_Stealthkey"), 0);
    EXPECT_TRUE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'B'));
    EXPECT_TRUE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'S'));
    EXPECT_TRUE(TrayIconShown(main));

    ASSERT_TRUE(app.Close());
    EXPECT_EQ(FindGlobalAtom("LDF_Bosskey"), 0);
    EXPECT_EQ(FindGlobalAtom("LDF_Stealthkey"), 0);
    EXPECT_FALSE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'B'));
    EXPECT_FALSE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'S'));
    EXPECT_FALSE(TrayIconShown(main));
}

TEST_F(MainWindowTest, AnEmptyBossKeyRegistersNothingAndOtherTextsAreParsed) {
    QuorvaleApp app("[Miscellaneous]\r\nBossKey=\r\nStealthKey=shift+ctrl+f5\r\nStealthMode=1\r\n");
    app.Start();
    HWND main = app.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(FindGlobalAtom("LDF_Bosskey"), 0);
    EXPECT_NE(FindGlobalAtom("LDF_Stealthkey"), 0);
    EXPECT_FALSE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'B'));
    EXPECT_TRUE(HotkeyTaken(MOD_CONTROL | MOD_SHIFT, VK_F5));
    EXPECT_FALSE(TrayIconShown(main)); // stealth mode

    ASSERT_TRUE(app.Close());
    EXPECT_EQ(FindGlobalAtom("LDF_Stealthkey"), 0);
    EXPECT_FALSE(HotkeyTaken(MOD_CONTROL | MOD_SHIFT, VK_F5));
}

TEST_F(MainWindowTest, MinimizingHidesTheWindowAndTheTrayBringsItBack) {
    QuorvaleApp app;
    app.Start();
    HWND main = app.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    app.Post(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, 5000));
    EXPECT_TRUE(TopLevelWindowsOf(app.ProcessId()).empty()) << "something of the program is still visible";

    app.Post(kTrayMessage, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && !IsIconic(main); }, 5000));

    app.Post(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, 5000));
    app.Post(WM_COMMAND, 201 /* Show Main Window */, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main); }, 5000));
    EXPECT_TRUE(app.Close());
}

// Chooses an entry of the open menu from the keyboard, as a user would.
void ChooseMenuEntry(HWND menuWindow, UINT arrowKey, int presses) {
    for (int i = 0; i < presses; ++i) {
        PostMessageW(menuWindow, WM_KEYDOWN, arrowKey, 0);
    }
    PostMessageW(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
}

TEST_F(MainWindowTest, TheTrayMenuShowsTheWindowFromItsSecondEntryAndExitsFromItsLast) {
    QuorvaleApp app;
    app.Start();
    HWND main = app.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    app.Post(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, 5000));

    HWND menuWindow = PopTrayMenu(app);
    ASSERT_NE(menuWindow, nullptr);
    ChooseMenuEntry(menuWindow, VK_DOWN, 2); // "Erase Now", "Show Main Window"
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main); }, 5000));
    EXPECT_TRUE(app.Running());

    menuWindow = PopTrayMenu(app);
    ASSERT_NE(menuWindow, nullptr);
    ChooseMenuEntry(menuWindow, VK_UP, 1); // from the top, up wraps to the last entry: "Exit"
    EXPECT_TRUE(app.WaitExit());
    EXPECT_EQ(FindGlobalAtom("LDF_Bosskey"), 0);
}

} // namespace
