// The boss key and the stealth key through the real Quorvale.exe: key presses arrive as the
// WM_HOTKEY that Windows sends for a registered hotkey (and once as a real key press), the boss key
// hides and shows the windows of running notepad programs, the stealth key the tray icon.
#include "driver/QuorvaleDriver.h"
#include "platform/ThisProcess.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

constexpr const char* kBossKeyOn = "[Miscellaneous]\r\nEnableBosskey=1\r\n";
constexpr const char* kNotepadLine = "[BossKeyHiddenPrograms]\r\nNotepad=1,Notepad\r\n";

// What Windows sends the program when the hotkey registered under the atom is pressed.
void PressHotkey(const QuorvaleApp& app, const char* atomName) {
    ATOM atom = FindGlobalAtom(atomName);
    ASSERT_NE(atom, 0) << atomName << " is not registered";
    app.Post(WM_HOTKEY, atom, 0);
}

void PressBossKey(const QuorvaleApp& app) { PressHotkey(app, "LDF_Bosskey"); }

// A running notepad and its main window.
class Notepad {
public:
    Notepad() : process_("notepad.exe") {
        WaitUntil(
            [&] {
                for (HWND w : TopLevelWindowsOf(process_.Id())) {
                    if (WindowClassName(w) == "Notepad") {
                        window_ = w;
                    }
                }
                return window_ != nullptr;
            },
            15000);
        EXPECT_NE(window_, nullptr) << "notepad did not come up";
    }
    bool Visible() const { return IsWindowVisible(window_) != FALSE; }
    HWND Window() const { return window_; }

private:
    ChildProcess process_;
    HWND window_ = nullptr;
};

class BossKey : public ::testing::Test {
protected:
    void StartQuorvale(const std::string& options) {
        app_ = std::make_unique<QuorvaleApp>(options);
        app_->Start();
        ASSERT_NE(app_->WaitMainWindow(), nullptr);
    }
    void TearDown() override {
        if (app_ && app_->Running()) {
            EXPECT_TRUE(app_->Close());
        }
    }
    bool NotepadsVisible(bool visible, DWORD timeoutMs = 10000) {
        return WaitUntil([&] { return first_.Visible() == visible && second_.Visible() == visible; }, timeoutMs);
    }
    // With the boss key switched on for Notepad, the next press hides its windows and the one after
    // shows them again.
    void ExpectTheNextPressesHideThenShow() {
        WriteFileText(app_->OptionsPath(), std::string(kBossKeyOn) + kNotepadLine);
        PressBossKey(*app_);
        EXPECT_TRUE(NotepadsVisible(false));
        PressBossKey(*app_);
        EXPECT_TRUE(NotepadsVisible(true));
    }
    // The press makes no change: once the program has taken it, a show or hide it asked of a
    // notepad (sent to the notepad's thread) would be handled before the notepad paints again.
    bool NotepadsStayVisible() {
        return app_->WaitPostedHandled() && WaitQueueHandled(FindChildOfClass(first_.Window(), L"Edit")) &&
               WaitQueueHandled(FindChildOfClass(second_.Window(), L"Edit")) && first_.Visible() && second_.Visible();
    }

    Notepad first_;
    Notepad second_;
    std::unique_ptr<QuorvaleApp> app_;
};

TEST_F(BossKey, ANotepadLineHidesEveryNotepadWindowAndTheNextPressShowsThemAll) {
    StartQuorvale(std::string(kBossKeyOn) + kNotepadLine);
    // One notepad hidden beforehand is shown again with the others.
    ShowWindowAsync(second_.Window(), SW_HIDE);
    ASSERT_TRUE(WaitUntil([&] { return !second_.Visible(); }, 10000));

    PressBossKey(*app_);
    EXPECT_TRUE(NotepadsVisible(false));
    PressBossKey(*app_);
    EXPECT_TRUE(NotepadsVisible(true));
    EXPECT_TRUE(IsWindowVisible(app_->MainWindow()));
}

TEST_F(BossKey, DoesNothingWhileDisabledAndReadsTheSettingAtEveryPress) {
    StartQuorvale(std::string("[Miscellaneous]\r\nEnableBosskey=0\r\n") + kNotepadLine);
    PressBossKey(*app_);
    EXPECT_TRUE(NotepadsStayVisible());

    ExpectTheNextPressesHideThenShow();
}

TEST_F(BossKey, ALineFlaggedZeroIsSkippedAndThePressDoesNotCount) {
    StartQuorvale(std::string(kBossKeyOn) + "[BossKeyHiddenPrograms]\r\nNotepad=0,Notepad\r\n");
    PressBossKey(*app_);
    EXPECT_TRUE(NotepadsStayVisible());

    // Had the skipped press counted, this one would show the windows instead of hiding them.
    ExpectTheNextPressesHideThenShow();
}

TEST_F(BossKey, AClassDifferingOnlyInCaseMatchesNothing) {
    StartQuorvale(std::string(kBossKeyOn) + "[BossKeyHiddenPrograms]\r\nNotepad=1,notepad\r\nOther=1,NOTEPAD\r\n");
    PressBossKey(*app_);
    EXPECT_TRUE(NotepadsStayVisible());
}

// Dialog-class windows of a thread of the test, which answers the program's show requests.
class DialogWindows {
public:
    explicit DialogWindows(std::vector<std::wstring> titles) {
        thread_ = std::thread([this, titles] {
            for (const auto& title : titles) {
                HWND window = CreateWindowExW(WS_EX_LAYERED, L"#32770", title.c_str(), WS_POPUP | WS_VISIBLE, 0, 0, 200,
                                              100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
                windows_.push_back(window);
            }
            threadId_ = GetCurrentThreadId();
            ready_ = true;
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                DispatchMessageW(&msg);
            }
            for (HWND window : windows_) {
                DestroyWindow(window);
            }
        });
        WaitUntil([&] { return ready_.load(); }, 10000);
    }
    ~DialogWindows() {
        WaitUntil([&] { return PostThreadMessageW(threadId_, WM_QUIT, 0, 0) != FALSE; }, 5000);
        thread_.join();
    }
    bool Visible(size_t i) const { return IsWindowVisible(windows_.at(i)) != FALSE; }

private:
    std::thread thread_;
    std::atomic<bool> ready_{false};
    std::vector<HWND> windows_;
    std::atomic<DWORD> threadId_{0};
};

TEST_F(BossKey, ADialogEntryHidesOnlyTheBuddyListWindow) {
    StartQuorvale(std::string(kBossKeyOn) + "[BossKeyHiddenPrograms]\r\nBuddy=1,#32770\r\n");
    DialogWindows dialogs({L"Friends Buddy List Window", L"Open", L"Friends buddy list window"});
    ASSERT_TRUE(dialogs.Visible(0) && dialogs.Visible(1) && dialogs.Visible(2));

    PressBossKey(*app_);
    EXPECT_TRUE(WaitUntil([&] { return !dialogs.Visible(0); }, 10000));
    EXPECT_TRUE(dialogs.Visible(1));
    EXPECT_TRUE(dialogs.Visible(2));
    EXPECT_TRUE(first_.Visible());
    PressBossKey(*app_);
    EXPECT_TRUE(WaitUntil([&] { return dialogs.Visible(0); }, 10000));
}

TEST_F(BossKey, TheRealKeyPressReachesTheProgram) {
    StartQuorvale(std::string(kBossKeyOn) + kNotepadLine);
    // Without a window manager a key reaches Wine only while one of its windows has the X focus;
    // --sync waits until the X server says the main window has it.
    const char* kFocusThenPress =
        "xdotool search --onlyvisible --name '^Quorvale$' windowfocus --sync && xdotool key ctrl+alt+b";
    ASSERT_TRUE(RunUnixShell(kFocusThenPress));
    EXPECT_TRUE(NotepadsVisible(false)) << "is xdotool installed (scripts/setup.sh)?";
    ASSERT_TRUE(RunUnixShell(kFocusThenPress));
    EXPECT_TRUE(NotepadsVisible(true));
}

TEST(StealthKey, TakesTheTrayIconAwayAndBringsItBackLeavingTheWindowAsItWas) {
    QuorvaleApp app;
    app.Start();
    HWND main = app.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(TrayIconShown(main));

    PressHotkey(app, "LDF_Stealthkey");
    EXPECT_TRUE(WaitUntil([&] { return !TrayIconShown(main); }, 5000));
    EXPECT_TRUE(IsWindowVisible(main));

    app.Post(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, 5000));
    PressHotkey(app, "LDF_Stealthkey");
    EXPECT_TRUE(WaitUntil([&] { return TrayIconShown(main); }, 5000));
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_TRUE(app.Close());
}

TEST(StealthKey, InStealthModeTheFirstPressShowsTheIcon) {
    QuorvaleApp app("[Miscellaneous]\r\nStealthMode=1\r\n");
    app.Start();
    HWND main = app.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_FALSE(TrayIconShown(main));
    PressHotkey(app, "LDF_Stealthkey");
    EXPECT_TRUE(WaitUntil([&] { return TrayIconShown(main); }, 5000));
    EXPECT_TRUE(app.Close());
    EXPECT_FALSE(TrayIconShown(main));
}

} // namespace
