// The items for the traces of Windows Vista to 11 against the real registry and files of the test
// prefix: the keys are laid out for each test and put back afterwards, %AppData% and %LocalAppData%
// point at scratch folders, and the calls Wine lacks (jump lists) or only pretends to make (the DNS
// flush) are answered by the test.
#include "ItemTestSupport.h"

#include "engine/FolderWipe.h"
#include "engine/TodaysWindows.h"
#include "gate/SafetyGate.h"
#include "platform/DnsCache.h"
#include "platform/JumpLists.h"
#include "support/ChildProcess.h"
#include "support/RecordingLog.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>

namespace {

using Lines = std::vector<std::string>;

const std::string kUserAssist = kUserAssistKey;
const std::string kExplorerGuid = kUserAssist + "\\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}";
const std::string kShortcutGuid = kUserAssist + "\\{F4E57C4B-2036-45F0-A9AB-443BCFE33D9F}";
const std::string kBrowsed = kShellBagPlaces[0].browsed;
const std::string kViews = kShellBagPlaces[0].views;
const std::string kLocalBrowsed = kShellBagPlaces[2].browsed;
const std::string kLocalViews = kShellBagPlaces[2].views;

size_t Count(const Lines& entries, const std::string& prefix) {
    return static_cast<size_t>(std::count_if(entries.begin(), entries.end(),
                                             [&](const std::string& entry) { return entry.rfind(prefix, 0) == 0; }));
}

class TodaysRegistryItemsTest : public ::testing::Test {
protected:
    TodaysRegistryItemsTest() {
        std::vector<std::string> keys = {kTypedPathsKey, kUserAssistKey};
        for (const ShellBagPlace& place : kShellBagPlaces) {
            keys.insert(keys.end(), {place.browsed, place.views});
        }
        for (const std::string& key : keys) {
            restores_.push_back(std::make_unique<RegistryTreeRestore>(HKEY_CURRENT_USER, key));
            DeleteRegTree(HKEY_CURRENT_USER, key);
        }
        SetCounters(0, 0, 7, 0, 0, 100);
    }
    ~TodaysRegistryItemsTest() override { SetNeverErase({}); }

    std::vector<std::unique_ptr<RegistryTreeRestore>> restores_;
    RecordingLog log_;
};

TEST_F(TodaysRegistryItemsTest, TheAddressBarLosesEveryValueOfAnyTypeAndKeepsItsKey) {
    FillKey(kTypedPathsKey, {"url1", "url2"});
    {
        RegKey key = OpenRegKey(HKEY_CURRENT_USER, kTypedPathsKey, KEY_SET_VALUE);
        ASSERT_TRUE(SetRegDword(key.get(), "url3", 3));
        ASSERT_TRUE(SetRegValue(key.get(), "url4", {REG_BINARY, std::string(100000, '\x7f')}));
    }
    const Lines preview = PreviewedValues([&] { EraseExplorerTypedPaths(log_); });
    EXPECT_EQ(Count(preview, std::to_string(PlanEntry::RegistryValue) + " "), 4u);
    EXPECT_EQ(ValueCount(kTypedPathsKey), 4u) << "a preview changes nothing";
    SetCounters(0, 0, 7, 0, 0, 100);
    log_.history.clear();

    EraseExplorerTypedPaths(log_);

    EXPECT_EQ(log_.history, Lines{"+4 registry entries were erased."});
    EXPECT_EQ(ErasedRegistryCount, 4);
    EXPECT_EQ(TotalErasedRegistryCount, 104);
    EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, kTypedPathsKey));
    EXPECT_EQ(ValueCount(kTypedPathsKey), 0u);
}

TEST_F(TodaysRegistryItemsTest, MissingKeysAreNotCreatedAndCountNothing) {
    EraseExplorerTypedPaths(log_);
    EraseProgramLaunchCounters(log_);
    EraseShellBags(log_);

    EXPECT_EQ(log_.history, (Lines{"+0 registry entry was erased.", "+0 registry entry was erased.",
                                   "+0 registry entry was erased."}));
    EXPECT_EQ(TotalErasedRegistryCount, 100);
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, kTypedPathsKey));
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, kUserAssistKey));
    for (const ShellBagPlace& place : kShellBagPlaces) {
        EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, place.browsed)) << place.browsed;
        EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, place.views)) << place.views;
    }
}

TEST_F(TodaysRegistryItemsTest, LaunchCountersGoAndTheSettingsAndEachProgramKeysOwnValuesStay) {
    FillKey(kExplorerGuid + "\\Count",
            {"HRZR_PGYFRFFVBA", "{1NP14R77-02R7-4R5Q-O744-2RO1NR5198O7}\\abgrcnq.rkr", "HRZR_PGYPHNPbhag:pgbe"});
    FillKey(kShortcutGuid + "\\Count", {"HRZR_PGYFRFFVBA", "P:\\Hfref\\cvp.yax"});
    FillKey(kExplorerGuid, {"Version"});
    FillKey(kUserAssist + "\\Settings", {"NoLog"});
    FillKey(kUserAssist + "\\Settings\\Count", {"kept"});
    EXPECT_EQ(PreviewedValues([&] { EraseProgramLaunchCounters(log_); }).size(), 5u);
    SetCounters(0, 0, 7, 0, 0, 100);
    log_.history.clear();

    EraseProgramLaunchCounters(log_);

    EXPECT_EQ(log_.history, Lines{"+5 registry entries were erased."});
    EXPECT_EQ(TotalErasedRegistryCount, 105);
    EXPECT_EQ(ValueCount(kExplorerGuid + "\\Count"), 0u);
    EXPECT_EQ(ValueCount(kShortcutGuid + "\\Count"), 0u);
    EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, kShortcutGuid + "\\Count")) << "the keys stay";
    EXPECT_EQ(ValueCount(kExplorerGuid), 1u) << "only the counters go";
    EXPECT_EQ(ValueCount(kUserAssist + "\\Settings"), 1u);
    EXPECT_EQ(ValueCount(kUserAssist + "\\Settings\\Count"), 1u) << "the Settings key is never touched";
}

// A place's ShellBags as Windows lays them out: the desktop's bag numbered by BagMRU's NodeSlot,
// two browsed folders (one below the other) with their bags, AllFolders, and a second bag with
// the desktop's icon layout.
void LayOutShellBags(const std::string& browsed, const std::string& views) {
    {
        RegKey key = CreateRegKey(HKEY_CURRENT_USER, browsed);
        ASSERT_TRUE(SetRegDword(key.get(), "NodeSlot", 1));
        ASSERT_TRUE(SetRegValue(key.get(), "NodeSlots", {REG_BINARY, std::string("\x02\x02\x02\x02\x02", 5)}));
        ASSERT_TRUE(SetRegValue(key.get(), "MRUListEx", {REG_BINARY, std::string("\0\0\0\0\xff\xff\xff\xff", 8)}));
        ASSERT_TRUE(SetRegValue(key.get(), "0", {REG_BINARY, std::string("a shell item of D:\\private", 26)}));
    }
    FillKey(browsed + "\\0", {"0", "MRUListEx"});
    {
        RegKey key = OpenRegKey(HKEY_CURRENT_USER, browsed + "\\0", KEY_SET_VALUE);
        ASSERT_TRUE(SetRegDword(key.get(), "NodeSlot", 2));
    }
    FillKey(browsed + "\\0\\0", {"MRUListEx"});
    FillKey(views + "\\1\\Shell\\{5C4F28B5-F869-4E84-8E60-F11DB97C5CC7}", {"Mode"});
    FillKey(views + "\\2\\Shell\\{5C4F28B5-F869-4E84-8E60-F11DB97C5CC7}", {"Mode", "GroupView"});
    FillKey(views + "\\3\\ComDlg\\{7D49D726-3C21-4F05-99AA-FDC2C9474656}", {"Mode"});
    FillKey(views + "\\4\\Desktop", {"IconLayouts", "FFlags"});
    FillKey(views + "\\AllFolders\\Shell", {"FolderType"});
}

TEST_F(TodaysRegistryItemsTest, ShellBagsLoseTheBrowsedFoldersAndKeepAllFoldersAndTheDesktop) {
    LayOutShellBags(kBrowsed, kViews);
    LayOutShellBags(kLocalBrowsed, kLocalViews);
    // Per place: MRUListEx and "0" of BagMRU, its one sub-key tree, and bags 2 and 3.
    const Lines preview = PreviewedValues([&] { EraseShellBags(log_); });
    EXPECT_EQ(Count(preview, std::to_string(PlanEntry::RegistryValue) + " "), 4u);
    EXPECT_EQ(Count(preview, std::to_string(PlanEntry::RegistryKey) + " "), 6u);
    EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, kViews + "\\2")) << "a preview changes nothing";
    SetCounters(0, 0, 7, 0, 0, 100);
    log_.history.clear();

    EraseShellBags(log_);

    EXPECT_EQ(log_.history, Lines{"+10 registry entries were erased."});
    EXPECT_EQ(TotalErasedRegistryCount, 110);
    for (const std::string& views : {kViews, kLocalViews}) {
        EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, views + "\\1")) << "the bag NodeSlot names stays";
        EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, views + "\\4\\Desktop")) << "the desktop's icons stay";
        EXPECT_EQ(ValueCount(views + "\\4\\Desktop"), 2u);
        EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, views + "\\AllFolders\\Shell"));
        EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, views + "\\2"));
        EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, views + "\\3"));
    }
    for (const std::string& browsed : {kBrowsed, kLocalBrowsed}) {
        RegKey key = OpenRegKey(HKEY_CURRENT_USER, browsed);
        ASSERT_TRUE(key) << browsed;
        EXPECT_TRUE(RegSubKeyNames(key.get()).empty());
        EXPECT_EQ(RegValueNames(key.get()), (Lines{"NodeSlot", "NodeSlots"}))
            << "Windows numbers new folders from these";
    }
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, kShellBagPlaces[1].browsed)) << "a missing place is not created";
}

TEST_F(TodaysRegistryItemsTest, ShellBagsMarkedNeverEraseStay) {
    LayOutShellBags(kBrowsed, kViews);
    SetNeverErase({"HKEY_CURRENT_USER" + kViews + "\\3", "HKEY_CURRENT_USER" + kBrowsed + "\\0\\0"});

    EraseShellBags(log_);

    EXPECT_EQ(log_.lines, Lines{"3 registry entries were erased."})
        << "the two values and bag 2: the browsed folder holds a kept key, so it stays whole";
    EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, kViews + "\\3\\ComDlg\\{7D49D726-3C21-4F05-99AA-FDC2C9474656}"));
    EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, kBrowsed + "\\0\\0"));
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, kViews + "\\2"));
}

// %AppData% and %LocalAppData% pointed at scratch folders for one test.
class TodaysFileItemsTest : public ::testing::Test {
protected:
    TodaysFileItemsTest()
        : roamingOverride_("APPDATA", roaming_.Path()), localOverride_("LOCALAPPDATA", local_.Path()) {
        SetCounters(0, 0, 0, 0, 0, 0);
        NotErasedEntries.clear();
        log_.AppendLine(kPlaceholderLine); // the run writes the item's running line first
        log_.history.clear();
    }
    ~TodaysFileItemsTest() override { NotErasedEntries.clear(); }

    ScratchFolder roaming_;
    ScratchFolder local_;
    EnvironmentOverride roamingOverride_;
    EnvironmentOverride localOverride_;
    RecordingLog log_;
};

TEST_F(TodaysFileItemsTest, CrashReportsGoWithTheirFoldersAndWerAndItsOtherFilesStay) {
    const std::string wer = local_ / "Microsoft\\Windows\\WER";
    MakeFile(wer + "\\ReportArchive\\AppCrash_notepad.exe_1\\Report.wer", 1000);
    MakeFile(wer + "\\ReportArchive\\AppCrash_notepad.exe_1\\memory.hdmp", 3000);
    MakeFile(wer + "\\ReportQueue\\AppHang_word.exe_2\\Report.wer", 500);
    MakeFile(local_ / "CrashDumps\\word.exe.4242.dmp", 4000);
    MakeFile(wer + "\\Temp\\settings.xml", 10);
    EXPECT_EQ(PreviewedValues([&] { EraseCrashReports("DoD", 0, log_); }).size(), 4u + 2u)
        << "four files and the two report folders";
    SetCounters(0, 0, 0, 0, 0, 0);
    EXPECT_TRUE(FileExists(local_ / "CrashDumps\\word.exe.4242.dmp"));

    EraseCrashReports("DoD", 0, log_);

    EXPECT_EQ(ErasedFileCount, 4);
    EXPECT_EQ(ReleasedByteCount, 8500);
    EXPECT_EQ(log_.lines.back(), "4 files were erased, 8.30 KB hard disk space was released.");
    EXPECT_FALSE(FolderExists(wer + "\\ReportArchive\\AppCrash_notepad.exe_1"));
    EXPECT_FALSE(FolderExists(wer + "\\ReportQueue\\AppHang_word.exe_2"));
    for (const std::string& folder : {wer + "\\ReportArchive", wer + "\\ReportQueue", local_ / "CrashDumps"}) {
        EXPECT_TRUE(FolderExists(folder)) << folder << " stays, empty";
    }
    EXPECT_TRUE(FileExists(wer + "\\Temp\\settings.xml"));
    EXPECT_TRUE(NotErasedEntries.empty());
}

TEST_F(TodaysFileItemsTest, ATraceFolderThatIsAFileOrALinkIsRefusedAndNothingBeyondItGoes) {
    WriteFileText(local_ / "CrashDumps", "a file where Windows keeps a folder");
    ScratchFolder elsewhere;
    MakeFile(elsewhere / "precious.dmp", 100);
    MakeFolders(local_ / "Microsoft\\Windows");
    const bool linked = MakeUnixSymlink(elsewhere.Path(), local_ / "Microsoft\\Windows\\WER");

    EraseCrashReports("DoD", 0, log_);

    EXPECT_EQ(ErasedFileCount, 0);
    EXPECT_EQ(ReadFileText(local_ / "CrashDumps"), "a file where Windows keeps a folder");
    EXPECT_TRUE(std::count(log_.lines.begin(), log_.lines.end(),
                           "Refused: " + local_ / "CrashDumps (a file where a folder was expected)"));
    EXPECT_EQ(log_.lines.back(), "0 files were erased, 0 Byte hard disk space was released.")
        << "the running line stays last";
    if (linked) {
        EXPECT_TRUE(FileExists(elsewhere / "precious.dmp"));
        EXPECT_TRUE(std::count(
            log_.lines.begin(), log_.lines.end(),
            "Refused: " +
                local_ / "Microsoft\\Windows\\WER\\ReportArchive (reached through a link, which is never followed)"));
        RemoveUnixSymlink(local_ / "Microsoft\\Windows\\WER");
    }
}

TEST_F(TodaysFileItemsTest, ALocalAppDataThatNamesNoFullFolderIsRefused) {
    MakeFile(local_ / "CrashDumps\\word.exe.1.dmp", 10);
    // Read against the current folder, the relative name would reach this bystander.
    ScratchFolder current;
    MakeFile(current / "AppData\\Local\\CrashDumps\\bystander.dmp", 10);
    wchar_t before[MAX_PATH] = {};
    ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, before), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(WidePath(current.Path()).c_str()));
    EnvironmentOverride relative("LOCALAPPDATA", std::string("AppData\\Local"));

    EraseCrashReports("DoD", 0, log_);
    EraseThumbnailCaches("DoD", 0, log_);
    SetCurrentDirectoryW(before);

    EXPECT_EQ(ErasedFileCount, 0);
    EXPECT_TRUE(FileExists(current / "AppData\\Local\\CrashDumps\\bystander.dmp"));
    EXPECT_TRUE(FileExists(local_ / "CrashDumps\\word.exe.1.dmp"));
    EXPECT_TRUE(std::count(log_.lines.begin(), log_.lines.end(),
                           "Refused: %LocalAppData%\\CrashDumps (%LocalAppData% names no full folder)"));
    EXPECT_TRUE(
        std::count(log_.lines.begin(), log_.lines.end(),
                   "Refused: %LocalAppData%\\Microsoft\\Windows\\Explorer (%LocalAppData% names no full folder)"));
}

TEST_F(TodaysFileItemsTest, ThePowerShellHistoryGoesAndItsNeighboursStay) {
    const std::string history = roaming_ / kPowerShellHistory;
    MakeFolders(FolderOf(history));
    WriteFileText(history, "Get-Credential\r\n$password = 'hunter2'\r\n");
    WriteFileText(FolderOf(history) + "Profile.ps1", "# mine");
    EXPECT_EQ(PreviewedValues([&] { ErasePowerShellHistory("DoD", 0, log_); }).size(), 1u);
    SetCounters(0, 0, 0, 0, 0, 0);

    ErasePowerShellHistory("DoD", 0, log_);

    EXPECT_FALSE(FileExists(history));
    EXPECT_EQ(ErasedFileCount, 1);
    EXPECT_EQ(ReleasedByteCount, 39);
    EXPECT_TRUE(FileExists(FolderOf(history) + "Profile.ps1"));

    ErasePowerShellHistory("DoD", 0, log_);
    EXPECT_EQ(ErasedFileCount, 0) << "a missing history counts nothing";
    EXPECT_FALSE(FileExists(history)) << "nor is it created";
}

TEST_F(TodaysFileItemsTest, ThumbnailCachesGoAndOneHeldOpenIsListedWithItsHolder) {
    const std::string explorer = local_ / kExplorerCacheFolder;
    MakeFile(explorer + "\\thumbcache_256.db", 2048);
    MakeFile(explorer + "\\iconcache_16.db", 1024);
    MakeFile(explorer + "\\thumbcache_idx.db", 512);
    MakeFile(explorer + "\\ExplorerStartupLog.etl", 64);
    FileHandle held(CreateFileW(WidePath(explorer + "\\thumbcache_idx.db").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);

    EraseThumbnailCaches("DoD", 0, log_);

    EXPECT_FALSE(FileExists(explorer + "\\thumbcache_256.db"));
    EXPECT_FALSE(FileExists(explorer + "\\iconcache_16.db"));
    EXPECT_TRUE(FileExists(explorer + "\\thumbcache_idx.db"));
    EXPECT_TRUE(FileExists(explorer + "\\ExplorerStartupLog.etl"));
    EXPECT_EQ(ErasedFileCount, 2);
    EXPECT_EQ(ReleasedByteCount, 3072);
    ASSERT_EQ(NotErasedEntries.size(), 1u);
    EXPECT_EQ(NotErasedEntries[0].what, explorer + "\\thumbcache_idx.db");
    EXPECT_TRUE(IsInUseReason(NotErasedEntries[0].why)) << NotErasedEntries[0].why;
}

// Windows' jump lists and DNS cache as the tests answer for them: the calls they saw, the answers.
std::vector<std::string> jumpListCalls;
JumpListAnswer jumpListAnswer = JumpListAnswer::NotAvailable;
std::string jumpListFailing;
JumpListAnswer AnswerForJumpList(const std::string& appId, JumpListCall call) {
    jumpListCalls.push_back((call == JumpListCall::Ask ? "ask " : "clear ") + appId);
    return appId == jumpListFailing && call == JumpListCall::Clear ? JumpListAnswer::Failed : jumpListAnswer;
}
int dnsFlushes = 0;
DnsFlushAnswer dnsAnswer = DnsFlushAnswer::Flushed;
DnsFlushAnswer AnswerForDnsFlush() {
    ++dnsFlushes;
    return dnsAnswer;
}

class TodaysCallsTest : public ::testing::Test {
protected:
    TodaysCallsTest() {
        jumpListCalls.clear();
        jumpListFailing.clear();
        dnsFlushes = 0;
        NotErasedEntries.clear();
        SetCounters(0, 0, 0, 0, 0, 0);
        DivertJumpLists(AnswerForJumpList);
        DivertDnsFlush(AnswerForDnsFlush);
    }
    ~TodaysCallsTest() override {
        DivertJumpLists(nullptr);
        DivertDnsFlush(nullptr);
        NotErasedEntries.clear();
    }
    RecordingLog log_;
};

TEST_F(TodaysCallsTest, JumpListsAreClearedThroughWindowsOwnCallAndWhatIsNotIsSaid) {
    jumpListAnswer = JumpListAnswer::NotAvailable;
    ClearJumpLists(log_);
    EXPECT_EQ(jumpListCalls, Lines{"ask Microsoft.Windows.Explorer"});
    EXPECT_EQ(log_.lines, Lines{kNoJumpListsLine});
    EXPECT_TRUE(NotErasedEntries.empty()) << "nothing to clear is nothing left";

    jumpListAnswer = JumpListAnswer::Cleared;
    jumpListFailing = "MSEdge";
    jumpListCalls.clear();
    log_.lines.clear();
    ClearJumpLists(log_);
    Lines expected{"ask Microsoft.Windows.Explorer"};
    for (const char* program : kJumpListPrograms) {
        expected.push_back(std::string("clear ") + program);
    }
    EXPECT_EQ(jumpListCalls, expected);
    EXPECT_EQ(log_.lines,
              (Lines{"The jump list of MSEdge could not be cleared.",
                     "The recent and frequent entries of " + std::to_string(std::size(kJumpListPrograms) - 1) +
                         " jump lists were cleared; pinned entries stay."}));
    ASSERT_EQ(NotErasedEntries.size(), 1u);
    EXPECT_EQ(NotErasedEntries[0].what, "the jump list of MSEdge");
    EXPECT_EQ(ErasedFileCount + ErasedRegistryCount + TotalErasedFileCount + TotalErasedRegistryCount, 0)
        << "nothing is counted";
}

TEST_F(TodaysCallsTest, APreviewOnlyAsksAndListsEachJumpListWhereItCanBeCleared) {
    for (const JumpListAnswer answer : {JumpListAnswer::Cleared, JumpListAnswer::NotAvailable}) {
        jumpListAnswer = answer;
        jumpListCalls.clear();
        const Lines actions = PreviewedValues([&] { ClearJumpLists(log_); });
        EXPECT_EQ(jumpListCalls, Lines{"ask Microsoft.Windows.Explorer"}) << "a preview never clears";
        ASSERT_EQ(actions.size(), answer == JumpListAnswer::Cleared ? std::size(kJumpListPrograms) : 0u);
        if (!actions.empty()) {
            EXPECT_EQ(actions[0], std::to_string(PlanEntry::Action) +
                                      " Clear the recent and frequent entries of the jump list of "
                                      "Microsoft.Windows.Explorer (pinned entries stay)");
        }
    }
    EXPECT_TRUE(log_.lines.empty());
}

TEST_F(TodaysCallsTest, TheDnsFlushSaysHowItWentAndListsWhatItCouldNotDo) {
    const std::pair<DnsFlushAnswer, const char*> answers[] = {{DnsFlushAnswer::Flushed, kDnsFlushedLine},
                                                              {DnsFlushAnswer::NotAvailable, kNoDnsCacheLine},
                                                              {DnsFlushAnswer::Denied, kDnsDeniedLine},
                                                              {DnsFlushAnswer::Failed, kDnsFailedLine}};
    for (const auto& [answer, line] : answers) {
        dnsAnswer = answer;
        log_.lines.clear();
        NotErasedEntries.clear();
        FlushDnsCacheItem(log_);
        EXPECT_EQ(log_.lines, Lines{line});
        const bool listed = answer == DnsFlushAnswer::Denied || answer == DnsFlushAnswer::Failed;
        ASSERT_EQ(NotErasedEntries.size(), listed ? 1u : 0u) << line;
        if (listed) {
            EXPECT_EQ(NotErasedEntries[0].what, "Windows' DNS cache");
        }
    }
    EXPECT_EQ(dnsFlushes, 4);
    EXPECT_EQ(TotalErasedFileCount + TotalErasedRegistryCount, 0) << "nothing is counted";

    log_.lines.clear();
    EXPECT_EQ(PreviewedValues([&] { FlushDnsCacheItem(log_); }),
              Lines{std::to_string(PlanEntry::Action) + " " + kFlushDnsWords});
    EXPECT_EQ(dnsFlushes, 4) << "a preview never flushes";
    EXPECT_TRUE(log_.lines.empty());
}

} // namespace
