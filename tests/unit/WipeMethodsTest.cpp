// The wipe methods against real files: every pass's bytes, the finishing step, stops, refusals.
#include "engine/WipeMethods.h"
#include "platform/Files.h"
#include "platform/Handle.h"
#include "platform/Text.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <iterator>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// The random stream as it must be: seed := seed * 134775813 + 1, byte = top eight bits.
std::vector<uint8_t> ExpectedRandom(uint32_t& seed, size_t count) {
    std::vector<uint8_t> bytes(count);
    for (auto& b : bytes) {
        seed = seed * 0x08088405u + 1u;
        b = static_cast<uint8_t>(seed >> 24);
    }
    return bytes;
}

std::vector<uint8_t> Repeat(const std::vector<uint8_t>& pattern, size_t count) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = pattern[i % pattern.size()];
    }
    return bytes;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::string text = ReadFileText(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

// Expected content of each pass; "random" passes are filled from the seed as it stood.
using PassSpec = std::vector<uint8_t>; // empty: random
const PassSpec R = {};

std::vector<PassSpec> GutmannTable() {
    std::vector<PassSpec> t = {R, R, R, R, {0x55}, {0xAA}, {0x92, 0x49, 0x24}, {0x49, 0x24, 0x92}, {0x24, 0x92, 0x49}};
    for (int b = 0; b <= 0xFF; b += 0x11) {
        t.push_back({static_cast<uint8_t>(b)});
    }
    for (PassSpec p : std::vector<PassSpec>{{0x92, 0x49, 0x24},
                                            {0x49, 0x24, 0x92},
                                            {0x24, 0x92, 0x49},
                                            {0x6D, 0xB6, 0xDB},
                                            {0xB6, 0xDB, 0x6D},
                                            {0xDB, 0x6D, 0xB6}}) {
        t.push_back(p);
    }
    t.insert(t.end(), {R, R, R, R});
    return t;
}

struct MethodCase {
    const char* method;
    std::vector<PassSpec> passes;
};

class WipeMethodsTest : public ::testing::Test {
protected:
    void TearDown() override { StopRequested = false; }

    // Wipes a file of the given length with the method and checks the file after every pass.
    void CheckPasses(const MethodCase& c, size_t length) {
        std::string path = folder_ / "victim.bin";
        WriteFileText(path, std::string(length, 'Q'));
        uint32_t seed = WipeRandomSeed;
        std::vector<int> seen;
        WipeControl control;
        control.afterPass = [&](int pass) {
            seen.push_back(pass);
            const PassSpec& spec = c.passes[static_cast<size_t>(pass - 1)];
            std::vector<uint8_t> expected = spec.empty() ? ExpectedRandom(seed, length) : Repeat(spec, length);
            std::vector<uint8_t> actual = ReadBytes(path);
            ASSERT_EQ(actual.size(), length) << c.method << " pass " << pass;
            EXPECT_TRUE(actual == expected) << c.method << " pass " << pass << " of a " << length << "-byte file";
        };
        WipeFileByMethod(path, c.method, 2, control);
        EXPECT_EQ(seen.size(), c.passes.size()) << c.method;
        EXPECT_FALSE(FileExists(path)) << c.method;
        EXPECT_TRUE(ListFolder(folder_ / "*").empty()) << c.method << ": something was left in the folder";
        EXPECT_EQ(WipeRandomSeed, seed) << c.method << ": the random stream must run on exactly";
    }

    ScratchFolder folder_;
};

TEST_F(WipeMethodsTest, EachMethodWritesItsPassesByteForByte) {
    const MethodCase cases[] = {
        {"DoD", {{0x55}, {0xAA}, R}},
        {"NSA", {{0x00}, {0xFF}, {0x00}, {0xFF}, {0x00}, {0xFF}, R}},
        {"Gutmann", GutmannTable()},
        {"Random", {R, R}},
    };
    for (const auto& c : cases) {
        CheckPasses(c, 4099);
    }
}

TEST_F(WipeMethodsTest, TripletPassesStayInPhaseAcrossBlocksAndAreCutAtTheLength) {
    // One byte over two write blocks, so the pattern must carry on across block boundaries.
    CheckPasses({"Gutmann", GutmannTable()}, 2 * 768 * 1024 + 1);
    for (size_t length : {0u, 1u, 2u, 3u, 4u}) {
        CheckPasses({"Gutmann", GutmannTable()}, length);
    }
}

TEST_F(WipeMethodsTest, AnyOtherMethodTextIsTheRandomMethod) {
    for (const char* method : {"dod", "", "Random", "NSA ", "gutmann", "Unknown"}) {
        CheckPasses({method, {R, R}}, 100);
    }
}

TEST_F(WipeMethodsTest, TheRandomStreamStartsAtZeroWithTheProgram) {
    uint32_t saved = WipeRandomSeed;
    WipeRandomSeed = 0; // as at program start
    std::string path = folder_ / "first.bin";
    WriteFileText(path, std::string(8, 'x'));
    std::vector<uint8_t> firstPass;
    WipeControl control;
    control.afterPass = [&](int pass) {
        if (pass == 1) {
            firstPass = ReadBytes(path);
        }
    };
    WipeFileRandom(path, 1, control);
    EXPECT_EQ(firstPass, (std::vector<uint8_t>{0x00, 0x08, 0xDC, 0x33, 0x45, 0xAB, 0x51, 0x29}));
    WipeRandomSeed = saved;
}

// The random source makes many bytes at a time in lanes; the stream must stay the one-step
// generator's, whatever the sizes asked for in turn (below, at and above the lane width, a
// whole write block, odd tails) and with single bytes between them: through the program's own
// choice of instruction set and through each one this processor runs.
TEST(RandomStream, ManyBytesAtATimeEqualTheOneStepGeneratorOverALongStretch) {
    uint32_t saved = WipeRandomSeed;
    std::vector<std::function<void(uint8_t*, size_t)>> fillers{FillRandomBytes};
    int paths = 0;
    for (RandomPath path : {RandomPath::Plain, RandomPath::Sse2, RandomPath::Avx2}) {
        if (RandomPathRuns(path)) {
            fillers.push_back([path](uint8_t* bytes, size_t count) { FillRandomBytesBy(path, bytes, count); });
            ++paths;
        }
    }
    EXPECT_GE(paths, 1) << "the plain path runs everywhere";
    for (size_t filler = 0; filler < fillers.size(); ++filler) {
        for (uint32_t start : {0u, 1u, 0x80000000u, 0xFFFFFFFFu, 0x12345678u}) {
            WipeRandomSeed = start;
            uint32_t seed = start;
            size_t offset = 0;
            for (size_t count : {0u, 1u, 7u, 8u, 15u, 16u, 17u, 31u, 32u, 63u, 64u, 65u, 100003u, 768u * 1024u, 3u,
                                 2u * 768u * 1024u + 5u}) {
                std::vector<uint8_t> expected = ExpectedRandom(seed, count);
                std::vector<uint8_t> actual(count, 0xEE);
                fillers[filler](actual.data(), count);
                ASSERT_TRUE(actual == expected)
                    << "filler " << filler << ": " << count << " bytes at offset " << offset << " from seed " << start;
                offset += count;
                ASSERT_EQ(WipeRandomSeed, seed) << "filler " << filler << " after " << count << " bytes";
                uint8_t single = NextRandomByte();
                ASSERT_EQ(single, ExpectedRandom(seed, 1)[0]) << "single byte after " << count << " bytes";
                ++offset;
            }
        }
    }
    WipeRandomSeed = saved;
}

TEST_F(WipeMethodsTest, RandomWithNoPassesFinishesWithoutOverwriting) {
    for (int32_t passes : {0, -3}) {
        std::string path = folder_ / "none.bin";
        WriteFileText(path, "secret");
        int seen = 0;
        WipeControl control;
        control.afterPass = [&](int) { ++seen; };
        WipeFileRandom(path, passes, control);
        EXPECT_EQ(seen, 0);
        EXPECT_FALSE(FileExists(path));
    }
}

TEST_F(WipeMethodsTest, ReadOnlyHiddenAndSystemFilesAreWipedLikeAnyOther) {
    std::string path = folder_ / "guarded.bin";
    WriteFileText(path, "secret");
    ASSERT_TRUE(SetAttributes(path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    WipeFileDoD(path);
    EXPECT_FALSE(FileExists(path));
}

TEST_F(WipeMethodsTest, AMissingFileIsLeftAloneAndRaisesNothing) {
    EXPECT_NO_THROW(WipeFileGutmann(folder_ / "missing.bin"));
    EXPECT_NO_THROW(WipeFileRandom(folder_ / "missing.bin", 3));
}

TEST_F(WipeMethodsTest, StopDuringGutmannLeavesTheFileOverwrittenSoFarAndWhole) {
    std::string path = folder_ / "stopped.bin";
    WriteFileText(path, std::string(5000, 'Q'));
    int last = 0;
    WipeControl control;
    control.afterPass = [&](int pass) {
        last = pass;
        if (pass == 5) {
            StopRequested = true;
        }
    };
    WipeFileGutmann(path, control);
    EXPECT_EQ(last, 5);
    ASSERT_TRUE(FileExists(path));
    EXPECT_EQ(ReadBytes(path), std::vector<uint8_t>(5000, 0x55));
}

bool stopFromTimer = false;
void CALLBACK SetStopFromTimer(HWND, UINT, UINT_PTR, DWORD) { stopFromTimer = true; }

TEST_F(WipeMethodsTest, AStopArrivingAsAWindowMessageEndsARandomWipeOfTwoBillionPassesWithinAPass) {
    // A small file is one block per pass, so only the pumping between passes lets the timer in.
    std::string path = folder_ / "endless.bin";
    WriteFileText(path, std::string(1000, 'Q'));
    stopFromTimer = false;
    WipeControl control;
    control.stopFlag = &stopFromTimer;
    int passesAfterStop = 0;
    int passes = 0;
    control.afterPass = [&](int) {
        ++passes;
        passesAfterStop += stopFromTimer ? 1 : 0;
    };
    UINT_PTR timer = SetTimer(nullptr, 0, 300, SetStopFromTimer);
    ASSERT_NE(timer, 0u);
    DWORD start = GetTickCount();
    WipeFileByMethod(path, "Random", 0x7fffffff, control);
    DWORD elapsed = GetTickCount() - start;
    KillTimer(nullptr, timer);

    EXPECT_TRUE(stopFromTimer);
    EXPECT_LT(elapsed, 10000u);
    EXPECT_GT(passes, 1);
    EXPECT_EQ(passesAfterStop, 0) << "a pass began after the stop";
    ASSERT_TRUE(FileExists(path)) << "a stopped wipe must not finish the file";
    std::vector<uint8_t> content = ReadBytes(path);
    EXPECT_EQ(content.size(), 1000u);
    EXPECT_NE(content, std::vector<uint8_t>(1000, 'Q'));
}

TEST_F(WipeMethodsTest, TheShreddersOwnStopFlagAndLabelsAreHonoured) {
    std::string path = folder_ / "shred.bin";
    WriteFileText(path, std::string(10, 'Q'));
    bool shredderStop = false;
    std::vector<int> labels;
    WipeControl control;
    control.stopFlag = &shredderStop;
    control.beforePass = [&](int pass) {
        labels.push_back(pass);
        // A label is written before its pass: the file still holds the previous pass then.
        if (pass == 2) {
            EXPECT_EQ(ReadBytes(path), std::vector<uint8_t>(10, 0x00));
            shredderStop = true;
        }
    };
    WipeFileNSA(path, control);
    EXPECT_EQ(labels, (std::vector<int>{1, 2}));
    EXPECT_TRUE(FileExists(path)); // stopped before pass 3
    EXPECT_EQ(ReadBytes(path), std::vector<uint8_t>(10, 0xFF));
    EXPECT_FALSE(StopRequested);
}

// A large file's passes tell how far they have come after every block: the shredder's window shows
// it. The reports of a pass rise block by block to the file's length, each once the bytes before it
// hold that pass's pattern, and name the pass and the method's number of passes.
TEST_F(WipeMethodsTest, EveryPassReportsItsProgressBlockByBlockUpToTheLength) {
    const size_t block = 768 * 1024;
    const size_t length = block * 2 + block / 2;
    struct Case {
        const char* method;
        int32_t passes;
        int expectedPasses;
    };
    for (const Case& c : {Case{"DoD", 0, 3}, Case{"Random", 2, 2}, Case{"Random", 0, 0}}) {
        std::string path = folder_ / "large.bin";
        WriteFileText(path, std::string(length, 'Q'));
        std::vector<PassProgress> reports;
        WipeControl control;
        control.duringPass = [&](const PassProgress& progress) {
            reports.push_back(progress);
            if (std::string(c.method) == "DoD" && progress.pass == 1) {
                std::vector<uint8_t> bytes = ReadBytes(path);
                EXPECT_EQ(bytes[static_cast<size_t>(progress.done) - 1], 0x55) << "written before it is reported";
            }
        };
        WipeFileByMethod(path, c.method, c.passes, control);
        ASSERT_EQ(reports.size(), static_cast<size_t>(c.expectedPasses) * 3) << c.method << " " << c.passes;
        for (size_t i = 0; i < reports.size(); ++i) {
            const int64_t expectedDone = std::min<int64_t>(static_cast<int64_t>((i % 3 + 1) * block), length);
            EXPECT_EQ(reports[i].pass, static_cast<int>(i / 3) + 1) << c.method << " report " << i;
            EXPECT_EQ(reports[i].passCount, c.expectedPasses) << c.method << " report " << i;
            EXPECT_EQ(reports[i].done, expectedDone) << c.method << " report " << i;
            EXPECT_EQ(reports[i].length, static_cast<int64_t>(length)) << c.method << " report " << i;
        }
        EXPECT_FALSE(FileExists(path)) << c.method;
    }
}

// A wipe started while another runs (a message handled between the blocks of a long pass may start
// one) leaves the first one's block and place in the file alone: both files get every pass whole
// and both are gone.
TEST_F(WipeMethodsTest, AWipeStartedDuringTheLongPassOfAnotherCompletesAndSoDoesTheFirst) {
    const size_t length = 2 * 768 * 1024 + 7;
    const std::string outer = folder_ / "outer.bin";
    const std::string inner = folder_ / "inner.bin";
    WriteFileText(outer, std::string(length, 'O'));
    WriteFileText(inner, std::string(length, 'I'));
    std::vector<int> innerPasses;
    std::vector<int> outerPasses;
    bool started = false;
    WipeControl control;
    control.duringPass = [&](const PassProgress& progress) {
        if (started || progress.pass != 2) {
            return;
        }
        started = true;
        WipeControl innerControl;
        innerControl.afterPass = [&](int pass) {
            innerPasses.push_back(pass);
            if (pass <= 2) {
                EXPECT_EQ(ReadBytes(inner), std::vector<uint8_t>(length, pass == 1 ? 0x00 : 0xFF))
                    << "inner pass " << pass;
            }
        };
        WipeFileNSA(inner, innerControl); // zeros, then ones, ...
    };
    control.afterPass = [&](int pass) {
        outerPasses.push_back(pass);
        if (pass == 2) {
            EXPECT_EQ(ReadBytes(outer), std::vector<uint8_t>(length, 0xAA));
        }
    };
    WipeFileDoD(outer, control);
    EXPECT_TRUE(started);
    EXPECT_EQ(outerPasses, (std::vector<int>{1, 2, 3}));
    ASSERT_FALSE(innerPasses.empty());
    EXPECT_EQ(innerPasses.size(), 7u);
    EXPECT_FALSE(FileExists(outer));
    EXPECT_FALSE(FileExists(inner));
}

TEST_F(WipeMethodsTest, AFileThatCannotBeOpenedForWritingRaisesAndIsKept) {
    std::string path = folder_ / "locked.bin";
    WriteFileText(path, "locked content");
    FileHandle holder(
        CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_THROW(WipeFileDoD(path), WipeOpenError);
    holder.reset();
    EXPECT_EQ(ReadFileText(path), "locked content");
}

TEST_F(WipeMethodsTest, AFileHeldByAProgramThatForbidsDeletingIsStillOverwrittenAndTruncated) {
    // The holder lets others read and write but not delete: the wipe cannot hold the file with
    // the right to delete it, so it writes through a plain handle and cannot rename or delete it.
    std::string path = folder_ / "held.bin";
    WriteFileText(path, std::string(5000, 'Q'));
    FileHandle holder(CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    std::vector<int> passes;
    WipeControl control;
    control.afterPass = [&](int pass) {
        passes.push_back(pass);
        if (pass == 2) {
            EXPECT_EQ(ReadBytes(path), std::vector<uint8_t>(5000, 0xAA));
        }
    };
    EXPECT_NO_THROW(WipeFileDoD(path, control));
    EXPECT_EQ(passes, (std::vector<int>{1, 2, 3}));
    holder.reset();
    ASSERT_TRUE(FileExists(path)) << "a file another program keeps from deletion stays under its name";
    EXPECT_EQ(ReadFileText(path), "") << "but its content is gone";
    EXPECT_EQ(ListFolder(folder_ / "*").size(), 1u) << "and no renamed copy is left beside it";
}

// Watches a folder for renames and records the new names. A marker file beside the others is renamed
// to tell when the watcher has caught up: notifications come in order, so once a marker's new name
// has come through, so has every rename made before it.
class RenameWatcher {
public:
    explicit RenameWatcher(const std::string& folder)
        : path_(folder), folder_(CreateFileW(WidePath(folder).c_str(), FILE_LIST_DIRECTORY,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {
        WriteFileText(path_ + MarkerName(), "");
        thread_ = std::thread([this] { Run(); });
        // The watcher listens once it sees a rename made now.
        EXPECT_TRUE(CaughtUp()) << "the watcher saw no rename";
    }
    ~RenameWatcher() {
        stop_ = true;
        // CancelIoEx came with Vista: looked up, as the 32-bit build is compiled for XP.
        using CancelIoExFunction = BOOL(WINAPI*)(HANDLE, LPOVERLAPPED);
        auto cancel = GetProcedure<CancelIoExFunction>(GetModuleHandleW(L"kernel32.dll"), "CancelIoEx");
        if (cancel) {
            cancel(folder_.get(), nullptr);
        }
        thread_.join();
        DeleteFileW(WidePath(path_ + MarkerName()).c_str());
    }
    // The new names of every rename made so far, markers left out.
    std::vector<std::string> NewNames() {
        EXPECT_TRUE(CaughtUp()) << "the watcher fell behind";
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<std::string> names;
        std::copy_if(names_.begin(), names_.end(), std::back_inserter(names),
                     [](const std::string& name) { return name.rfind(kMarker, 0) != 0; });
        return names;
    }

private:
    static constexpr const char* kMarker = "rename-marker-";
    std::string MarkerName() const { return kMarker + std::to_string(markers_); }

    // Renames the marker until one of its new names has been seen (a rename made before the watcher
    // listens is never reported); false when none has within 20 s.
    bool CaughtUp() {
        for (int attempt = 0; attempt < 400; ++attempt) {
            std::string from = MarkerName();
            ++markers_;
            EXPECT_TRUE(MoveFileW(WidePath(path_ + from).c_str(), WidePath(path_ + MarkerName()).c_str()));
            for (int look = 0; look < 5; ++look, Sleep(10)) {
                std::lock_guard<std::mutex> lock(mutex_);
                if (std::any_of(names_.begin() + static_cast<std::ptrdiff_t>(seen_), names_.end(),
                                [](const std::string& name) { return name.rfind(kMarker, 0) == 0; })) {
                    seen_ = names_.size();
                    return true;
                }
            }
        }
        return false;
    }

private:
    void Run() {
        alignas(DWORD) char buffer[8192];
        while (!stop_) {
            DWORD got = 0;
            if (!ReadDirectoryChangesW(folder_.get(), buffer, sizeof buffer, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME, &got,
                                       nullptr, nullptr) ||
                got == 0) {
                return;
            }
            for (auto* info = reinterpret_cast<FILE_NOTIFY_INFORMATION*>(buffer);;
                 info = reinterpret_cast<FILE_NOTIFY_INFORMATION*>(reinterpret_cast<char*>(info) +
                                                                   info->NextEntryOffset)) {
                if (info->Action == FILE_ACTION_RENAMED_NEW_NAME) {
                    std::lock_guard<std::mutex> lock(mutex_);
                    names_.push_back(Narrow(std::wstring_view(info->FileName, info->FileNameLength / 2)));
                }
                if (info->NextEntryOffset == 0) {
                    break;
                }
            }
        }
    }
    std::string path_; // ends in a backslash
    FileHandle folder_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> names_;
    size_t seen_ = 0; // the names up to the marker last seen
    int markers_ = 0;
    std::thread thread_;
};

TEST_F(WipeMethodsTest, TheFileIsRenamedToTheFirstFreeOneCharacterNameBeforeItsDeletion) {
    WriteFileText(folder_ / "A", "a");
    WriteFileText(folder_ / "B", "b");
    WriteFileText(folder_ / "doc.txt", "secret");
    RenameWatcher watcher(folder_.Path());
    WipeFileDoD(folder_ / "doc.txt");
    std::vector<std::string> names = watcher.NewNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "C"), names.end())
        << "renamed to: " << ::testing::PrintToString(names);
    EXPECT_FALSE(FileExists(folder_ / "doc.txt"));
    EXPECT_FALSE(FileExists(folder_ / "C"));
    EXPECT_EQ(ReadFileText(folder_ / "A"), "a");
    EXPECT_EQ(ReadFileText(folder_ / "B"), "b");
}

TEST_F(WipeMethodsTest, AFolderNamedAIsNotTakenSoTheFileIsDeletedUnderItsOwnName) {
    ASSERT_TRUE(CreateFolder(folder_ / "A"));
    WriteFileText(folder_ / "doc.txt", "secret");
    RenameWatcher watcher(folder_.Path());
    WipeFileDoD(folder_ / "doc.txt");
    std::vector<std::string> names = watcher.NewNames();
    for (const auto& name : names) {
        EXPECT_EQ(name.find("doc"), std::string::npos);
    }
    EXPECT_FALSE(FileExists(folder_ / "doc.txt"));
    EXPECT_TRUE(FolderExists(folder_ / "A"));
    EXPECT_TRUE(ListFolder(folder_ / "A\\*").empty());
}

TEST_F(WipeMethodsTest, NamesOutsideTheCodePageAndLongPathsAreWipedAndDeleted) {
    std::string unicode = folder_ / "\xE6\x97\xA5\xE6\x9C\xAC\xD0\x96.txt";
    WriteFileText(unicode, "secret");
    WipeFileDoD(unicode);
    EXPECT_FALSE(FileExists(unicode));

    std::string deep = folder_.Path();
    while (deep.size() < 300) {
        deep += std::string(50, 'd') + "\\";
        ASSERT_TRUE(CreateFolder(deep));
    }
    WriteFileText(deep + "long.txt", "secret");
    WipeFileNSA(deep + "long.txt");
    EXPECT_FALSE(FileExists(deep + "long.txt"));
    EXPECT_TRUE(ListFolder(deep + "*").empty());
}

} // namespace
