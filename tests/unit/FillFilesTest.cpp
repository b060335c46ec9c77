// The drive washer's fill files against real files: names, counts, progress, the writing of one
// file in blocks, and the deletion of fill files however a wash ended.
#include "platform/Files.h"
#include "support/Scratch.h"
#include "support/TestDrives.h"
#include "tools/FillFiles.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace {

TEST(FillFileRules, NamesAreNumberedInTheRoot) {
    EXPECT_EQ(FillFilePath("Q:\\", 1), "Q:\\TmpErase.file1");
    EXPECT_EQ(FillFilePath("C:\\scratch", 12), "C:\\scratch\\TmpErase.file12");
    const std::pair<const char*, bool> names[] = {
        {"TmpErase.file1", true},   {"TmpErase.file1024", true},   {"tmperase.FILE7", true},
        {"TmpErase.file", false},   {"TmpErase.file1.bak", false}, {"TmpErase.filex", false},
        {"TmpErase.file-1", false}, {"XTmpErase.file1", false},    {"", false},
    };
    for (const auto& [name, isFillFile] : names) {
        EXPECT_EQ(IsFillFileName(name), isFillFile) << name;
    }
}

TEST(FillFileRules, ADriveGetsOneFileMoreThanWholeFilesFit) {
    const std::pair<int64_t, int> cases[] = {
        {0, 1}, {1, 1}, {524287999, 1}, {524288000, 2}, {1000000000, 2}, {1048576000, 3}, {int64_t{5} << 30, 11},
    };
    for (const auto& [freeBytes, count] : cases) {
        EXPECT_EQ(FillFileCount(freeBytes), count) << freeBytes;
    }
}

TEST(FillFileRules, TheBarStaysBelowOneHundredWhileWriting) {
    struct Case {
        int64_t written, freeAtStart;
        int percent;
    };
    const Case cases[] = {
        {0, 1000, 0},
        {9, 1000, 0},
        {500, 1000, 50},
        {999, 1000, 99},
        {1000, 1000, 99},
        {5000, 1000, 99},
        {0, 0, 0},
        {512000, 0, 99},
        {int64_t{3} << 32, int64_t{6} << 32, 50}, // beyond 4 GiB the percentage still rises steadily
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FillProgressPercent(c.written, c.freeAtStart), c.percent) << c.written << " of " << c.freeAtStart;
    }
}

class FillFileTest : public ::testing::Test {
protected:
    ScratchFolder folder_;
};

TEST_F(FillFileTest, StopAfterABlockEndsTheFileAfterThatBlockWithRandomBytes) {
    bool stop = false;
    std::vector<std::pair<int64_t, int>> blocks;
    FillControl control;
    control.stopFlag = &stop;
    control.afterBlock = [&](int64_t bytes, int number) {
        blocks.emplace_back(bytes, number);
        stop = blocks.size() == 3;
    };
    EXPECT_EQ(WriteFillFile(folder_.Path(), 1, control), 3 * kFillBlockSize);
    EXPECT_EQ(blocks,
              (std::vector<std::pair<int64_t, int>>{{kFillBlockSize, 1}, {kFillBlockSize, 2}, {kFillBlockSize, 3}}));
    std::string content = ReadFileText(folder_ / "TmpErase.file1");
    ASSERT_EQ(content.size(), 3u * kFillBlockSize);
    std::set<char> values(content.begin(), content.begin() + kFillBlockSize);
    EXPECT_EQ(values.size(), 256u) << "the block holds random bytes, not zeros or a pattern";
}

TEST_F(FillFileTest, EachFileGetsOtherBytes) {
    bool stop = true; // one block each
    FillControl control;
    control.stopFlag = &stop;
    WriteFillFile(folder_.Path(), 1, control);
    WriteFillFile(folder_.Path(), 2, control);
    EXPECT_NE(ReadFileText(folder_ / "TmpErase.file1"), ReadFileText(folder_ / "TmpErase.file2"));
}

TEST_F(FillFileTest, AnExistingFileIsTruncatedFirst) {
    WriteFileText(folder_ / "TmpErase.file4", std::string(3 * kFillBlockSize, 'x'));
    bool stop = true;
    FillControl control;
    control.stopFlag = &stop;
    EXPECT_EQ(WriteFillFile(folder_.Path(), 4, control), kFillBlockSize);
    EXPECT_EQ(ReadFileText(folder_ / "TmpErase.file4").size(), static_cast<size_t>(kFillBlockSize));
}

TEST_F(FillFileTest, AFileThatCannotBeCreatedGetsNothing) {
    int calls = 0;
    FillControl control;
    control.afterBlock = [&](int64_t, int) { ++calls; };
    EXPECT_EQ(WriteFillFile(folder_ / "no-such-folder", 1, control), 0);
    EXPECT_EQ(calls, 0);
}

TEST_F(FillFileTest, AFullDriveEndsTheFileWithAShortBlockAtTheDrivesEnd) {
    std::string missing = WritableTestDriveMissing();
    if (!missing.empty()) {
        GTEST_SKIP() << missing;
    }
    int64_t freeAtStart = TestDriveFreeBytes(kWritableTestDrive);
    std::vector<int64_t> blocks;
    FillControl control;
    control.afterBlock = [&](int64_t bytes, int) { blocks.push_back(bytes); };
    int64_t written = WriteFillFile("Q:\\", 1, control);
    EXPECT_EQ(TestDriveFreeBytes(kWritableTestDrive), 0);
    EXPECT_GE(written, freeAtStart - 4096); // tmpfs keeps a page for the file's own record at most
    ASSERT_FALSE(blocks.empty());
    EXPECT_LT(blocks.back(), kFillBlockSize);
    // The next file of the same drive fails at once; both are deleted afterwards.
    EXPECT_EQ(WriteFillFile("Q:\\", 2, control), 0);
    DeleteFillFiles("Q:\\", 2);
    EXPECT_FALSE(FileExists("Q:\\TmpErase.file1"));
    EXPECT_FALSE(FileExists("Q:\\TmpErase.file2"));
    EXPECT_EQ(TestDriveFreeBytes(kWritableTestDrive), freeAtStart);
}

TEST_F(FillFileTest, DeletingRemovesNumbersOneToCountOnly) {
    for (int number = 1; number <= 4; ++number) {
        WriteFileText(FillFilePath(folder_.Path(), number), "fill");
    }
    DeleteFillFiles(folder_.Path(), 3);
    for (int number = 1; number <= 3; ++number) {
        EXPECT_FALSE(FileExists(FillFilePath(folder_.Path(), number))) << number;
    }
    EXPECT_TRUE(FileExists(FillFilePath(folder_.Path(), 4)));
}

TEST_F(FillFileTest, TheSetDeletesItsFilesAlsoWhenTheWashThrows) {
    try {
        FillFileSet files(folder_.Path(), 2);
        WriteFileText(FillFilePath(folder_.Path(), 1), "fill");
        WriteFileText(FillFilePath(folder_.Path(), 2), "fill");
        throw std::runtime_error("a write failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(ListFolder(folder_ / "*").empty());
}

// File 1 cannot be made (a folder holds its name), so the wash goes on with file 2; a stop after
// its first block leaves file 3 unwritten, and what was written is deleted.
TEST_F(FillFileTest, AWashGoesPastAFailedFileStopsWhenAskedAndDeletesWhatItWrote) {
    ASSERT_TRUE(CreateFolder(folder_ / "TmpErase.file1"));
    bool stop = false;
    std::vector<std::string> writing;
    FillControl control;
    control.stopFlag = &stop;
    control.afterBlock = [&](int64_t, int) {
        for (int number = 1; number <= 3; ++number) {
            if (FileExists(FillFilePath(folder_.Path(), number))) {
                writing.push_back(FillFilePath(folder_.Path(), number));
            }
        }
        stop = true;
    };
    FillAndDeleteFillFiles(folder_.Path(), 3, control);
    EXPECT_EQ(writing, std::vector<std::string>{FillFilePath(folder_.Path(), 2)});
    std::vector<std::string> left;
    for (const auto& entry : ListFolder(folder_ / "*")) {
        left.push_back(entry.name);
    }
    EXPECT_EQ(left, std::vector<std::string>{"TmpErase.file1"}) << "only the folder in file 1's place is left";
}

TEST_F(FillFileTest, LeftoversOfAnyNumberAreRemovedAndNothingElse) {
    for (const char* name : {"TmpErase.file1", "TmpErase.file17", "tmperase.FILE3"}) {
        WriteFileText(folder_ / name, "left over");
    }
    WriteFileText(folder_ / "TmpErase.file2.txt", "a user's file");
    WriteFileText(folder_ / "TmpErase.files", "a user's file");
    ASSERT_TRUE(CreateFolder(folder_ / "TmpErase.file5"));
    EXPECT_EQ(RemoveLeftoverFillFiles(folder_.Path()), 3);
    std::set<std::string> left;
    for (const auto& entry : ListFolder(folder_ / "*")) {
        left.insert(entry.name);
    }
    EXPECT_EQ(left, (std::set<std::string>{"TmpErase.file2.txt", "TmpErase.files", "TmpErase.file5"}));
}

} // namespace
