// What the background triggers decide from Options.ini: the boss key's list, whether the end of the
// session waits for a run, and the action after an end-of-session run. The boss key's press itself is
// tested end to end with running notepads (e2e/BossKeyTest.cpp).
#include "app/Triggers.h"
#include "platform/Power.h"
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
