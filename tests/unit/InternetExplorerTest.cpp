// The zero pass, the temporary Internet files and cookie items against WinINet's real URL cache,
// and the history item's use of COM.
#include "engine/FolderWipe.h"
#include "engine/InternetExplorer.h"
#include "engine/RunState.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "platform/UrlCache.h"
#include "platform/UrlHistory.h"
#include "store/OptionNames.h"
#include "store/OptionTexts.h"
#include "support/RecordingLog.h"
#include "support/Scratch.h"
#include "support/TestWindow.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <wininet.h>

#include <map>
#include <thread>

namespace {

void ResetRunState() {
    StopRequested = false;
    ResetItemCounters();
    TotalErasedFileCount = 0;
    TotalReleasedByteCount = 0;
    TotalErasedRegistryCount = 0;
}

// Commits an entry with the given content to the URL cache, as a browser would; returns its file.
std::string AddCacheEntry(const std::string& url, DWORD type, const std::string& content) {
    char file[MAX_PATH] = {};
    if (!CreateUrlCacheEntryA(url.c_str(), 0, "txt", file, 0)) {
        ADD_FAILURE() << "cannot create a cache entry for " << url << ": error " << GetLastError();
        return {};
    }
    WriteFileText(file, content);
    FILETIME never{};
    if (!CommitUrlCacheEntryA(url.c_str(), file, never, never, type, nullptr, 0, nullptr, nullptr)) {
        ADD_FAILURE() << "cannot commit " << url << ": error " << GetLastError();
    }
    return file;
}

std::map<std::string, UrlCacheEntry> CacheContents() {
    std::map<std::string, UrlCacheEntry> entries;
    EXPECT_EQ(WalkUrlCache([&entries](const UrlCacheEntry& entry) {
                  entries[entry.sourceUrl] = entry;
                  return true;
              }),
              UrlCacheWalkEnd::Finished);
    return entries;
}

void EmptyUrlCache() {
    WalkUrlCache([](const UrlCacheEntry& entry) {
        DeleteUrlCacheEntryOf(entry);
        return true;
    });
    ASSERT_TRUE(CacheContents().empty());
}

// A second name for a file: it shows what happens to the file after the cache let go of its name.
std::string LinkTo(const std::string& file, const std::string& link) {
    EXPECT_TRUE(CreateHardLinkW(Widen(link).c_str(), Widen(file).c_str(), nullptr)) << GetLastError();
    return link;
}

// A window whose message sets StopRequested, as a click on Stop does while the run lets messages run.
class StopButton {
public:
    StopButton() {
        window_ = CreateTestWindow(L"QvTestStopButton", Proc, 0, 0, HWND_MESSAGE);
        EXPECT_TRUE(window_);
    }
    ~StopButton() { DestroyWindow(window_); }
    void Click() { PostMessageW(window_, WM_APP, 0, 0); }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_APP) {
            StopRequested = true;
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    HWND window_ = nullptr;
};

class UrlCacheItemTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetRunState();
        EmptyUrlCache();
    }
    void TearDown() override {
        ResetRunState();
        EmptyUrlCache();
    }

    ScratchFolder folder_;
    RecordingLog log_;
};

// Another program holding a file without sharing it keeps it from being opened for writing.
FileHandle HoldWithoutSharing(const std::string& path) {
    FileHandle file(
        CreateFileW(WidePath(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(file) << path;
    return file;
}

TEST(ZeroAndTruncateFile, EmptiesTheFileButKeepsItAndItsAttributesUnlessStoppedOrHeld) {
    const struct {
        const char* name;
        DWORD attributes;
        bool stopped;
        bool held;
        size_t sizeAfter;
    } cases[] = {
        {"plain", FILE_ATTRIBUTE_ARCHIVE, false, false, 0},
        {"hidden system", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, false, false, 0},
        {"stopped run", FILE_ATTRIBUTE_ARCHIVE, true, false, 5000},
        {"held open without sharing", FILE_ATTRIBUTE_ARCHIVE, false, true, 5000},
    };
    for (const auto& c : cases) {
        ScratchFolder folder;
        const std::string file = folder / "cached.htm";
        WriteFileText(file, std::string(5000, 'c'));
        ASSERT_TRUE(SetAttributes(file, c.attributes));
        StopRequested = c.stopped;
        FileHandle holder = c.held ? HoldWithoutSharing(file) : FileHandle();

        ZeroAndTruncateFile(file);

        holder.reset();
        StopRequested = false;
        EXPECT_TRUE(FileExists(file)) << c.name;
        // Writing marks a file for archiving; nothing else about its attributes changes.
        EXPECT_EQ(GetAttributes(file) & ~FILE_ATTRIBUTE_ARCHIVE, c.attributes & ~FILE_ATTRIBUTE_ARCHIVE) << c.name;
        EXPECT_EQ(ReadFileText(file), std::string(c.sizeAfter, 'c')) << c.name;
    }
}

TEST_F(UrlCacheItemTest, CacheItemZeroesAndRemovesEveryEntryButCookiesAndAddsItsCountsToTheTotals) {
    const std::string page = AddCacheEntry("http://qv.test/page.htm", NORMAL_CACHE_ENTRY, std::string(100, 'p'));
    const std::string image = AddCacheEntry("http://qv.test/image.png", NORMAL_CACHE_ENTRY, std::string(2000, 'i'));
    const std::string cookie = AddCacheEntry("Cookie:user@qv.test/", COOKIE_CACHE_ENTRY, std::string(30, 'k'));
    const std::string pageLink = LinkTo(page, folder_ / "page-link");
    TotalErasedFileCount = 5;
    TotalReleasedByteCount = 500;

    EraseIECache(log_);

    EXPECT_EQ(ErasedFileCount, 2);
    EXPECT_EQ(ReleasedByteCount, 2100);
    EXPECT_EQ(TotalErasedFileCount, 7);
    EXPECT_EQ(TotalReleasedByteCount, 2600);
    EXPECT_EQ(log_.lines, (std::vector<std::string>{"2 files were erased, 2.05 KB hard disk space was released."}));
    ASSERT_EQ(log_.history.size(), 3u);
    EXPECT_EQ(log_.history[0], "+0 file was erased.");
    EXPECT_EQ(log_.history[1].rfind("=1 files were erased, ", 0), 0u);

    const auto left = CacheContents();
    EXPECT_EQ(left.size(), 1u);
    EXPECT_EQ(left.count("Cookie:user@qv.test/"), 1u);
    EXPECT_FALSE(FileExists(page));
    EXPECT_FALSE(FileExists(image));
    EXPECT_EQ(ReadFileText(cookie), std::string(30, 'k'));
    EXPECT_EQ(ReadFileText(pageLink), ""); // zeroed and truncated before the cache deleted it
}

// WinINet deletes an entry's file only while its write time is the one it recorded at the commit;
// the zero pass, a while after the commit, changes it, and the file must go all the same.
TEST_F(UrlCacheItemTest, AnEntrysFileWrittenSinceItWasCommittedGoesWithTheEntry) {
    const char* url = "http://qv.test/old.htm";
    char page[MAX_PATH] = {};
    ASSERT_TRUE(CreateUrlCacheEntryA(url, 0, "htm", page, 0));
    WriteFileText(page, std::string(700, 'o'));
    {
        FileHandle file(CreateFileW(WidePath(page).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file);
        FILETIME written;
        GetSystemTimeAsFileTime(&written);
        ULARGE_INTEGER earlier{{written.dwLowDateTime, written.dwHighDateTime}};
        earlier.QuadPart -= 3600ULL * 10000000ULL; // a page cached an hour ago
        written = {earlier.LowPart, earlier.HighPart};
        ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &written));
    }
    FILETIME never{};
    ASSERT_TRUE(CommitUrlCacheEntryA(url, page, never, never, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr));

    EraseIECache(log_);

    EXPECT_FALSE(FileExists(page));
    EXPECT_TRUE(CacheContents().empty());
    EXPECT_EQ(ErasedFileCount, 1);
    EXPECT_EQ(ReleasedByteCount, 700);
}

TEST_F(UrlCacheItemTest, StopDuringTheCacheItemEndsTheWalkAndLeavesItsCountsOutOfTheTotals) {
    for (int i = 0; i < 4; ++i) {
        AddCacheEntry("http://qv.test/" + std::to_string(i) + ".htm", NORMAL_CACHE_ENTRY, std::string(1000, 'x'));
    }
    StopButton stop;
    stop.Click(); // seen at the first entry, before its zero pass

    EraseIECache(log_);

    EXPECT_TRUE(StopRequested);
    EXPECT_EQ(ErasedFileCount, 1);
    EXPECT_EQ(ReleasedByteCount, 1000);
    EXPECT_EQ(TotalErasedFileCount, 0);
    EXPECT_EQ(TotalReleasedByteCount, 0);
    EXPECT_EQ(log_.lines, (std::vector<std::string>{"1 files were erased, 1000 Bytes hard disk space was released."}));
    EXPECT_EQ(CacheContents().size(), 3u);
}

TEST_F(UrlCacheItemTest, CookieItemErasesCookiesWhoseFileNameIsNotExactlyOnTheKeepList) {
    struct Cookie {
        std::string url;
        std::string file;
        size_t size;
    };
    const struct {
        const char* name;
        bool keepSecond;     // the second cookie's file name, exactly
        bool keepThirdCased; // the third cookie's file name in other letter case
        size_t erased;
        int64_t bytes;
    } cases[] = {
        {"empty keep list", false, false, 3, 10 + 20 + 40},
        {"exact and case-changed names", true, true, 2, 10 + 40},
    };
    for (const auto& c : cases) {
        ResetRunState();
        EmptyUrlCache();
        const std::string page = AddCacheEntry("http://qv.test/keep.htm", NORMAL_CACHE_ENTRY, "page");
        std::vector<Cookie> cookies = {
            {"Cookie:one@qv.test/", "", 10}, {"Cookie:two@qv.test/", "", 20}, {"Cookie:three@qv.test/", "", 40}};
        for (Cookie& cookie : cookies) {
            cookie.file = AddCacheEntry(cookie.url, COOKIE_CACHE_ENTRY, std::string(cookie.size, 'k'));
        }
        std::vector<std::string> keep = {"unrelated.txt"};
        if (c.keepSecond) {
            keep.push_back(NameOf(cookies[1].file));
        }
        if (c.keepThirdCased) {
            keep.push_back(AsciiLower(NameOf(cookies[2].file)));
            ASSERT_NE(keep.back(), NameOf(cookies[2].file));
        }
        ScratchFolder folder;
        OptionsStore options(folder / "Options.ini");
        WriteKeepList(options, kSectionIECookies, c.keepSecond ? keep : std::vector<std::string>{});
        RecordingLog log;
        TotalErasedFileCount = 1;

        EraseIECookies(options.Path(), log);

        EXPECT_EQ(ErasedFileCount, static_cast<int64_t>(c.erased)) << c.name;
        EXPECT_EQ(ReleasedByteCount, c.bytes) << c.name;
        EXPECT_EQ(TotalErasedFileCount, 1 + static_cast<int64_t>(c.erased)) << c.name;
        EXPECT_EQ(log.lines.size(), 1u) << c.name;
        EXPECT_EQ(log.history.size(), 1 + c.erased) << c.name;
        const auto left = CacheContents();
        EXPECT_EQ(left.count("http://qv.test/keep.htm"), 1u) << c.name;
        EXPECT_EQ(ReadFileText(page), "page") << c.name;
        EXPECT_EQ(left.count(cookies[0].url), 0u) << c.name;
        EXPECT_EQ(left.count(cookies[1].url), c.keepSecond ? 1u : 0u) << c.name;
        EXPECT_EQ(left.count(cookies[2].url), 0u) << c.name;
        if (c.keepSecond) {
            EXPECT_EQ(ReadFileText(cookies[1].file), std::string(20, 'k')) << "a kept cookie is not zeroed";
        }
    }
}

TEST(EraseIEHistory, ReachesTheHistoryObjectAndLeavesEachThreadsComModelAsItWas) {
    const struct {
        const char* name;
        bool initialise;
        DWORD model;
    } cases[] = {
        {"no COM yet", false, 0},
        {"single-threaded apartment", true, COINIT_APARTMENTTHREADED},
        {"multithreaded", true, COINIT_MULTITHREADED},
    };
    for (const auto& c : cases) {
        HRESULT cleared = E_UNEXPECTED;
        HRESULT afterwards = E_UNEXPECTED;
        std::thread thread([&] {
            if (c.initialise) {
                CoInitializeEx(nullptr, c.model);
            }
            cleared = ClearUrlHistory();
            EraseIEHistory();
            afterwards = CoInitializeEx(nullptr, c.initialise ? c.model : DWORD{COINIT_MULTITHREADED});
            CoUninitialize();
            if (c.initialise) {
                CoUninitialize();
            }
        });
        thread.join();
        // Wine's history object answers E_NOTIMPL; what matters is that the object was reached.
        EXPECT_TRUE(cleared == S_OK || cleared == E_NOTIMPL) << c.name << ": 0x" << std::hex << cleared;
        // S_OK: nothing was left initialised; S_FALSE: the thread's own model is still in place.
        EXPECT_EQ(afterwards, c.initialise ? S_FALSE : S_OK) << c.name;
    }
}

} // namespace
