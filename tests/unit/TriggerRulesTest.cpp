// What the background triggers decide from Options.ini: the boss key's list and its press, whether
// the end of the session waits for a run, and the action after an end-of-session run.
#include "app/Triggers.h"
#include "app/UnitFrmMain.h"
#include "app/UnitMoveWindow.h"
#include "platform/Power.h"
#include "platform/Text.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class OptionsFile {
public:
    explicit OptionsFile(std::string_view text = {}) {
        if (!text.empty()) {
            Write(text);
        }
    }
    void Write(std::string_view text) const { WriteFileText(Path(), text); }
    std::string Path() const { return folder_ / "Options.ini"; }

private:
    ScratchFolder folder_;
};

TEST(EnabledBossKeyClassNames, KeepsLinesFlaggedOneWithTheTextAfterTheFirstComma) {
    const struct {
        const char* proves;
        const char* section;
        std::vector<std::string> classNames;
    } cases[] = {
        {"a flagged line gives its class", "Notepad=1,Notepad\r\n", {"Notepad"}},
        {"a line flagged 0 is skipped", "Notepad=0,Notepad\r\n", {}},
        {"file order is kept", "B=1,Second\r\nA=0,Skipped\r\nC=1,Third\r\n", {"Second", "Third"}},
        {"the class is all after the first comma", "Odd=1,Class,With,Commas\r\n", {"Class,With,Commas"}},
        {"the first comma of the whole line counts", "Comma,Name=1,X\r\n", {"Name=1,X"}},
        {"only the character right after the first = is the flag", "Two=10,Other\r\nThree=2,Skipped\r\n", {"Other"}},
        {"a line without a comma has an empty class", "Bare=1\r\n", {""}},
        {"no section, no names", "", {}},
    };
    for (const auto& c : cases) {
        OptionsFile options(std::string("[BossKeyHiddenPrograms]\r\n") + c.section);
        EXPECT_EQ(EnabledBossKeyClassNames(OptionsStore(options.Path())), c.classNames) << c.proves;
    }
}

// A top-level window of this thread with a class of its own (see UnitMoveWindowTest for the style).
class PressTarget {
public:
    PressTarget() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QvPressTarget";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(WS_EX_LAYERED, L"QvPressTarget", L"Target", WS_POPUP, 0, 0, 100, 100, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        ShowWindow(window_, SW_SHOWNOACTIVATE);
    }
    ~PressTarget() { DestroyWindow(window_); }
    bool Visible() const { return IsWindowVisible(window_) != FALSE; }

private:
    HWND window_;
};

class PressBossKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        BossWindowsHidden = false;
        BossKeyClassNames.clear();
    }
    void TearDown() override { SetUp(); }
    OptionsFile options;
    PressTarget target;
};

TEST_F(PressBossKeyTest, HidesThenShowsTheListedWindows) {
    options.Write("[Miscellaneous]\r\nEnableBosskey=1\r\n[BossKeyHiddenPrograms]\r\nTarget=1,QvPressTarget\r\n");
    PressBossKey(options.Path());
    EXPECT_FALSE(target.Visible());
    EXPECT_TRUE(BossWindowsHidden);
    EXPECT_EQ(BossKeyClassNames, std::vector<std::string>{"QvPressTarget"});
    PressBossKey(options.Path());
    EXPECT_TRUE(target.Visible());
    EXPECT_FALSE(BossWindowsHidden);
}

TEST_F(PressBossKeyTest, DoesNothingWhileTheBossKeyIsDisabled) {
    for (const char* enable : {"", "EnableBosskey=0\r\n"}) {
        options.Write(std::string("[Miscellaneous]\r\n") + enable +
                      "[BossKeyHiddenPrograms]\r\nTarget=1,QvPressTarget\r\n");
        PressBossKey(options.Path());
        EXPECT_TRUE(target.Visible()) << enable;
        EXPECT_FALSE(BossWindowsHidden) << enable;
        EXPECT_TRUE(BossKeyClassNames.empty()) << enable;
    }
}

TEST_F(PressBossKeyTest, APressWithNoEnabledLineDoesNotFlipAndTheNextPressReadsTheListAgain) {
    options.Write("[Miscellaneous]\r\nEnableBosskey=1\r\n[BossKeyHiddenPrograms]\r\nTarget=0,QvPressTarget\r\n");
    PressBossKey(options.Path());
    EXPECT_FALSE(BossWindowsHidden);
    EXPECT_TRUE(target.Visible());

    // Had the first press flipped the state, this one would show instead of hide.
    options.Write("[Miscellaneous]\r\nEnableBosskey=1\r\n[BossKeyHiddenPrograms]\r\nTarget=1,QvPressTarget\r\n");
    PressBossKey(options.Path());
    EXPECT_FALSE(target.Visible());
    EXPECT_TRUE(BossWindowsHidden);
}

TEST(EndOfSessionEraseWanted, FollowsSystemShutdownEraseWithFalseAsDefault) {
    EXPECT_FALSE(EndOfSessionEraseWanted(OptionsFile().Path())); // no file at all
    EXPECT_FALSE(EndOfSessionEraseWanted(OptionsFile("[Miscellaneous]\r\nSystemShutdownErase=0\r\n").Path()));
    EXPECT_TRUE(EndOfSessionEraseWanted(OptionsFile("[Miscellaneous]\r\nSystemShutdownErase=1\r\n").Path()));
}

std::vector<UINT> exitWindowsFlags;

bool RecordExitWindows(UINT flags) {
    exitWindowsFlags.push_back(flags);
    return true;
}

TEST(CarryOutAfterEraseAction, ShutsDownOnlyForShutdownAndRestartsForAnyOtherTextButShowWindow) {
    const struct {
        const char* setting;
        std::vector<UINT> flags;
    } cases[] = {
        {"SystemShutdownOption=Shutdown\r\n", {5}},
        {"SystemShutdownOption=Restart\r\n", {6}},
        {"SystemShutdownOption=shutdown\r\n", {6}},
        {"SystemShutdownOption=Reboot\r\n", {6}},
        {"SystemShutdownOption=\r\n", {6}},
        // The shell's dialog: Wine's "Shell.Application" fails the call, and the action returns.
        {"SystemShutdownOption=ShowWindow\r\n", {}},
        {"", {}},
    };
    DivertExitWindows(RecordExitWindows);
    for (const auto& c : cases) {
        exitWindowsFlags.clear();
        OptionsFile options(std::string("[Miscellaneous]\r\n") + c.setting);
        CarryOutAfterEraseAction(options.Path());
        EXPECT_EQ(exitWindowsFlags, c.flags) << c.setting;
    }
    DivertExitWindows(nullptr);
}

} // namespace
