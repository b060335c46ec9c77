// The index.dat item: which folders each Windows family walks, the in-place zeroing walk, and the
// real index files of WinINet, mapped by the very process that zeroes them.
#include "engine/FolderWipe.h"
#include "engine/InternetExplorer.h"
#include "engine/RunState.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "platform/UrlCache.h"
#include "support/ChildProcess.h"
#include "support/RecordingLog.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <wininet.h>

namespace {

class IndexDatTest : public ::testing::Test {
protected:
    void SetUp() override {
        StopRequested = false;
        ResetItemCounters();
        TotalErasedFileCount = 0;
        TotalReleasedByteCount = 0;
        log_.AppendLine(kPlaceholderLine);
    }

    // Writes folder\index.dat with the given first byte and size (the folder's parent exists).
    std::string WriteIndex(const std::string& relativeFolder, char firstByte, size_t size) {
        CreateFolder(folder_ / relativeFolder);
        std::string content(size, 'd');
        content[0] = firstByte;
        WriteFileText(folder_ / relativeFolder + "\\index.dat", content);
        return folder_ / relativeFolder + "\\index.dat";
    }

    static bool AllZero(const std::string& path, size_t size) { return ReadFileText(path) == std::string(size, '\0'); }

    ScratchFolder folder_;
    RecordingLog log_;
};

TEST(IndexDatFolders, FollowTheWindowsFamily) {
    using Folders = std::vector<std::string>;
    const struct {
        const char* family;
        const char* cache;
        const char* history;
        Folders expected;
    } cases[] = {
        {"NewWinNT", "C:\\C", "C:\\H", {"C:\\C\\Content.IE5", "C:\\H\\History.IE5"}},
        {"Win9x", "C:\\C", "C:\\H", {"C:\\C\\", "C:\\H\\"}},
        {"OldWinNt", "C:\\C", "C:\\H", {}},
        {"", "C:\\C", "C:\\H", {}},
        {"NewWinNT", "", "C:\\H", {"C:\\H\\History.IE5"}},
        {"Win9x", "C:\\C", "", {"C:\\C\\"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IndexDatFolders(c.family, c.cache, c.history), c.expected) << "[" << c.family << "]";
    }
}

TEST_F(IndexDatTest, ZeroesEveryIndexInPlaceAndPassesDotFoldersBy) {
    const std::string top = WriteIndex("ie", 'T', 1000);
    const std::string middle = WriteIndex("ie\\sub", 'M', 3000);
    const std::string deep = WriteIndex("ie\\sub\\deeper", 'D', 70000);
    const std::string dotted = WriteIndex("ie\\.hidden", 'H', 10);
    WriteFileText(folder_ / "ie\\sub\\other.dat", "other");

    WipeIndexDatTree(folder_ / "ie", log_);

    EXPECT_TRUE(AllZero(top, 1000));
    EXPECT_TRUE(AllZero(middle, 3000));
    EXPECT_TRUE(AllZero(deep, 70000));
    EXPECT_EQ(ReadFileText(dotted), "H" + std::string(9, 'd'));
    EXPECT_EQ(ReadFileText(folder_ / "ie\\sub\\other.dat"), "other");
    EXPECT_EQ(ErasedFileCount, 3);
    EXPECT_EQ(ReleasedByteCount, 74000);
    EXPECT_EQ(log_.lines, (std::vector<std::string>{"3 files were erased, 72.27 KB hard disk space was released."}));
    EXPECT_EQ(log_.history.size(), 4u);
}

TEST_F(IndexDatTest, AnIndexAlreadyStartingWithZeroEndsTheWalkOfItsFolder) {
    CreateFolder(folder_ / "ie");
    const std::string clean = WriteIndex("ie\\a", '\0', 500);
    const std::string below = WriteIndex("ie\\a\\sub", 'S', 500);
    const std::string sibling = WriteIndex("ie\\b", 'B', 200);

    WipeIndexDatTree(folder_ / "ie\\", log_);

    EXPECT_EQ(ReadFileText(clean), std::string(1, '\0') + std::string(499, 'd'));
    EXPECT_EQ(ReadFileText(below), "S" + std::string(499, 'd'));
    EXPECT_TRUE(AllZero(sibling, 200));
    EXPECT_EQ(ErasedFileCount, 1);
    EXPECT_EQ(ReleasedByteCount, 200);
}

// WinINet keeps both index files mapped in the process that used it; zeroing them under it must
// leave that process able to walk and change the cache.
TEST_F(IndexDatTest, ZeroesTheIndexFilesThisProcessHasMappedAndTheCacheStillWorks) {
    char file[MAX_PATH] = {};
    ASSERT_TRUE(CreateUrlCacheEntryA("http://qv.test/before.htm", 0, "htm", file, 0));
    WriteFileText(file, "before");
    FILETIME never{};
    ASSERT_TRUE(CommitUrlCacheEntryA("http://qv.test/before.htm", file, never, never, NORMAL_CACHE_ENTRY, nullptr, 0,
                                     nullptr, nullptr));
    const std::string cacheIndex = SpecialFolderPath(CSIDL_INTERNET_CACHE) + "\\Content.IE5\\index.dat";
    const std::string historyIndex = SpecialFolderPath(CSIDL_HISTORY) + "\\History.IE5\\index.dat";
    const auto cacheSize = FileSizeByOpening(cacheIndex);
    const auto historySize = FileSizeByOpening(historyIndex);
    ASSERT_TRUE(cacheSize && historySize);
    TotalErasedFileCount = 10;

    EraseIEIndexDat(log_);

    EXPECT_TRUE(AllZero(cacheIndex, static_cast<size_t>(*cacheSize)));
    EXPECT_TRUE(AllZero(historyIndex, static_cast<size_t>(*historySize)));
    EXPECT_EQ(ErasedFileCount, 2);
    EXPECT_EQ(ReleasedByteCount, *cacheSize + *historySize);
    EXPECT_EQ(TotalErasedFileCount, 12);
    EXPECT_EQ(TotalReleasedByteCount, ReleasedByteCount);
    EXPECT_EQ(log_.lines, (std::vector<std::string>{FileResultLine()}));

    // The same process goes on using the cache: walk it, add to it, delete from it.
    int walked = 0;
    EXPECT_EQ(WalkUrlCache([&walked](const UrlCacheEntry&) { return ++walked < 1000; }), UrlCacheWalkEnd::Finished);
    ASSERT_TRUE(CreateUrlCacheEntryA("http://qv.test/after.htm", 0, "htm", file, 0));
    WriteFileText(file, "after");
    ASSERT_TRUE(CommitUrlCacheEntryA("http://qv.test/after.htm", file, never, never, NORMAL_CACHE_ENTRY, nullptr, 0,
                                     nullptr, nullptr));
    bool found = false;
    WalkUrlCache([&found](const UrlCacheEntry& entry) {
        found = found || entry.sourceUrl == "http://qv.test/after.htm";
        return true;
    });
    EXPECT_TRUE(found);
    EXPECT_TRUE(DeleteUrlCacheEntryA("http://qv.test/after.htm"));
    EXPECT_FALSE(FileExists(file));
}

// The item as a process that Wine shows another Windows version runs it.
std::string RunIndexDatItemAs(const char* wineVersion) {
    const std::string appKey = "Software\\Wine\\AppDefaults\\QvTestHelper.exe";
    {
        RegKey key = CreateRegKey(HKEY_CURRENT_USER, appKey);
        EXPECT_TRUE(key && SetRegString(key.get(), "Version", wineVersion));
    }
    std::string output = RunAndCapture("\"" + TestProgramFolder() + "QvTestHelper.exe\" index-dat");
    DeleteRegTree(HKEY_CURRENT_USER, appKey);
    return output;
}

TEST(EraseIEIndexDat, OnOldWinNtChangesNothingAndLeavesThePlaceholder) {
    WalkUrlCache([](const UrlCacheEntry&) { return true; }); // the cache's index is in use and whole
    const std::string cacheIndex = SpecialFolderPath(CSIDL_INTERNET_CACHE) + "\\Content.IE5\\index.dat";
    std::string before = ReadFileText(cacheIndex);
    ASSERT_FALSE(before.empty());
    ASSERT_NE(before[0], '\0');

    EXPECT_EQ(RunIndexDatItemAs("nt40"), "+0 file was erased.\r\nfiles=0 bytes=0\r\n");
    EXPECT_NE(ReadFileText(cacheIndex)[0], '\0');
}

} // namespace
