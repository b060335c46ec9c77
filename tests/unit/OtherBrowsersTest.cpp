// The Firefox, Netscape and Opera items against real profile folders: APPDATA and ProgramFiles
// point at scratch folders for each test, and copies of the helper program stand in for running
// browsers.
#include "ItemTestSupport.h"

#include "engine/FolderWipe.h"
#include "engine/OtherBrowsers.h"
#include "engine/RunState.h"
#include "platform/Files.h"
#include "platform/Processes.h"
#include "support/RecordingLog.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Lines = std::vector<std::string>;
using Item = void (*)(const std::string&, int32_t, ProgressLog&);

class OtherBrowsersTest : public ::testing::Test {
protected:
    OtherBrowsersTest()
        : appData_(scratch_ / "AppData\\Roaming"), programFiles_(scratch_ / "Program Files"),
          appDataVar_("APPDATA", appData_), programFilesVar_("ProgramFiles", programFiles_ + "\\") {
        MakeFolders(appData_);
        MakeFolders(programFiles_);
        SetCounters(7, 700, 0, 10, 1000, 0);
        log_.AppendLine(kPlaceholderLine);
    }
    std::string Firefox(const std::string& rest) const { return appData_ + "\\Mozilla\\Firefox\\Profiles\\" + rest; }
    std::string Netscape(const std::string& rest) const { return appData_ + "\\Mozilla\\Profiles\\" + rest; }
    std::string OperaUser(const std::string& rest) const { return appData_ + "\\Opera\\Opera\\profile\\" + rest; }
    std::string OperaProgram(const std::string& rest) const { return programFiles_ + "\\opera\\profile\\" + rest; }
    void ExpectCounts(int64_t files, int64_t bytes, int64_t totalFiles, int64_t totalBytes) const {
        EXPECT_EQ(ErasedFileCount, files);
        EXPECT_EQ(ReleasedByteCount, bytes);
        EXPECT_EQ(TotalErasedFileCount, totalFiles);
        EXPECT_EQ(TotalReleasedByteCount, totalBytes);
    }

    ScratchFolder scratch_;
    std::string appData_;
    std::string programFiles_;
    EnvironmentOverride appDataVar_;
    EnvironmentOverride programFilesVar_;
    RecordingLog log_;
};

TEST_F(OtherBrowsersTest, FirefoxHistoryKeepsARunningLineOverEveryProfile) {
    MakeFile(Firefox("abc.default\\history.dat"), 1000);
    MakeFile(Firefox("xyz.work\\history.dat"), 1000);
    MakeFile(Firefox(".hidden\\history.dat"), 1000);

    EraseFirefoxHistory("DoD", 0, log_);

    EXPECT_EQ(log_.history,
              (Lines{"+0 file was erased.", "=1 files were erased, 1000 Bytes hard disk space was released.",
                     "=2 files were erased, 1.95 KB hard disk space was released."}));
    EXPECT_FALSE(FileExists(Firefox("abc.default\\history.dat")));
    EXPECT_FALSE(FileExists(Firefox("xyz.work\\history.dat")));
    EXPECT_TRUE(FileExists(Firefox(".hidden\\history.dat"))) << "a dot-profile is not visited";
    ExpectCounts(2, 2000, 12, 3000);
}

TEST_F(OtherBrowsersTest, FirefoxFormDataCountsBothFilesAsOneItem) {
    MakeFile(Firefox("one\\formhistory.dat"), 2048);
    MakeFile(Firefox("two\\signons.txt"), 1024);

    EraseFirefoxFormData("DoD", 0, log_);

    EXPECT_EQ(log_.lines, (Lines{"2 files were erased, 3.00 KB hard disk space was released."}));
    EXPECT_FALSE(FileExists(Firefox("one\\formhistory.dat")));
    EXPECT_FALSE(FileExists(Firefox("two\\signons.txt")));
    ExpectCounts(2, 3072, 12, 4072);
}

TEST_F(OtherBrowsersTest, FirefoxCacheTakesTheCacheFilesButNotItsSubFolders) {
    for (const char* name : {"a", "b", "c"}) {
        MakeFile(Firefox(std::string("p\\Cache\\") + name), 100);
    }
    for (int i = 0; i < 5; ++i) {
        MakeFile(Firefox("p\\Cache\\deep\\" + std::to_string(i)), 100);
    }

    EraseFirefoxCache("DoD", 0, log_);

    ExpectCounts(3, 300, 13, 1300);
    EXPECT_EQ(ListFolder(Firefox("p\\Cache\\deep\\*.*")).size(), 5u);
    EXPECT_EQ(ListFolder(Firefox("p\\Cache\\*.*")).size(), 1u);
}

TEST_F(OtherBrowsersTest, FirefoxItemsWithoutProfilesChangeNoCounter) {
    const Item items[] = {EraseFirefoxCache, EraseFirefoxCookies, EraseFirefoxFormData, EraseFirefoxHistory};
    for (Item item : items) {
        item("DoD", 0, log_);
    }
    MakeFolders(Firefox("")); // an empty profiles directory: the counters start afresh, nothing is added
    EraseFirefoxCookies("DoD", 0, log_);
    EXPECT_EQ(log_.history, (Lines{"+0 file was erased."}));
    ExpectCounts(0, 0, 10, 1000);
}

TEST_F(OtherBrowsersTest, WithoutAppDataNothingIsTakenFromTheCurrentFolder) {
    // An unset variable stays "%AppData%", which would name a folder below the current one.
    MakeFile(scratch_ / "%AppData%\\Mozilla\\Firefox\\Profiles\\p\\history.dat", 10);
    MakeFile(scratch_ / "%AppData%\\Mozilla\\Profiles\\p\\q\\cookies.txt", 10);
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryW(WidePath(scratch_.Path()).c_str()));
    {
        EnvironmentOverride noAppData("APPDATA", std::nullopt);
        EraseFirefoxHistory("DoD", 0, log_);
        EraseNetscapeCookies("DoD", 0, log_);
    }
    SetCurrentDirectoryW(saved);
    EXPECT_TRUE(FileExists(scratch_ / "%AppData%\\Mozilla\\Firefox\\Profiles\\p\\history.dat"));
    EXPECT_TRUE(FileExists(scratch_ / "%AppData%\\Mozilla\\Profiles\\p\\q\\cookies.txt"));
    ExpectCounts(0, 0, 10, 1000);
}

TEST_F(OtherBrowsersTest, NetscapeLooksTwoLevelsDownAndSkipsALockedFile) {
    MakeFile(Netscape("alice\\x1y2.slt\\cookies.txt"), 100);
    MakeFile(Netscape("bob\\a9b8.slt\\cookies.txt"), 200);
    MakeFile(Netscape("bob\\.c7d6\\cookies.txt"), 300);
    MakeFile(Netscape("carol\\cookies.txt"), 400);
    MakeFile(Netscape("carol\\e5f4.slt\\cookies.txt"), 500);
    // Held open without write sharing, as a running browser holds it.
    FileHandle lock(CreateFileW(WidePath(Netscape("carol\\e5f4.slt\\cookies.txt")).c_str(), GENERIC_READ,
                                FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);

    EraseNetscapeCookies("DoD", 0, log_);

    ExpectCounts(2, 300, 12, 1300);
    EXPECT_FALSE(FileExists(Netscape("alice\\x1y2.slt\\cookies.txt")));
    EXPECT_FALSE(FileExists(Netscape("bob\\a9b8.slt\\cookies.txt")));
    EXPECT_TRUE(FileExists(Netscape("bob\\.c7d6\\cookies.txt")));
    EXPECT_TRUE(FileExists(Netscape("carol\\cookies.txt")));
    EXPECT_TRUE(FileExists(Netscape("carol\\e5f4.slt\\cookies.txt")));
    EXPECT_EQ(log_.lines.back(), "2 files were erased, 300 Bytes hard disk space was released.");
}

TEST_F(OtherBrowsersTest, NetscapeFormDataTakesSFilesThenWFiles) {
    MakeFile(Netscape("p\\q\\1.w"), 20);
    MakeFile(Netscape("p\\q\\2.s"), 10);
    MakeFile(Netscape("p\\q\\3.txt"), 40);

    EraseNetscapeFormData("DoD", 0, log_);

    EXPECT_EQ(log_.history,
              (Lines{"+0 file was erased.", "=1 files were erased, 10 Bytes hard disk space was released.",
                     "=2 files were erased, 30 Bytes hard disk space was released."}));
    EXPECT_TRUE(FileExists(Netscape("p\\q\\3.txt")));
    ExpectCounts(2, 30, 12, 1030);
}

TEST_F(OtherBrowsersTest, NetscapeFormDataCountsNeitherFailedFileButAccountsForBoth) {
    MakeFile(Netscape("p\\q\\a.s"), 10);
    MakeFile(Netscape("p\\q\\b.w"), 20);
    std::vector<FileHandle> locks;
    for (const char* name : {"a.s", "b.w"}) {
        locks.emplace_back(CreateFileW(WidePath(Netscape(std::string("p\\q\\") + name)).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locks.back());
    }

    NotErasedEntries.clear();
    EraseNetscapeFormData("DoD", 0, log_);

    ExpectCounts(0, 0, 10, 1000);
    EXPECT_EQ(log_.history, (Lines{"+0 file was erased."})) << "a failed wipe does not refresh the line";
    ASSERT_EQ(NotErasedEntries.size(), 2u);
    EXPECT_EQ(NotErasedEntries[0].what, Netscape("p\\q\\a.s"));
    EXPECT_EQ(NotErasedEntries[1].what, Netscape("p\\q\\b.w"));
    EXPECT_EQ(NotErasedEntries[1].why, "in use by another program");
    NotErasedEntries.clear();
}

TEST_F(OtherBrowsersTest, NetscapeAndOperaItemsStartTheirCountersAfresh) {
    const Item items[] = {EraseNetscapeCache, EraseNetscapeCookies, EraseNetscapeFormData, EraseNetscapeHistory,
                          EraseOperaCache,    EraseOperaCookies,    EraseOperaHistory};
    for (Item item : items) {
        SetCounters(7, 700, 0, 10, 1000, 0);
        item("DoD", 0, log_);
        ExpectCounts(0, 0, 10, 1000);
    }
    EXPECT_EQ(log_.history, (Lines{"+0 file was erased."}));
}

TEST_F(OtherBrowsersTest, OperaUsesTheApplicationDataProfileOnlyWithOpera6Ini) {
    MakeFile(OperaUser("cookies4.dat"), 10);
    MakeFile(OperaProgram("cookies4.dat"), 20);

    EraseOperaCookies("DoD", 0, log_);
    EXPECT_TRUE(FileExists(OperaUser("cookies4.dat")));
    EXPECT_FALSE(FileExists(OperaProgram("cookies4.dat")));
    ExpectCounts(1, 20, 11, 1020);

    MakeFile(OperaUser("opera6.ini"), 0);
    MakeFile(OperaProgram("cookies4.dat"), 20);
    EraseOperaCookies("DoD", 0, log_);
    EXPECT_FALSE(FileExists(OperaUser("cookies4.dat")));
    EXPECT_TRUE(FileExists(OperaProgram("cookies4.dat")));
    ExpectCounts(1, 10, 12, 1030);
}

TEST(FindOperaProfile, FollowsOpera6IniAndTheVariables) {
    ScratchFolder scratch;
    MakeFile(scratch / "with\\Opera\\Opera\\profile\\opera6.ini", 0);
    MakeFolders(scratch / "without\\Opera\\Opera\\profile");
    const struct {
        std::optional<std::string> appData;
        std::optional<std::string> programFiles;
        std::string expected;
    } cases[] = {
        {scratch / "with", "P:\\Programs", scratch / "with\\Opera\\Opera\\profile\\"},
        {scratch / "with\\", std::nullopt, scratch / "with\\Opera\\Opera\\profile\\"},
        {scratch / "without", "P:\\Programs", "P:\\Programs\\opera\\profile\\"},
        {std::nullopt, "P:\\Programs\\", "P:\\Programs\\opera\\profile\\"},
        {scratch / "without", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        EnvironmentOverride appData("APPDATA", c.appData);
        EnvironmentOverride programFiles("ProgramFiles", c.programFiles);
        EXPECT_EQ(FindOperaProfile(), c.expected) << c.appData.value_or("(unset)");
    }
}

TEST_F(OtherBrowsersTest, OperaHistoryWipesItsThreeFilesInOrder) {
    MakeFile(OperaUser("opera6.ini"), 0);
    MakeFile(OperaUser("opera.dir"), 30);
    MakeFile(OperaUser("vlink4.dat"), 20);
    MakeFile(OperaUser("global.dat"), 10);

    EraseOperaHistory("DoD", 0, log_);

    EXPECT_EQ(log_.history,
              (Lines{"+0 file was erased.", "=1 files were erased, 10 Bytes hard disk space was released.",
                     "=2 files were erased, 30 Bytes hard disk space was released.",
                     "=3 files were erased, 60 Bytes hard disk space was released."}));
    ExpectCounts(3, 60, 13, 1060);
}

TEST_F(OtherBrowsersTest, OperaHistoryWithOnlyVlink4) {
    MakeFile(OperaProgram("vlink4.dat"), 50);
    EraseOperaHistory("DoD", 0, log_);
    EXPECT_FALSE(FileExists(OperaProgram("vlink4.dat")));
    ExpectCounts(1, 50, 11, 1050);
}

TEST_F(OtherBrowsersTest, OperaCacheTakesTheFilesOfCache4) {
    MakeFile(OperaProgram("Cache4\\opr0001.tmp"), 100);
    MakeFile(OperaProgram("Cache4\\opr0002.tmp"), 200);
    MakeFile(OperaProgram("Cache4\\sub\\opr0003.tmp"), 400);
    EraseOperaCache("DoD", 0, log_);
    ExpectCounts(2, 300, 12, 1300);
    EXPECT_TRUE(FileExists(OperaProgram("Cache4\\sub\\opr0003.tmp")));
}

TEST_F(OtherBrowsersTest, FilesOfTwoGigabytesAndMoreCountWithTheirRealSize) {
    // Sparse files; a random method with no passes truncates and deletes them without writing.
    const int64_t size = 3LL << 30;
    MakeFile(Firefox("p\\cookies.txt"), size);
    MakeFile(Firefox("p\\Cache\\big"), size);

    EraseFirefoxCookies("Random", 0, log_);
    EXPECT_EQ(log_.lines.back(), "1 files were erased, 3.00 GB hard disk space was released.");
    EraseFirefoxCache("Random", 0, log_);
    EXPECT_EQ(log_.lines.back(), "1 files were erased, 3.00 GB hard disk space was released.");
    EXPECT_EQ(TotalReleasedByteCount, 1000 + 2 * size);
}

// Copies of the helper program running as "firefox.exe" and "netscp.exe" in a scratch folder.
class BrowserProcessTest : public OtherBrowsersTest {
protected:
    KernelHandle StartAs(const std::string& name) {
        std::string exe = scratch_ / name;
        // Copied once and then reused: a copy of a program that has just ended may still be held.
        if (!FileExists(exe) && !CopyFileW(WidePath(ItemHelperPath()).c_str(), WidePath(exe).c_str(), TRUE)) {
            ADD_FAILURE() << "cannot copy the helper to " << exe << ": error " << GetLastError();
        }
        KernelHandle process = StartProcess(exe, "wait");
        DWORD id = process ? GetProcessId(process.get()) : 0;
        for (int i = 0; i < 100 && id != 0; ++i) {
            auto running = RunningProcesses();
            if (running &&
                std::any_of(running->begin(), running->end(), [&](const ProcessEntry& p) { return p.id == id; })) {
                return process;
            }
            Sleep(50);
        }
        ADD_FAILURE() << "cannot start " << exe;
        return process;
    }
};

TEST_F(BrowserProcessTest, OnlyTheFormDataAndHistoryItemsTerminateTheirBrowser) {
    const struct {
        const char* name;
        Item item;
        bool firefoxEnds;
        bool netscapeEnds;
    } cases[] = {
        {"EraseFirefoxCache", EraseFirefoxCache, false, false},
        {"EraseFirefoxCookies", EraseFirefoxCookies, false, false},
        {"EraseFirefoxFormData", EraseFirefoxFormData, true, false},
        {"EraseFirefoxHistory", EraseFirefoxHistory, true, false},
        {"EraseNetscapeCookies", EraseNetscapeCookies, false, false},
        {"EraseNetscapeHistory", EraseNetscapeHistory, false, true},
        {"EraseOperaHistory", EraseOperaHistory, false, false},
    };
    for (const auto& c : cases) {
        KernelHandle firefox = StartAs("firefox.exe");
        KernelHandle netscape = StartAs("netscp.exe");
        ASSERT_TRUE(firefox && netscape);

        c.item("DoD", 0, log_); // no profile exists

        // An item ends a browser before it returns, with exit code 0; the first end of a process sets
        // its exit code, so one that the item left running ends here with the helper's own code.
        for (HANDLE process : {firefox.get(), netscape.get()}) {
            TerminateProcess(process, kHelperNotTerminated);
        }
        const std::optional<DWORD> ended(0);
        const std::optional<DWORD> leftRunning(kHelperNotTerminated);
        EXPECT_EQ(ExitCodeWithin(firefox.get(), 10000), c.firefoxEnds ? ended : leftRunning) << c.name;
        EXPECT_EQ(ExitCodeWithin(netscape.get(), 10000), c.netscapeEnds ? ended : leftRunning) << c.name;
    }
}

} // namespace
