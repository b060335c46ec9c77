// The OS family as Windows' version gives it, and terminating programs by name.
#include "engine/SystemInfo.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "support/ChildProcess.h"
#include "support/Scratch.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

namespace {

std::string HelperPath() { return TestProgramFolder() + "QvTestHelper.exe"; }

TEST(GetOSFamily, FollowsTheVersionThatWindowsReports) {
    const struct {
        const char* wineVersion;
        const char* family;
    } cases[] = {
        {"win98", "Win9x"},    {"winme", "Win9x"},    {"win95", "OldWinNt"}, {"nt40", "OldWinNt"},
        {"win2k", "NewWinNT"}, {"winxp", "NewWinNT"}, {"win7", "NewWinNT"},
    };
    const std::string appKey = "Software\\Wine\\AppDefaults\\QvTestHelper.exe";
    for (const auto& c : cases) {
        {
            RegKey key = CreateRegKey(HKEY_CURRENT_USER, appKey);
            ASSERT_TRUE(key);
            ASSERT_TRUE(SetRegString(key.get(), "Version", c.wineVersion));
        }
        EXPECT_EQ(RunAndCapture("\"" + HelperPath() + "\" os-family"), std::string("[") + c.family + "]\r\n")
            << c.wineVersion;
    }
    DeleteRegTree(HKEY_CURRENT_USER, appKey);
    EXPECT_EQ(GetOSFamily(), "NewWinNT"); // this prefix's default version is 6.1
}

TEST(KillProcessByName, TerminatesEveryMatchingProgram) {
    ScratchFolder folder;
    ASSERT_TRUE(CopyFileW(Widen(HelperPath()).c_str(), Widen(folder / "firefox.exe").c_str(), FALSE));
    ASSERT_TRUE(CreateFolder(folder / "other"));
    ASSERT_TRUE(CopyFileW(Widen(HelperPath()).c_str(), Widen(folder / "other\\FIREFOX.EXE").c_str(), FALSE));
    ChildProcess first("\"" + folder / "firefox.exe" + "\" sleep");
    ChildProcess second("\"" + folder / "other\\FIREFOX.EXE" + "\" sleep");
    ChildProcess bystander("\"" + HelperPath() + "\" sleep");
    ASSERT_TRUE(first.WaitListed() && second.WaitListed() && bystander.WaitListed());

    EXPECT_TRUE(KillProcessByName("firefox.exe"));
    EXPECT_EQ(first.Wait(5000), 0u);
    EXPECT_EQ(second.Wait(5000), 0u);
    EXPECT_TRUE(bystander.Running());
    EXPECT_FALSE(KillProcessByName("firefox.exe")); // nothing left to match
    EXPECT_FALSE(KillProcessByName("no-such-program.exe"));
}

} // namespace
