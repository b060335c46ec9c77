// VLC media player's recent media list against real settings files in a scratch %AppData%: what
// goes, what stays byte for byte, a running VLC, the preview, and the gate's in-place rewrite.
#include "engine/ProgramItems.h"
#include "engine/RunState.h"
#include "gate/ErasePlan.h"
#include "gate/GateActs.h"
#include "gate/SafetyGate.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "support/ChildProcess.h"
#include "support/RecordingLog.h"
#include "unit/ItemTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// What every media name of the samples holds, and no other byte of them.
constexpr const char* kMarker = "SECRET";

// VLC's file as Qt writes it on Windows, around a recent list of three media (one quoted: it holds a
// comma) and with bytes that are no text in another section.
std::string VlcSettings(const std::string& eol) {
    return "[General]" + eol + "geometry=@ByteArray(\\x1\\xd9\\xd0\\xcb\x01\xff)" + eol +
           "filedialog-path=file:///C:/Users/me/Videos" + eol + eol + "[RecentsMRL]" + eol +
           "list=file:///C:/Users/me/Videos/SECRET-one.mkv, \"file:///C:/Users/me/SECRET,two.mp4\", "
           "https://example.com/SECRET-three" +
           eol + "times=0, 120345, 0" + eol + eol + "[MainWindow]" + eol + "; kept as written" + eol +
           "playlist-visible=false" + eol;
}
std::string VlcSettingsErased(const std::string& eol) {
    return "[General]" + eol + "geometry=@ByteArray(\\x1\\xd9\\xd0\\xcb\x01\xff)" + eol +
           "filedialog-path=file:///C:/Users/me/Videos" + eol + eol + "[RecentsMRL]" + eol + eol + "[MainWindow]" +
           eol + "; kept as written" + eol + "playlist-visible=false" + eol;
}

class VlcRecentMediaTest : public ::testing::Test {
protected:
    VlcRecentMediaTest() : appData_(scratch_ / "AppData\\"), appDataVar_("APPDATA", appData_) {}

    void SetUp() override {
        StopRequested = false;
        NotErasedEntries.clear();
        SetCounters(7, 70, 5, 17, 170, 15);
        file_ = appData_ + kVlcSettingsFile;
    }
    void TearDown() override {
        NotErasedEntries.clear();
        SetNeverErase({});
    }

    void WriteSettings(const std::string& bytes) {
        MakeFolders(FolderOf(file_));
        WriteFileText(file_, bytes);
    }

    // The item as the run calls it: on its placeholder line.
    Lines Run() {
        RecordingLog log;
        log.AppendLine(kVlcPlaceholderLine);
        EraseVlcRecentMedia(log);
        return log.lines;
    }

    // What a preview of the item finds, and the lines it wrote meanwhile.
    std::vector<PlanEntry> Preview(Lines* lines = nullptr) {
        BeginFindingPlan();
        BeginPlanGroup("VLC");
        Lines written = Run();
        std::vector<PlanEntry> entries;
        for (const PlanGroup& group : EndFindingPlan()) {
            entries.insert(entries.end(), group.entries.begin(), group.entries.end());
        }
        if (lines) {
            *lines = written;
        }
        return entries;
    }

    void ExpectCountersUntouched() {
        EXPECT_EQ(ErasedFileCount, 7);
        EXPECT_EQ(ReleasedByteCount, 70);
        EXPECT_EQ(ErasedRegistryCount, 5);
        EXPECT_EQ(TotalErasedFileCount, 17);
        EXPECT_EQ(TotalReleasedByteCount, 170);
        EXPECT_EQ(TotalErasedRegistryCount, 15);
    }

    ScratchFolder scratch_;
    std::string appData_;
    EnvironmentOverride appDataVar_;
    std::string file_;
};

TEST_F(VlcRecentMediaTest, TheRecentEntriesGoAndEveryOtherByteStays) {
    const struct {
        const char* name;
        std::string before;
        std::string after;
        int64_t media;
    } cases[] = {
        {"CRLF", VlcSettings("\r\n"), VlcSettingsErased("\r\n"), 3},
        {"LF", VlcSettings("\n"), VlcSettingsErased("\n"), 3},
        {"UTF-8 byte order mark", "\xEF\xBB\xBF" + VlcSettings("\r\n"), "\xEF\xBB\xBF" + VlcSettingsErased("\r\n"), 3},
        {"section first, after a byte order mark", "\xEF\xBB\xBF[RecentsMRL]\r\nlist=SECRET\r\n[General]\r\na=1",
         "\xEF\xBB\xBF[RecentsMRL]\r\n[General]\r\na=1", 1},
        {"section repeated, in another case", VlcSettings("\r\n") + "[recentsmrl]\r\nLIST=SECRET-4, SECRET-5\r\n",
         VlcSettingsErased("\r\n") + "[recentsmrl]\r\n", 5},
        {"no line break at the end", "[RecentsMRL]\nlist=SECRET-a, SECRET-b", "[RecentsMRL]\n", 2},
        {"a value continued on the next line", "[RecentsMRL]\nlist=SECRET-a, \\\nSECRET-b\n[X]\ny=1\n",
         "[RecentsMRL]\n[X]\ny=1\n", 2},
        {"a huge list", "[RecentsMRL]\r\nlist=" + std::string(2 << 20, 'S') + "\r\n[X]\r\nkey=SECRET?\r\n",
         "[RecentsMRL]\r\n[X]\r\nkey=SECRET?\r\n", 1},
        {"times only", "[RecentsMRL]\r\ntimes=SECRET\r\n", "[RecentsMRL]\r\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSettings(c.before);
        const std::optional<FileIdentity> before = IdentityOf(file_);

        EXPECT_EQ(Run(), Lines{RecentMediaResultLine(c.media)});
        const std::string after = ReadFileText(file_);
        EXPECT_EQ(after, c.after);
        EXPECT_EQ(FileSizeByReading(file_), static_cast<int64_t>(c.after.size()));
        EXPECT_TRUE(before && IdentityOf(file_) == before) << "the file was replaced, not rewritten in place";
        EXPECT_TRUE(NotErasedEntries.empty());
        ExpectCountersUntouched();
        // A second run finds nothing more.
        EXPECT_EQ(Run(), Lines{kVlcPlaceholderLine});
        EXPECT_EQ(ReadFileText(file_), c.after);
    }
    EXPECT_EQ(RecentMediaResultLine(1), "1 recent media entry was erased.");
    EXPECT_EQ(RecentMediaResultLine(3), "3 recent media entries were erased.");
}

TEST_F(VlcRecentMediaTest, NothingToEraseLeavesTheFileAndCreatesNothing) {
    // No application-data folder at all, then no vlc folder, then no file.
    EXPECT_EQ(Run(), Lines{kVlcPlaceholderLine});
    EXPECT_FALSE(FolderExists(appData_));
    ASSERT_TRUE(CreateFolder(appData_));
    EXPECT_EQ(Run(), Lines{kVlcPlaceholderLine});
    EXPECT_FALSE(FolderExists(FolderOf(file_)));
    ASSERT_TRUE(CreateFolder(FolderOf(file_)));
    EXPECT_EQ(Run(), Lines{kVlcPlaceholderLine});
    EXPECT_FALSE(FileExists(file_));

    for (const std::string& kept : {std::string("[General]\r\nlist=not-recent\r\n"),
                                    std::string("[RecentsMRL]\r\n\r\n; nothing\r\n[X]\r\nlist=a\r\n"),
                                    std::string("[RecentsMRL_old]\nlist=a\n"), std::string()}) {
        WriteSettings(kept);
        EXPECT_EQ(Run(), Lines{kVlcPlaceholderLine}) << kept;
        EXPECT_EQ(ReadFileText(file_), kept);
    }
    EXPECT_TRUE(NotErasedEntries.empty());
    ExpectCountersUntouched();
}

TEST_F(VlcRecentMediaTest, WhileVlcRunsTheListIsLeftAndNotedAndVlcGoesOn) {
    const std::string before = VlcSettings("\r\n");
    WriteSettings(before);
    ASSERT_TRUE(CopyFileW(Widen(ItemHelperPath()).c_str(), Widen(scratch_ / "vlc.exe").c_str(), FALSE));
    {
        ChildProcess vlc("\"" + scratch_ / "vlc.exe" + "\" sleep");
        ASSERT_TRUE(vlc.WaitListed());
        EXPECT_TRUE(VlcRunsForThisUser());

        EXPECT_EQ(Run(), (Lines{kVlcRunningLine, kVlcPlaceholderLine}));
        EXPECT_EQ(ReadFileText(file_), before);
        ASSERT_EQ(NotErasedEntries.size(), 1u);
        EXPECT_EQ(NotErasedEntries[0].what, file_);
        EXPECT_EQ(NotErasedEntries[0].why, kVlcRunningReason);
        EXPECT_TRUE(vlc.Running()) << "VLC was ended";

        // The preview says the same and lists no rewrite.
        NotErasedEntries.clear();
        std::vector<PlanEntry> plan = Preview();
        ASSERT_EQ(plan.size(), 1u);
        EXPECT_EQ(plan[0].kind, PlanEntry::NotErasable);
        EXPECT_EQ(plan[0].why, kVlcRunningReason);
    }
    // Once it has gone, the list goes.
    for (int tries = 0; tries < 500 && VlcRunsForThisUser(); ++tries) {
        Sleep(10);
    }
    ASSERT_FALSE(VlcRunsForThisUser());
    EXPECT_EQ(Run(), Lines{RecentMediaResultLine(3)});
    EXPECT_EQ(ReadFileText(file_), VlcSettingsErased("\r\n"));
}

TEST_F(VlcRecentMediaTest, ThePreviewListsTheRewriteAndChangesNothing) {
    const std::string before = VlcSettings("\r\n");
    WriteSettings(before);
    Lines lines;
    std::vector<PlanEntry> plan = Preview(&lines);
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0].kind, PlanEntry::Action);
    EXPECT_EQ(plan[0].what, "Rewrite " + file_ + " without its recent media list (3 entries)");
    EXPECT_EQ(lines, Lines{RecentMediaResultLine(3)}) << "the preview's line counts what the run erases";
    EXPECT_EQ(ReadFileText(file_), before);
    ExpectCountersUntouched();
}

TEST_F(VlcRecentMediaTest, AFileMarkedNeverEraseStays) {
    const std::string before = VlcSettings("\r\n");
    WriteSettings(before);
    for (const std::string& kept : {file_, FolderOf(file_)}) {
        SetNeverErase({kept});
        EXPECT_EQ(Run(), Lines{kVlcPlaceholderLine}) << kept;
        EXPECT_EQ(ReadFileText(file_), before) << kept;
        std::vector<PlanEntry> plan = Preview();
        ASSERT_EQ(plan.size(), 1u) << kept;
        EXPECT_EQ(plan[0].kind, PlanEntry::Kept) << kept;
        // The gate itself refuses it, whoever asks.
        RewriteResult result = GateRewriteFile(file_, "", "");
        EXPECT_FALSE(result.done);
        EXPECT_EQ(result.refusal, std::optional<std::string>(kRefusalNeverErase));
        EXPECT_EQ(ReadFileText(file_), before) << kept;
    }
    EXPECT_TRUE(NotErasedEntries.empty());
}

TEST_F(VlcRecentMediaTest, WhatCannotBeRewrittenIsNotedAndTheRunGoesOn) {
    // A folder by the file's name.
    MakeFolders(file_);
    WriteFileText(file_ + "\\inside.txt", "[RecentsMRL]\r\nlist=SECRET\r\n");
    EXPECT_EQ(Run(), (Lines{"Refused: " + file_ + " (a folder)", kVlcPlaceholderLine}));
    EXPECT_EQ(ReadFileText(file_ + "\\inside.txt"), "[RecentsMRL]\r\nlist=SECRET\r\n");
    ASSERT_TRUE(RemoveTree(file_));

    // A file another program holds for writing, letting others only read it.
    NotErasedEntries.clear();
    const std::string before = VlcSettings("\r\n");
    WriteSettings(before);
    {
        FileHandle holder(CreateFileW(WidePath(file_).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        EXPECT_EQ(Run(), Lines{kVlcPlaceholderLine});
    }
    EXPECT_EQ(ReadFileText(file_), before);
    ASSERT_EQ(NotErasedEntries.size(), 1u);
    EXPECT_EQ(NotErasedEntries[0].what, file_);
    EXPECT_TRUE(IsInUseReason(NotErasedEntries[0].why)) << NotErasedEntries[0].why;

    // A file too large to be VLC's is not read.
    NotErasedEntries.clear();
    MakeFile(file_, kVlcLargestSettingsFile + 1);
    EXPECT_EQ(Run(), Lines{kVlcPlaceholderLine});
    EXPECT_EQ(FileSizeByReading(file_), kVlcLargestSettingsFile + 1);
    ASSERT_EQ(NotErasedEntries.size(), 1u);
    EXPECT_EQ(NotErasedEntries[0].why, kVlcFileTooLargeReason);
    ExpectCountersUntouched();
}

// Wine shows a link to a file as the file itself (no reparse bit), so the link made here leads to a
// folder, which Wine does show as a link; on Windows the gate refuses a link to a file the same way.
TEST_F(VlcRecentMediaTest, ALinkInPlaceOfTheFileIsNeverFollowed) {
    const std::string elsewhere = scratch_ / "elsewhere";
    MakeFolders(elsewhere);
    WriteFileText(elsewhere + "\\inside.ini", "[RecentsMRL]\r\nlist=SECRET\r\n");
    MakeFolders(FolderOf(file_));
    if (!MakeUnixSymlink(elsewhere, file_)) {
        GTEST_SKIP() << "links cannot be made from Linux here";
    }
    Lines lines = Run();
    RemoveUnixSymlink(file_);
    EXPECT_EQ(lines, (Lines{"Refused: " + file_ + " (a link)", kVlcPlaceholderLine}));
    EXPECT_EQ(ReadFileText(elsewhere + "\\inside.ini"), "[RecentsMRL]\r\nlist=SECRET\r\n");
    ASSERT_EQ(NotErasedEntries.size(), 1u);
    EXPECT_EQ(NotErasedEntries[0].why, "refused: a link");
}

TEST(VlcRecentMediaCount, CountsTheMediaOfAQtList) {
    const struct {
        const char* value;
        int64_t count;
    } cases[] = {
        {"", 0},
        {"@Invalid()", 0},
        {" , ,", 0},
        {"\"\"", 0},
        {"file:///a.mkv", 1},
        {"file:///a.mkv, file:///b.mkv", 2},
        {"\"file:///a,b.mkv\", file:///c.mkv", 2},
        {"\"a \\\"quoted\\\", name\", b, c", 3},
        {"a,b,,c", 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RecentMediaCount(c.value), c.count) << c.value;
    }
}

TEST(GateRewriteFile, RewritesTheSameFileInPlaceAndLeavesNoOldByteBehind) {
    ScratchFolder scratch;
    const std::string path = scratch / "settings.ini";
    const std::string old = "keep this\r\n" + std::string(100000, 'S') + "\r\ntail SECRET\r\n";
    WriteFileText(path, old);
    const std::optional<FileIdentity> identity = IdentityOf(path);
    ASSERT_TRUE(identity);

    // While finding: listed, not done.
    BeginFindingPlan();
    BeginPlanGroup("rewrite");
    RewriteResult found = GateRewriteFile(path, "keep this\r\n", "shorter");
    std::vector<PlanGroup> plan = EndFindingPlan();
    EXPECT_TRUE(found.done);
    ASSERT_EQ(plan.size(), 1u);
    ASSERT_EQ(plan[0].entries.size(), 1u);
    EXPECT_EQ(plan[0].entries[0].what, "Rewrite " + path + " shorter");
    EXPECT_EQ(ReadFileText(path), old);

    RewriteResult done = GateRewriteFile(path, "keep this\r\n", "shorter");
    EXPECT_TRUE(done.done);
    EXPECT_FALSE(done.refusal);
    EXPECT_EQ(ReadFileText(path), "keep this\r\n");
    EXPECT_EQ(IdentityOf(path), identity) << "a new file took the old one's name";

    // Refused before anything opens it: a device name, Quorvale's own program, a folder.
    EXPECT_EQ(GateRewriteFile(scratch / "nul.ini", "", "").refusal, std::optional<std::string>("a device name"));
    const std::string own = ExecutableDir() + "SellwickService.exe";
    EXPECT_EQ(GateRewriteFile(own, "", "").refusal, std::optional<std::string>("Quorvale's own files"));
    EXPECT_GT(FileSizeByReading(own).value_or(0), 0);
    EXPECT_EQ(GateRewriteFile(scratch.Path(), "", "").refusal, std::optional<std::string>("a folder"));
}

} // namespace
