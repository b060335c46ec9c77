// The Windows items against the real temp folder, recycle bin, clipboard and registry of the test
// prefix: TMP, the Recent folder value and the history keys are pointed at scratch places or filled
// for the test and put back afterwards.
#include "ItemTestSupport.h"

#include "engine/FolderWipe.h"
#include "engine/RunState.h"
#include "engine/WindowsItems.h"
#include "gate/ErasePlan.h"
#include "platform/Clipboard.h"
#include "platform/Files.h"
#include "platform/RecycleBin.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "support/RecordingLog.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>
#include <iterator>
#include <memory>

namespace {

using Lines = std::vector<std::string>;

// The temporary-files folder pointed at a scratch folder for one test.
class EraseTempFolderTest : public ::testing::Test {
protected:
    EraseTempFolderTest() : temp_(scratch_ / "Temp"), tmp_("TMP", temp_ + "\\"), tempVar_("TEMP", temp_ + "\\") {
        CreateFolder(temp_);
        SetCounters(0, 0, 0, 0, 0, 0);
    }
    ScratchFolder scratch_;
    std::string temp_;
    EnvironmentOverride tmp_;
    EnvironmentOverride tempVar_;
    RecordingLog log_;
};

TEST_F(EraseTempFolderTest, WipesReadOnlyAndHiddenFilesRemovesSubFoldersAndKeepsTheFolder) {
    MakeFile(temp_ + "\\readonly.txt", 1000);
    SetAttributes(temp_ + "\\readonly.txt", FILE_ATTRIBUTE_READONLY);
    MakeFile(temp_ + "\\hidden\\one.tmp", 2000);
    MakeFile(temp_ + "\\hidden\\two.tmp", 3000);
    SetAttributes(temp_ + "\\hidden", FILE_ATTRIBUTE_HIDDEN);
    log_.AppendLine(kPlaceholderLine);

    EraseTempFolder("DoD", 0, log_);

    EXPECT_TRUE(FolderExists(temp_));
    EXPECT_FALSE(FolderExists(temp_ + "\\hidden"));
    EXPECT_TRUE(ListFolder(temp_ + "\\*.*").empty());
    EXPECT_EQ(ErasedFileCount, 3);
    EXPECT_EQ(ReleasedByteCount, 6000);
    EXPECT_EQ(log_.lines, (Lines{"3 files were erased, 5.86 KB hard disk space was released."}));
    EXPECT_EQ(log_.history.size(), 4u) << "one replacement of the placeholder per file";
    EXPECT_EQ(TotalErasedFileCount, 0) << "the erase run adds this item to the totals";
}

TEST_F(EraseTempFolderTest, PassesDotFoldersAndLeavesOtherNamesOfHardLinkedFiles) {
    MakeFile(temp_ + "\\.cache\\kept.bin", 10);
    WriteFileText(scratch_ / "document.txt", "precious");
    ASSERT_TRUE(
        CreateHardLinkW(WidePath(temp_ + "\\link.txt").c_str(), WidePath(scratch_ / "document.txt").c_str(), nullptr));

    EraseTempFolder("DoD", 0, log_);

    EXPECT_TRUE(FileExists(temp_ + "\\.cache\\kept.bin"));
    EXPECT_FALSE(FileExists(temp_ + "\\link.txt"));
    EXPECT_EQ(ReadFileText(scratch_ / "document.txt"), "precious");
    EXPECT_EQ(ErasedFileCount, 1);
}

TEST_F(EraseTempFolderTest, ResetsTheCountersEvenWhenTheFolderIsEmpty) {
    SetCounters(5, 5000, 0, 0, 0, 0);
    log_.AppendLine(kPlaceholderLine);

    EraseTempFolder("DoD", 0, log_);

    EXPECT_EQ(ErasedFileCount, 0) << "the previous item's files must not be reported again";
    EXPECT_EQ(ReleasedByteCount, 0);
    EXPECT_EQ(log_.lines, (Lines{kPlaceholderLine}));
}

TEST_F(EraseTempFolderTest, LeavesTheProfileFolderThatWindowsFallsBackTo) {
    // Without TMP and TEMP, Windows names the user's profile as the temporary-files folder.
    MakeFile(temp_ + "\\canary.txt", 10);
    {
        EnvironmentOverride noTmp("TMP", std::nullopt);
        EnvironmentOverride noTemp("TEMP", std::nullopt);
        EnvironmentOverride profile("USERPROFILE", temp_);
        ASSERT_TRUE(EqualsNoCase(TempFolder(), temp_ + "\\"));
        EraseTempFolder("DoD", 0, log_);
    }
    EXPECT_TRUE(FileExists(temp_ + "\\canary.txt"));
    EXPECT_EQ(ErasedFileCount, 0);
}

TEST(IsTempFolderSafeToWipe, RefusesRootsAndTheFoldersWindowsFallsBackTo) {
    ScratchFolder scratch;
    const struct {
        std::string folder;
        bool safe;
    } cases[] = {
        {"C:\\", false},
        {"C:", false},
        {"\\\\server\\share", false},
        {"\\\\server\\share\\", false},
        {"", false},
        {SpecialFolderPath(CSIDL_WINDOWS), false},
        {SpecialFolderPath(CSIDL_WINDOWS) + "\\", false},
        {AsciiUpper(SpecialFolderPath(CSIDL_PROFILE)), false},
        {"\\\\server\\share\\temp", true},
        {scratch.Path(), true},
        {SpecialFolderPath(CSIDL_WINDOWS) + "\\Temp", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsTempFolderSafeToWipe(c.folder), c.safe) << c.folder;
    }
}

TEST(EmptyRecycleBin, EmptiesTheRecycleBin) {
    // Wine's recycle bin is the XDG trash: never run this against a real one.
    ASSERT_NE(std::getenv("XDG_DATA_HOME"), nullptr) << "XDG_DATA_HOME must point at a test folder";
    ScratchFolder scratch;
    WriteFileText(scratch / "thrown-away.txt", "old");
    std::wstring from = WidePath(scratch / "thrown-away.txt") + L'\0';
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    ASSERT_EQ(SHFileOperationW(&operation), 0);
    SHQUERYRBINFO info{};
    info.cbSize = sizeof info;
    ASSERT_EQ(SHQueryRecycleBinW(nullptr, &info), S_OK);
    ASSERT_GE(info.i64NumItems, 1);

    EXPECT_TRUE(EmptyRecycleBin());

    ASSERT_EQ(SHQueryRecycleBinW(nullptr, &info), S_OK);
    EXPECT_EQ(info.i64NumItems, 0);
}

TEST(EmptyRecycleBinsThrough, TellsAMissingLibraryFromAMissingFunction) {
    EXPECT_EQ(EmptyRecycleBinsThrough("no-such-library-qv.dll"), RecycleBinResult::LibraryMissing);
    EXPECT_EQ(EmptyRecycleBinsThrough("kernel32.dll"), RecycleBinResult::FunctionMissing);
}

// The Recent folder value pointed at a scratch folder for one test.
class EraseRecentDocumentsTest : public ::testing::Test {
protected:
    EraseRecentDocumentsTest() : restore_(HKEY_CURRENT_USER, kShellFoldersKey) {
        RegKey key = CreateRegKey(HKEY_CURRENT_USER, kShellFoldersKey);
        SetRegString(key.get(), kRecentFolderValue, scratch_.Path());
        SetCounters(9, 9, 0, 10, 100, 0);
    }
    ScratchFolder scratch_;
    RegistryTreeRestore restore_;
    RecordingLog log_;
};

TEST_F(EraseRecentDocumentsTest, DeletesShortcutsAndAccountsForThoseThatStay) {
    MakeFile(scratch_ / "report.doc.lnk", 100);
    MakeFile(scratch_ / "pinned.lnk", 200);
    SetAttributes(scratch_ / "pinned.lnk", FILE_ATTRIBUTE_READONLY);
    MakeFile(scratch_ / "notes.txt", 50);
    CreateFolder(scratch_ / "folder.lnk");
    NotErasedEntries.clear();

    EraseRecentDocuments(log_);

    EXPECT_FALSE(FileExists(scratch_ / "report.doc.lnk"));
    EXPECT_TRUE(FileExists(scratch_ / "pinned.lnk")) << "a plain delete does not clear read-only";
    EXPECT_TRUE(FileExists(scratch_ / "notes.txt"));
    EXPECT_TRUE(FolderExists(scratch_ / "folder.lnk"));
    // Only what is gone is counted; the shortcut that stayed is in the account instead.
    EXPECT_EQ(log_.history, (Lines{"+1 files were erased, 100 Bytes hard disk space was released."}));
    EXPECT_EQ(TotalErasedFileCount, 11);
    EXPECT_EQ(TotalReleasedByteCount, 200);
    ASSERT_EQ(NotErasedEntries.size(), 1u);
    EXPECT_EQ(NotErasedEntries[0].what, scratch_ / "pinned.lnk");
    EXPECT_EQ(NotErasedEntries[0].why, "access denied");
    NotErasedEntries.clear();
}

TEST_F(EraseRecentDocumentsTest, AnEmptyFolderStillWritesItsLine) {
    EraseRecentDocuments(log_);
    EXPECT_EQ(log_.history, (Lines{"+0 files were erased, 0 Byte hard disk space was released."}));
    EXPECT_EQ(TotalErasedFileCount, 10);
}

TEST_F(EraseRecentDocumentsTest, WithoutTheRecentValueNothingHappens) {
    RegKey key = OpenRegKey(HKEY_CURRENT_USER, kShellFoldersKey, KEY_SET_VALUE);
    DeleteRegValue(key.get(), kRecentFolderValue);

    EraseRecentDocuments(log_);

    EXPECT_TRUE(log_.history.empty());
    EXPECT_EQ(ErasedFileCount, 9);
}

class HistoryKeysTest : public ::testing::Test {
protected:
    HistoryKeysTest() {
        std::vector<std::string> keys = {kRunMRUKey, kSearchMRUKey, kDialogMRUKey, kWordWheelQueryKey, kRecentDocsKey};
        keys.insert(keys.end(), std::begin(kTodaysDialogMRUKeys), std::end(kTodaysDialogMRUKeys));
        for (const std::string& key : keys) {
            restores_.push_back(std::make_unique<RegistryTreeRestore>(HKEY_CURRENT_USER, key));
            DeleteRegTree(HKEY_CURRENT_USER, key);
        }
        SetCounters(0, 0, 7, 0, 0, 100);
    }
    std::vector<std::unique_ptr<RegistryTreeRestore>> restores_;
    RecordingLog log_;
};

TEST_F(HistoryKeysTest, RunHistoryLosesEveryValueAndKeepsItsKey) {
    FillKey(kRunMRUKey, {"a", "b", "MRUList"});

    EraseRunMRU(log_);

    EXPECT_EQ(log_.history, (Lines{"+3 registry entries were erased."}));
    EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, kRunMRUKey));
    EXPECT_EQ(ValueCount(kRunMRUKey), 0u);
    EXPECT_EQ(ErasedRegistryCount, 3);
    EXPECT_EQ(TotalErasedRegistryCount, 103);
}

TEST_F(HistoryKeysTest, MissingKeysAreNotCreated) {
    EraseRunMRU(log_);
    EraseSearchMRU(log_);
    EraseDialogMRU(log_);

    EXPECT_EQ(log_.history, (Lines{"+0 registry entry was erased.", "+0 registry entry was erased."}))
        << "the Open/Save history writes no line without its key";
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, kRunMRUKey));
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, kSearchMRUKey));
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, kDialogMRUKey));
    EXPECT_EQ(TotalErasedRegistryCount, 100);
}

TEST_F(HistoryKeysTest, SearchHistoryClearsSubKeysOnly) {
    FillKey(kSearchMRUKey, {"own"});
    EraseSearchMRU(log_);
    EXPECT_EQ(log_.history, (Lines{"+0 registry entry was erased."}));

    FillKey(std::string(kSearchMRUKey) + "\\5603", {"0", "1"});
    FillKey(std::string(kSearchMRUKey) + "\\5604", {"0"});
    EraseSearchMRU(log_);

    EXPECT_EQ(log_.lines.back(), "3 registry entries were erased.");
    EXPECT_EQ(ValueCount(std::string(kSearchMRUKey) + "\\5603"), 0u);
    EXPECT_EQ(ValueCount(std::string(kSearchMRUKey) + "\\5604"), 0u);
    EXPECT_EQ(ValueCount(kSearchMRUKey), 1u);
    EXPECT_EQ(TotalErasedRegistryCount, 103);
}

TEST_F(HistoryKeysTest, DialogHistoryRunningLineCoversKeyThenEachSubKey) {
    FillKey(kDialogMRUKey, {"a", "MRUList"});
    FillKey(std::string(kDialogMRUKey) + "\\txt", {"a", "b", "MRUList"});
    FillKey(std::string(kDialogMRUKey) + "\\*", {"a", "b", "c", "MRUList"});

    EraseDialogMRU(log_);

    // Sub-keys come in the registry's order: the line after the first one shows 2 + its 3 or 4.
    auto subKeys = RegSubKeyNames(OpenRegKey(HKEY_CURRENT_USER, kDialogMRUKey).get());
    ASSERT_EQ(subKeys.size(), 2u);
    std::string afterFirst =
        subKeys[0] == "txt" ? "=5 registry entries were erased." : "=6 registry entries were erased.";
    EXPECT_EQ(log_.history,
              (Lines{"+2 registry entries were erased.", afterFirst, "=9 registry entries were erased."}));
    for (const char* path : {"", "\\txt", "\\*"}) {
        EXPECT_EQ(ValueCount(std::string(kDialogMRUKey) + path), 0u) << path;
    }
    EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, std::string(kDialogMRUKey) + "\\txt"));
    EXPECT_EQ(TotalErasedRegistryCount, 109);
}

TEST_F(HistoryKeysTest, TodaysOpenAndSaveHistoryIsErasedInTheItemsLineAndPreviewedValueByValue) {
    const std::string pidl = kTodaysDialogMRUKeys[0];
    FillKey(pidl + "\\txt", {"0", "1", "MRUListEx"});
    FillKey(pidl + "\\*", {"0", "MRUListEx"});
    FillKey(kTodaysDialogMRUKeys[1], {"0", "MRUListEx"});
    FillKey(kTodaysDialogMRUKeys[3], {"0"});
    {
        // A value of a type no history uses goes like the others.
        RegKey key = CreateRegKey(HKEY_CURRENT_USER, kTodaysDialogMRUKeys[4]);
        ASSERT_TRUE(SetRegDword(key.get(), "odd", 7));
    }

    const Lines preview = PreviewedValues([&] { EraseDialogMRU(log_); });
    EXPECT_EQ(preview.size(), 9u);
    EXPECT_EQ(ValueCount(pidl + "\\txt"), 3u) << "a preview changes nothing";

    log_.history.clear();
    SetCounters(0, 0, 7, 0, 0, 100);
    EraseDialogMRU(log_);

    EXPECT_EQ(log_.history, (Lines{"+5 registry entries were erased.", "=7 registry entries were erased.",
                                   "=8 registry entries were erased.", "=9 registry entries were erased."}))
        << "without the old key, the line comes with the first of today's";
    EXPECT_EQ(TotalErasedRegistryCount, 109);
    for (const std::string& key : {pidl, pidl + "\\txt", pidl + "\\*", std::string(kTodaysDialogMRUKeys[1]),
                                   std::string(kTodaysDialogMRUKeys[3]), std::string(kTodaysDialogMRUKeys[4])}) {
        EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, key)) << key << " stays";
        EXPECT_EQ(ValueCount(key), 0u) << key;
    }
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, kTodaysDialogMRUKeys[2])) << "a missing key is not created";
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, kDialogMRUKey));

    // With the old key there, today's values add to its line.
    FillKey(kDialogMRUKey, {"a", "MRUList"});
    FillKey(kTodaysDialogMRUKeys[1], {"0"});
    log_.history.clear();
    EraseDialogMRU(log_);
    EXPECT_EQ(log_.history, (Lines{"+2 registry entries were erased.", "=2 registry entries were erased.",
                                   "=3 registry entries were erased.", "=3 registry entries were erased.",
                                   "=3 registry entries were erased."}));
}

TEST_F(HistoryKeysTest, ExplorersSearchBoxHistoryIsCountedInTheSearchHistorysLine) {
    FillKey(std::string(kSearchMRUKey) + "\\5603", {"0"});
    FillKey(kWordWheelQueryKey, {"0", "1", "MRUListEx"});
    FillKey(std::string(kWordWheelQueryKey) + "\\1", {"0"});
    EXPECT_EQ(PreviewedValues([&] { EraseSearchMRU(log_); }).size(), 5u);

    EraseSearchMRU(log_);

    EXPECT_EQ(log_.lines.back(), "5 registry entries were erased.");
    EXPECT_EQ(ValueCount(kWordWheelQueryKey), 0u);
    EXPECT_EQ(ValueCount(std::string(kWordWheelQueryKey) + "\\1"), 0u);
    EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, std::string(kWordWheelQueryKey) + "\\1"));
}

TEST_F(HistoryKeysTest, TheRecentDocumentsListGoesWithTheShortcutsInALineOfItsOwn) {
    ScratchFolder recent;
    RegistryTreeRestore shellFolders(HKEY_CURRENT_USER, kShellFoldersKey);
    SetRegString(CreateRegKey(HKEY_CURRENT_USER, kShellFoldersKey).get(), kRecentFolderValue, recent.Path());
    MakeFile(recent / "report.doc.lnk", 100);
    FillKey(kRecentDocsKey, {"0", "1", "MRUListEx"});
    FillKey(std::string(kRecentDocsKey) + "\\.doc", {"0", "MRUListEx"});
    EXPECT_EQ(PreviewedValues([&] { EraseRecentDocuments(log_); }).size(), 6u) << "the shortcut and five values";
    EXPECT_TRUE(FileExists(recent / "report.doc.lnk"));
    SetCounters(0, 0, 7, 0, 0, 100);
    log_.history.clear();

    EraseRecentDocuments(log_);

    EXPECT_EQ(log_.history, (Lines{"+1 files were erased, 100 Bytes hard disk space was released.",
                                   "+5 registry entries were erased."}));
    EXPECT_EQ(TotalErasedRegistryCount, 105);
    EXPECT_EQ(ValueCount(kRecentDocsKey), 0u);
    EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, std::string(kRecentDocsKey) + "\\.doc"));

    // Without the key, the item's lines are what they always were.
    DeleteRegTree(HKEY_CURRENT_USER, kRecentDocsKey);
    log_.history.clear();
    EraseRecentDocuments(log_);
    EXPECT_EQ(log_.history, (Lines{"+0 files were erased, 0 Byte hard disk space was released."}));
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, kRecentDocsKey));
}

TEST(ClearClipboard, EmptiesWhatAnotherWriterLeft) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const wchar_t text[] = L"secret";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
    memcpy(GlobalLock(memory), text, sizeof text);
    GlobalUnlock(memory);
    ASSERT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
    CloseClipboard();
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));

    RecordingLog log;
    ClearClipboard(log);

    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(CountClipboardFormats(), 0);
}

// Windows' clipboard history as the tests answer for it: the calls it saw, and its answer.
std::vector<ClipboardHistoryCall> historyCalls;
ClipboardHistoryAnswer historyAnswer = ClipboardHistoryAnswer::NotAvailable;
ClipboardHistoryAnswer AnswerForHistory(ClipboardHistoryCall call) {
    historyCalls.push_back(call);
    return historyAnswer;
}

class ClipboardHistoryTest : public ::testing::Test {
protected:
    ClipboardHistoryTest() {
        historyCalls.clear();
        NotErasedEntries.clear();
        DivertClipboardHistory(AnswerForHistory);
    }
    ~ClipboardHistoryTest() override {
        DivertClipboardHistory(nullptr);
        NotErasedEntries.clear();
    }
    RecordingLog log_;
};

TEST_F(ClipboardHistoryTest, ItIsClearedWhereWindowsHasOneAndSaidPlainlyWhereNot) {
    using Call = ClipboardHistoryCall;
    using Answer = ClipboardHistoryAnswer;
    historyAnswer = Answer::Cleared;
    ClearClipboard(log_);
    EXPECT_EQ(historyCalls, std::vector<Call>{Call::Clear});
    EXPECT_TRUE(log_.lines.empty());

    historyAnswer = Answer::NotAvailable;
    ClearClipboard(log_);
    EXPECT_EQ(log_.lines, Lines{kNoClipboardHistoryLine});
    EXPECT_TRUE(NotErasedEntries.empty()) << "nothing to erase is nothing left";

    historyAnswer = Answer::Failed;
    log_.lines.clear();
    ClearClipboard(log_);
    EXPECT_EQ(log_.lines, Lines{kClipboardHistoryFailedLine});
    ASSERT_EQ(NotErasedEntries.size(), 1u);
    EXPECT_EQ(NotErasedEntries[0].what, "the clipboard history");
}

TEST_F(ClipboardHistoryTest, APreviewOnlyAsksAndListsTheClearingWhereItCanBeDone) {
    using Call = ClipboardHistoryCall;
    for (const ClipboardHistoryAnswer answer :
         {ClipboardHistoryAnswer::Cleared, ClipboardHistoryAnswer::NotAvailable}) {
        historyAnswer = answer;
        historyCalls.clear();
        Lines actions;
        BeginFindingPlan();
        BeginPlanGroup("Erasing Contents of ClipBoard ...");
        ClearClipboard(log_);
        for (const PlanGroup& group : EndFindingPlan()) {
            for (const PlanEntry& entry : group.entries) {
                actions.push_back(entry.what);
            }
        }
        EXPECT_EQ(historyCalls, std::vector<Call>{Call::Ask}) << "a preview never clears";
        EXPECT_EQ(actions, answer == ClipboardHistoryAnswer::Cleared
                               ? (Lines{"Empty the clipboard", kClearClipboardHistoryWords})
                               : Lines{"Empty the clipboard"});
    }
    EXPECT_TRUE(log_.lines.empty());
}

// The page-file value put back as it was after each test.
class PageFileTest : public ::testing::Test {
protected:
    PageFileTest() {
        RegKey key = OpenRegKey(HKEY_LOCAL_MACHINE, kMemoryManagementKey);
        saved_ = key ? GetRegDword(key.get(), kClearPageFileValue) : std::nullopt;
        Remove();
    }
    ~PageFileTest() override {
        Remove();
        if (saved_) {
            SetRegDword(CreateRegKey(HKEY_LOCAL_MACHINE, kMemoryManagementKey).get(), kClearPageFileValue, *saved_);
        }
    }
    static void Remove() {
        if (RegKey key = OpenRegKey(HKEY_LOCAL_MACHINE, kMemoryManagementKey, KEY_SET_VALUE)) {
            DeleteRegValue(key.get(), kClearPageFileValue);
        }
    }
    static std::optional<DWORD> Value() {
        RegKey key = OpenRegKey(HKEY_LOCAL_MACHINE, kMemoryManagementKey);
        return key ? GetRegDword(key.get(), kClearPageFileValue) : std::nullopt;
    }
    std::optional<DWORD> saved_;
};

TEST_F(PageFileTest, SetsTheValueOnTheNtFamily) {
    SetClearPageFileAtShutdown();
    EXPECT_EQ(Value(), std::optional<DWORD>(1));
}

TEST_F(PageFileTest, OnlyTheNtFamilySetsTheValue) {
    // Wine reads its Windows version per program when the program starts: the item runs in a copy
    // of the helper program that is given the version.
    ScratchFolder scratch;
    const std::string exe = scratch / "qvpagefile.exe";
    ASSERT_TRUE(CopyFileW(WidePath(ItemHelperPath()).c_str(), WidePath(exe).c_str(), FALSE));
    const std::string appDefaults = "Software\\Wine\\AppDefaults\\qvpagefile.exe";
    RegistryTreeRestore restore(HKEY_CURRENT_USER, appDefaults);
    const struct {
        const char* version;
        DWORD family; // the helper's exit code: 10 NewWinNT, 11 Win9x, 12 OldWinNt
        std::optional<DWORD> value;
    } cases[] = {
        {"win98", 11, std::nullopt}, {"winme", 11, std::nullopt}, {"nt40", 12, std::nullopt}, {"winxp", 10, 1}};
    for (const auto& c : cases) {
        Remove();
        SetRegString(CreateRegKey(HKEY_CURRENT_USER, appDefaults).get(), "Version", c.version);
        KernelHandle process = StartProcess(exe, "pagefile");
        ASSERT_TRUE(process) << c.version;
        EXPECT_EQ(ExitCodeWithin(process.get(), 20000), std::optional<DWORD>(c.family)) << c.version;
        EXPECT_EQ(Value(), c.value) << c.version;
    }
}

} // namespace
