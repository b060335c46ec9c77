// The folder wipe, its counting and running line, the link rules, and the result-line wording.
#include "engine/FolderWipe.h"
#include "engine/RunState.h"
#include "platform/Files.h"
#include "support/ChildProcess.h"
#include "support/RecordingLog.h"
#include "support/Scratch.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class FolderWipeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetItemCounters();
        log_.AppendLine("Erasing something ...");
        log_.AppendLine("0 file was erased.");
    }
    void TearDown() override { StopRequested = false; }

    ScratchFolder folder_;
    RecordingLog log_;
};

TEST_F(FolderWipeTest, CountsEveryFileBeforeItsWipeAndKeepsTheRunningLine) {
    std::string tree = folder_ / "tree";
    ASSERT_TRUE(CreateFolder(tree));
    ASSERT_TRUE(CreateFolder(tree + "\\sub"));
    WriteFileText(tree + "\\small.txt", std::string(10, 's'));
    WriteFileText(tree + "\\sub\\medium.txt", std::string(2000, 'm'));
    WriteFileText(tree + "\\sub\\large.bin", std::string(3000000, 'l'));
    ASSERT_TRUE(SetAttributes(tree + "\\sub", FILE_ATTRIBUTE_HIDDEN));

    WipeFolderTree(tree + "\\", "DoD", 2, log_);

    EXPECT_EQ(ErasedFileCount, 3);
    EXPECT_EQ(ReleasedByteCount, 3002010);
    EXPECT_EQ(log_.lines, (std::vector<std::string>{"Erasing something ...",
                                                    "3 files were erased, 2.86 MB hard disk space was released."}));
    // One replacement per file, each with the count so far.
    ASSERT_EQ(log_.history.size(), 5u);
    EXPECT_EQ(log_.history[2].rfind("=1 files were erased, ", 0), 0u);
    EXPECT_EQ(log_.history[3].rfind("=2 files were erased, ", 0), 0u);
    EXPECT_FALSE(FolderExists(tree));
}

TEST_F(FolderWipeTest, AFirstTenByteFileGivesTheSingularCountInPluralWords) {
    std::string tree = folder_ / "one";
    ASSERT_TRUE(CreateFolder(tree));
    WriteFileText(tree + "\\a.txt", std::string(10, 'a'));
    WipeFolderTree(tree, "NSA", 2, log_);
    EXPECT_EQ(log_.lines.back(), "1 files were erased, 10 Bytes hard disk space was released.");
}

TEST_F(FolderWipeTest, DotFoldersAreNeitherWalkedNorRemovedSoTheirParentStays) {
    std::string tree = folder_ / "profile";
    ASSERT_TRUE(CreateFolder(tree));
    ASSERT_TRUE(CreateFolder(tree + "\\.cache"));
    WriteFileText(tree + "\\.cache\\keep.txt", "kept");
    WriteFileText(tree + "\\gone.txt", "gone");
    WipeFolderTree(tree, "Random", 1, log_);
    EXPECT_EQ(ReadFileText(tree + "\\.cache\\keep.txt"), "kept");
    EXPECT_FALSE(FileExists(tree + "\\gone.txt"));
    EXPECT_TRUE(FolderExists(tree));
    EXPECT_EQ(ErasedFileCount, 1);
}

TEST_F(FolderWipeTest, AnEmptyFolderIsRemovedAndTheLogIsUntouched) {
    std::string tree = folder_ / "empty";
    ASSERT_TRUE(CreateFolder(tree));
    ASSERT_TRUE(CreateFolder(tree + "\\inner"));
    WipeFolderTree(tree, "DoD", 0, log_);
    EXPECT_FALSE(FolderExists(tree));
    EXPECT_EQ(log_.lines.back(), "0 file was erased.");
    EXPECT_EQ(log_.history.size(), 2u);
    WipeFolderTree(folder_ / "missing", "DoD", 0, log_); // a missing folder is passed by
    EXPECT_EQ(ErasedFileCount, 0);
}

TEST_F(FolderWipeTest, AFileThatCannotBeWipedIsNotCountedButAccountedForAndTheWalkGoesOn) {
    std::string tree = folder_ / "locked";
    ASSERT_TRUE(CreateFolder(tree));
    WriteFileText(tree + "\\held.txt", "held");
    WriteFileText(tree + "\\free.txt", "free");
    FileHandle holder(CreateFileW(WidePath(tree + "\\held.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    NotErasedEntries.clear();
    WipeFolderTree(tree, "DoD", 0, log_);
    holder.reset();
    EXPECT_EQ(ErasedFileCount, 1) << "only what is gone is counted";
    EXPECT_EQ(ReleasedByteCount, 4);
    ASSERT_EQ(NotErasedEntries.size(), 1u);
    EXPECT_EQ(NotErasedEntries[0].what, tree + "\\held.txt");
    EXPECT_EQ(NotErasedEntries[0].why, "in use by another program");
    NotErasedEntries.clear();
    EXPECT_EQ(ReadFileText(tree + "\\held.txt"), "held");
    EXPECT_FALSE(FileExists(tree + "\\free.txt"));
    EXPECT_TRUE(FolderExists(tree));
}

TEST_F(FolderWipeTest, AfterAStopNothingIsErasedNorCountedNorAccountedAsAFailure) {
    std::string tree = folder_ / "stopped";
    ASSERT_TRUE(CreateFolder(tree));
    WriteFileText(tree + "\\a.txt", "aaaa");
    WriteFileText(tree + "\\b.txt", "bbbb");
    NotErasedEntries.clear();
    StopRequested = true;
    WipeFolderTree(tree, "Gutmann", 0, log_);
    EXPECT_EQ(ErasedFileCount, 0);
    EXPECT_EQ(log_.lines.back(), "0 file was erased.") << "no file gone, no line refreshed";
    EXPECT_TRUE(NotErasedEntries.empty()) << "files a stop left are not failures";
    EXPECT_EQ(ReadFileText(tree + "\\a.txt"), "aaaa");
    EXPECT_TRUE(FolderExists(tree));
}

TEST_F(FolderWipeTest, AFileWithAnotherHardLinkIsUnlinkedButItsDataIsNotOverwritten) {
    std::string tree = folder_ / "temp";
    ASSERT_TRUE(CreateFolder(tree));
    std::string document = folder_ / "document.txt";
    WriteFileText(document, "my only copy");
    if (!CreateHardLinkW(WidePath(tree + "\\link.txt").c_str(), WidePath(document).c_str(), nullptr)) {
        GTEST_SKIP() << "hard links cannot be made here (error " << GetLastError() << ")";
    }
    WipeFolderTree(tree, "DoD", 0, log_);
    EXPECT_FALSE(FileExists(tree + "\\link.txt"));
    EXPECT_EQ(ReadFileText(document), "my only copy");
    EXPECT_EQ(ErasedFileCount, 1);
}

TEST_F(FolderWipeTest, AfterAStopNoFileIsTouchedHardLinkedOrNot) {
    std::string tree = folder_ / "stopped";
    ASSERT_TRUE(CreateFolder(tree));
    std::string document = folder_ / "document.txt";
    WriteFileText(document, "my only copy");
    WriteFileText(tree + "\\plain.txt", "plain");
    if (!CreateHardLinkW(WidePath(tree + "\\link.txt").c_str(), WidePath(document).c_str(), nullptr)) {
        GTEST_SKIP() << "hard links cannot be made here (error " << GetLastError() << ")";
    }
    StopRequested = true;
    WipeFolderTree(tree, "DoD", 0, log_);
    EXPECT_EQ(ReadFileText(tree + "\\link.txt"), "my only copy");
    EXPECT_EQ(ReadFileText(tree + "\\plain.txt"), "plain");
    EXPECT_EQ(ErasedFileCount, 0);
    EXPECT_EQ(ReleasedByteCount, 0);
}

TEST_F(FolderWipeTest, AFolderLinkInsideTheTreeIsPassedBySoItsTargetIsUntouched) {
    std::string tree = folder_ / "walked";
    std::string target = folder_ / "elsewhere";
    ASSERT_TRUE(CreateFolder(tree));
    ASSERT_TRUE(CreateFolder(target));
    WriteFileText(target + "\\precious.txt", "precious");
    WriteFileText(tree + "\\junk.txt", "junk");
    if (!MakeUnixSymlink(target, tree + "\\link")) {
        GTEST_SKIP() << "a folder link cannot be made from Linux here";
    }
    DWORD attributes = GetAttributes(tree + "\\link");
    ASSERT_TRUE(attributes & FILE_ATTRIBUTE_REPARSE_POINT) << "the link does not show as one: " << attributes;

    WipeFolderTree(tree, "DoD", 0, log_);

    EXPECT_EQ(ReadFileText(target + "\\precious.txt"), "precious");
    EXPECT_TRUE(FolderExists(target));
    EXPECT_FALSE(FileExists(tree + "\\junk.txt"));
    EXPECT_NE(GetAttributes(tree + "\\link"), INVALID_FILE_ATTRIBUTES); // the link itself stays, so does its folder
    EXPECT_EQ(ErasedFileCount, 1);
    RemoveUnixSymlink(tree + "\\link");
}

// What a folder search says of every entry below the folder: the attributes and the last write.
std::vector<std::string> TreeState(const std::string& folder) {
    std::vector<std::string> state;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(WidePath(folder + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        return state;
    }
    do {
        const std::string name = Narrow(data.cFileName);
        if (name == "." || name == "..") {
            continue;
        }
        state.push_back(name + " " + std::to_string(data.dwFileAttributes) + " " +
                        std::to_string(data.ftLastWriteTime.dwLowDateTime) + " " + std::to_string(data.nFileSizeLow));
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            for (const std::string& below : TreeState(folder + "\\" + name)) {
                state.push_back(name + "\\" + below);
            }
        }
    } while (FindNextFileW(search, &data));
    FindClose(search);
    std::sort(state.begin(), state.end());
    return state;
}

TEST_F(FolderWipeTest, FindingChangesNothingAndTheWalkDoesExactlyWhatWasFound) {
    std::string tree = folder_ / "planned";
    ASSERT_TRUE(CreateFolder(tree));
    ASSERT_TRUE(CreateFolder(tree + "\\sub"));
    ASSERT_TRUE(CreateFolder(tree + "\\.hidden"));
    WriteFileText(tree + "\\a.txt", std::string(10, 'a'));
    WriteFileText(tree + "\\sub\\b.txt", std::string(20, 'b'));
    WriteFileText(tree + "\\.hidden\\c.txt", std::string(30, 'c'));
    ASSERT_TRUE(SetAttributes(tree + "\\a.txt", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetAttributes(tree + "\\sub", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetAttributes(tree + "\\.hidden", FILE_ATTRIBUTE_HIDDEN));
    const std::vector<std::string> before = TreeState(tree);

    FolderPlan plan;
    FindFolderTree(tree, plan);

    EXPECT_EQ(TreeState(tree), before) << "finding touched the tree";
    std::vector<std::string> found;
    for (const PlanStep& step : plan) {
        found.push_back((step.kind == PlanStep::WipeFile ? "wipe " : "remove ") + step.path + " " +
                        std::to_string(step.size));
    }
    // The walk's own order: a folder's entries as its search gives them, each folder after what
    // it holds; the dot folder is left out whole.
    std::vector<std::string> expected = {"wipe " + tree + "\\a.txt 10", "wipe " + tree + "\\sub\\b.txt 20",
                                         "remove " + tree + "\\sub 0", "remove " + tree + " 0"};
    if (found.size() == 4 && found[0] != expected[0]) {
        std::rotate(expected.begin(), expected.begin() + 1, expected.begin() + 3); // sub listed before a.txt
    }
    EXPECT_EQ(found, expected);

    ActOnFolderPlan(plan, "DoD", 3, log_);
    EXPECT_EQ(ErasedFileCount, 2);
    EXPECT_EQ(ReleasedByteCount, 30);
    EXPECT_FALSE(FileExists(tree + "\\a.txt"));
    EXPECT_FALSE(FolderExists(tree + "\\sub"));
    EXPECT_EQ(ReadFileText(tree + "\\.hidden\\c.txt"), std::string(30, 'c'));
    EXPECT_EQ(GetAttributes(tree + "\\.hidden") & FILE_ATTRIBUTE_HIDDEN, DWORD(FILE_ATTRIBUTE_HIDDEN))
        << "what the walk passes by keeps its attributes";
    EXPECT_TRUE(FolderExists(tree)) << "a folder that still holds something stays";
}

TEST(FormatByteSize, FollowsTheSizeTable) {
    const struct {
        int64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0 Byte"},
        {1, "1 Byte"},
        {2, "2 Bytes"},
        {-5, "-5 Bytes"},
        {1023, "1023 Bytes"},
        {1024, "1.00 KB"},
        {1536, "1.50 KB"},
        {1048575, "1024.00 KB"},
        {1048576, "1.00 MB"},
        {3002010, "2.86 MB"},
        {1073741823, "1024.00 MB"},
        {1073741824, "1.00 GB"},
        {5368709120, "5.00 GB"},
        {3000000000000, "2793.97 GB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatByteSize(c.bytes), c.text) << c.bytes;
    }
}

TEST(FormatByteSize, RoundsAnExactHalfUpInEveryUnit) {
    const struct {
        int64_t unitBytes;
        const char* unit;
    } units[] = {{1024, " KB"}, {1048576, " MB"}, {1073741824, " GB"}};
    for (const auto& u : units) {
        const int64_t eighth = u.unitBytes / 8;
        // 1.125, 1.375, 1.625 and 1.875 units are exact halves at the third decimal.
        EXPECT_EQ(FormatByteSize(u.unitBytes + eighth), std::string("1.13") + u.unit);
        EXPECT_EQ(FormatByteSize(u.unitBytes + eighth - 1), std::string("1.12") + u.unit);
        EXPECT_EQ(FormatByteSize(u.unitBytes + 3 * eighth), std::string("1.38") + u.unit);
        EXPECT_EQ(FormatByteSize(u.unitBytes + 5 * eighth), std::string("1.63") + u.unit);
        EXPECT_EQ(FormatByteSize(u.unitBytes + 5 * eighth - 1), std::string("1.62") + u.unit);
        EXPECT_EQ(FormatByteSize(u.unitBytes + 7 * eighth), std::string("1.88") + u.unit);
        // Just below the next whole unit rounds up to it.
        EXPECT_EQ(FormatByteSize(2 * u.unitBytes - 1), std::string("2.00") + u.unit);
    }
    EXPECT_EQ(FormatByteSize(1152), "1.13 KB");
    EXPECT_EQ(FormatByteSize(1179648), "1.13 MB");
}

TEST(ResultLines, UseTheProgramsWording) {
    EXPECT_EQ(RegistryResultLine(0), "0 registry entry was erased.");
    EXPECT_EQ(RegistryResultLine(1), "1 registry entry was erased.");
    EXPECT_EQ(RegistryResultLine(2), "2 registry entries were erased.");
    EXPECT_EQ(RunSummaryLine(1, 1, 1), "1 registry entries were erased. 1 files were erased, 1 Byte hard disk space "
                                       "was released.");
    ErasedFileCount = 4;
    ReleasedByteCount = 2048;
    EXPECT_EQ(FileResultLine(), "4 files were erased, 2.00 KB hard disk space was released.");
    ResetItemCounters();
    EXPECT_EQ(std::string(kPlaceholderLine), "0 file was erased.");
}

} // namespace
