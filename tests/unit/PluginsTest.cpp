// Plug-in files and their four methods against real files in scratch folders and real keys below a
// scratch registry key: which files run, the lines they write, how entries are split and read,
// placeholders, and what is counted.
#include "engine/FolderWipe.h"
#include "engine/Plugins.h"
#include "engine/RunState.h"
#include "gate/SafetyGate.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "support/ChildProcess.h"
#include "support/Overrides.h"
#include "support/RecordingLog.h"
#include "support/Scratch.h"
#include "store/IniDocument.h"
#include "unit/ItemTestSupport.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <optional>

namespace {

// The plug-in step's own lines, spelled as the user sees them.
constexpr const char* kStepStart = "Erasing Plug-ins Information ...";
constexpr const char* kStepCompleted = "Erasing Plug-ins Information ... Completed";
constexpr const char* kPluginFirstLine = "0 file was erased, 0 regitry entry was erased.";

constexpr const char* kNothingErased = "0 registry entries were erased. 0 files were erased, 0 Byte hard disk space "
                                       "was released.";

void ResetRunState() {
    StopRequested = false;
    SetCounters(0, 0, 0, 0, 0, 0);
}

std::string PluginText(const std::string& description, bool selected, const std::string& methodLines) {
    return "[Information]\r\nDescription=" + description + "\r\nSelected=" + (selected ? "1" : "0") + "\r\n" +
           (methodLines.empty() ? "" : "[Method]\r\n" + methodLines);
}

class PluginStepTest : public ::testing::Test {
protected:
    void SetUp() override { ResetRunState(); }
    void TearDown() override { ResetRunState(); }

    std::string PluginDir() const { return scratch_ / "Plug-ins\\"; }
    void MakePluginDir() const { ASSERT_TRUE(CreateFolder(PluginDir())); }
    void AddPlugin(const std::string& name, const std::string& text) const { WriteFileText(PluginDir() + name, text); }

    ScratchFolder scratch_;
    RecordingLog log_;
};

TEST_F(PluginStepTest, WithoutTheFolderNothingIsWritten) {
    ErasePluginsIn(PluginDir(), "DoD", 2, log_);
    EXPECT_TRUE(log_.lines.empty());
}

TEST_F(PluginStepTest, AFolderWithNothingSelectedWritesOnlyTheStepLines) {
    MakePluginDir();
    const std::vector<std::string> stepOnly{kStepStart, "", kStepCompleted, ""};
    ErasePluginsIn(PluginDir(), "DoD", 2, log_);
    EXPECT_EQ(log_.lines, stepOnly) << "empty folder";

    log_.lines.clear();
    AddPlugin("Off.qv", PluginText("Off", false, "DelFiles=" + (scratch_ / "x.txt") + "\r\n"));
    AddPlugin("NoSelected.qv", "[Information]\r\nDescription=Missing\r\n");
    AddPlugin("Words.qv", "[Information]\r\nDescription=Words\r\nSelected=yes\r\n");
    ASSERT_TRUE(CreateFolder(PluginDir() + "Folder.qv"));
    WriteFileText(scratch_ / "x.txt", "kept");
    ErasePluginsIn(PluginDir(), "DoD", 2, log_);
    EXPECT_EQ(log_.lines, stepOnly) << "only unselected entries";
    EXPECT_TRUE(FileExists(scratch_ / "x.txt"));
}

TEST_F(PluginStepTest, ASelectedPluginWithoutMethodsWritesItsLinesAndErasesNothing) {
    MakePluginDir();
    AddPlugin("Sample.qv", PluginText("Sample cleaner", true, ""));
    ErasePluginsIn(PluginDir(), "DoD", 2, log_);
    EXPECT_EQ(log_.lines, (std::vector<std::string>{kStepStart, "", "Sample cleaner ...", kNothingErased,
                                                    "Sample cleaner ... Completed", "", kStepCompleted, ""}));
    // The running line starts as the plug-in's own spelling.
    EXPECT_NE(std::find(log_.history.begin(), log_.history.end(), std::string("+") + kPluginFirstLine),
              log_.history.end());
}

TEST_F(PluginStepTest, AnyFileNameRunsWhenSelected) {
    MakePluginDir();
    WriteFileText(scratch_ / "log.txt", "trace");
    AddPlugin("notes.txt", PluginText("Notes", true, "DelFiles=" + (scratch_ / "log.txt") + "\r\n"));
    ErasePluginsIn(PluginDir(), "DoD", 2, log_);
    EXPECT_FALSE(FileExists(scratch_ / "log.txt"));
    EXPECT_EQ(log_.lines.at(2), "Notes ...");
}

TEST_F(PluginStepTest, TwoPluginsAddTheirFilesToTheTotalsAndShowOnlyTheirOwnCounts) {
    MakePluginDir();
    for (const char* name : {"a1.txt", "a2.txt", "b1.txt"}) {
        WriteFileText(scratch_ / name, std::string(100, 'x'));
    }
    AddPlugin("A.qv", PluginText("Cleaner A", true,
                                 "DelFiles=" + (scratch_ / "a1.txt") + ";" + (scratch_ / "a2.txt") + "\r\n"));
    AddPlugin("B.qv", PluginText("Cleaner B", true, "DelFiles=" + (scratch_ / "b1.txt") + "\r\n"));
    SetCounters(0, 0, 0, 5, 500, 1); // totals of the items before

    ErasePluginsIn(PluginDir(), "DoD", 2, log_);

    EXPECT_EQ(TotalErasedFileCount, 8);
    EXPECT_EQ(TotalReleasedByteCount, 800);
    EXPECT_EQ(TotalErasedRegistryCount, 1);
    auto after = [this](const std::string& line) {
        auto at = std::find(log_.lines.begin(), log_.lines.end(), line);
        return at == log_.lines.end() || at + 1 == log_.lines.end() ? std::string("<missing>") : *(at + 1);
    };
    EXPECT_EQ(after("Cleaner A ..."), "0 registry entries were erased. 2 files were erased, 200 Bytes hard disk space "
                                      "was released.");
    EXPECT_EQ(after("Cleaner B ..."), "0 registry entries were erased. 1 files were erased, 100 Bytes hard disk space "
                                      "was released.");
    EXPECT_EQ(log_.lines.size(), 2u + 2 * 4 + 2);
}

TEST_F(PluginStepTest, MethodsRunInTheirFixedOrderWhateverTheFileSays) {
    MakePluginDir();
    ScratchRegKey key;
    ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, key.Path() + "\\Old"));
    WriteFileText(scratch_ / "trace.txt", "12345");
    AddPlugin("Order.qv", PluginText("Order", true,
                                     "DelFiles=" + (scratch_ / "trace.txt") + "\r\nDelRegKey=HKEY_CURRENT_USER\\" +
                                         key.Path() + "\\Old\r\n"));
    ErasePluginsIn(PluginDir(), "DoD", 2, log_);
    std::vector<std::string> replacements;
    std::copy_if(log_.history.begin(), log_.history.end(), std::back_inserter(replacements),
                 [](const std::string& h) { return h.front() == '='; });
    EXPECT_EQ(replacements, (std::vector<std::string>{
                                "=1 registry entries were erased. 0 files were erased, 0 Byte hard disk space was "
                                "released.",
                                "=1 registry entries were erased. 1 files were erased, 5 Bytes hard disk space was "
                                "released.",
                                "=1 registry entries were erased. 1 files were erased, 5 Bytes hard disk space was "
                                "released.",
                            }));
}

TEST_F(PluginStepTest, AStopBeforeThePluginsRunsNoneAndLeavesOutTheCompletionLine) {
    MakePluginDir();
    WriteFileText(scratch_ / "kept.txt", "kept");
    AddPlugin("A.qv", PluginText("Cleaner A", true, "DelFiles=" + (scratch_ / "kept.txt") + "\r\n"));
    StopRequested = true;
    ErasePluginsIn(PluginDir(), "DoD", 2, log_);
    EXPECT_EQ(log_.lines, (std::vector<std::string>{kStepStart, "", ""}));
    EXPECT_TRUE(FileExists(scratch_ / "kept.txt"));
}

TEST_F(PluginStepTest, AValueCutAtTheCapDropsTheEntryTheCutFellInto) {
    MakePluginDir();
    const std::string data = scratch_ / "Data";
    ASSERT_TRUE(CreateFolder(data));
    WriteFileText(data + "\\notes.doc", "not a plug-in's trace");
    WriteFileText(data + "\\old.tmp", "trace");
    WriteFileText(scratch_ / "first.txt", "trace");
    // The cut falls right after the "*" of the last entry, which would then match every file.
    const std::string last = data + "\\*.tmp";
    const size_t beforeLast = IniDocument::kMaxValueChars - last.find('*') - 1;
    std::string list = (scratch_ / "first.txt") + ";";
    while (list.size() + 8 < beforeLast) {
        list += "X:\\none;";
    }
    if (list.size() < beforeLast) {
        list += std::string(beforeLast - list.size() - 1, 'y') + ";";
    }
    ASSERT_EQ(list.size(), beforeLast);
    list += last;
    AddPlugin("Long.qv", PluginText("Long", true, "DelFolder=" + list + "\r\nDelFiles=" + list + "\r\n"));

    ErasePluginsIn(PluginDir(), "DoD", 2, log_);

    EXPECT_TRUE(FileExists(data + "\\notes.doc"));
    EXPECT_TRUE(FileExists(data + "\\old.tmp")); // the cut entry is not run at all
    EXPECT_FALSE(FileExists(scratch_ / "first.txt"));
}

TEST(SplitPluginEntries, CutsAtEverySemicolonWithoutTrimming) {
    const struct {
        const char* list;
        std::vector<std::string> entries;
    } cases[] = {
        {"", {""}},        {"a", {"a"}},         {"a;b", {"a", "b"}},       {"a; b", {"a", " b"}},
        {"a;", {"a", ""}}, {";;", {"", "", ""}}, {" a ;b ", {" a ", "b "}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitPluginEntries(c.list), c.entries) << '"' << c.list << '"';
    }
}

class PluginRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetRunState();
        NotErasedEntries.clear();
        log_.AppendLine(kPluginFirstLine);
    }
    void TearDown() override { ResetRunState(); }

    std::string KeyEntry(const std::string& root, const std::string& below) const {
        return root + "\\" + key_.Path() + "\\" + below;
    }
    RegKey Key(const std::string& below = "") const {
        return OpenRegKey(HKEY_CURRENT_USER, below.empty() ? key_.Path() : key_.Path() + "\\" + below);
    }

    ScratchRegKey key_;
    RecordingLog log_;
};

TEST_F(PluginRegistryTest, DelRegKeyWithALowerCaseRootDeletesTheTreeAndCountsOnce) {
    {
        RegKey deep = CreateRegKey(HKEY_CURRENT_USER, key_.Path() + "\\Sample\\Inner\\Deepest");
        ASSERT_TRUE(deep);
        SetRegString(deep.get(), "v", "1");
        RegKey sample = CreateRegKey(HKEY_CURRENT_USER, key_.Path() + "\\Sample");
        SetRegString(sample.get(), "w", "2");
    }
    RunPluginMethod(kDelRegKey, KeyEntry("hkey_current_user", "Sample"), "DoD", 2, log_);
    EXPECT_FALSE(Key("Sample"));
    EXPECT_TRUE(Key());
    EXPECT_EQ(ErasedRegistryCount, 1);
    EXPECT_EQ(log_.lines.back(),
              "1 registry entries were erased. 0 files were erased, 0 Byte hard disk space was released.");

    ErasedRegistryCount = 0;
    RunPluginMethod(kDelRegKey, KeyEntry("hkey_current_user", "Sample"), "DoD", 2, log_);
    EXPECT_EQ(ErasedRegistryCount, 0) << "a second run finds nothing";
}

TEST_F(PluginRegistryTest, AnApplicationsOwnKeyDirectlyUnderSoftwareGoesAndCountsOnce) {
    const std::string app = "Software\\QvSample" + std::to_string(GetCurrentProcessId());
    RegistryTreeRestore restore(HKEY_CURRENT_USER, app);
    ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, app + "\\Settings\\Recent"));
    RunPluginMethod(kDelRegKey, "hkey_current_user\\" + app, "DoD", 2, log_);
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, app));
    EXPECT_EQ(ErasedRegistryCount, 1);
    EXPECT_EQ(log_.lines.back(),
              "1 registry entries were erased. 0 files were erased, 0 Byte hard disk space was released.");
    RunPluginMethod(kDelRegKey, "hkey_current_user\\" + app, "DoD", 2, log_);
    EXPECT_EQ(ErasedRegistryCount, 1) << "a second run finds nothing";

    // Windows always has both; a fresh Wine prefix may lack the user's Classes key.
    ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, "Software\\Classes"));
    for (const char* shared : {"Software\\Microsoft", "Software\\Classes"}) {
        const size_t lines = log_.lines.size();
        RunPluginMethod(kDelRegKey, std::string("HKEY_CURRENT_USER\\") + shared, "DoD", 2, log_);
        EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, shared)) << shared;
        ASSERT_EQ(log_.lines.size(), lines + 1) << shared;
        EXPECT_EQ(log_.lines[lines - 1],
                  std::string("Refused: HKEY_CURRENT_USER\\") + shared + " (a protected registry key)");
    }
    EXPECT_EQ(ErasedRegistryCount, 1);
}

TEST_F(PluginRegistryTest, KeysAndValuesMarkedNeverEraseAreNeitherDeletedNorCountedNorListed) {
    {
        RegKey keep = CreateRegKey(HKEY_CURRENT_USER, key_.Path() + "\\Keep");
        ASSERT_TRUE(keep && SetRegString(keep.get(), "v", "1"));
        ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, key_.Path() + "\\Sibling"));
        RegKey values = CreateRegKey(HKEY_CURRENT_USER, key_.Path() + "\\Values");
        ASSERT_TRUE(values && SetRegString(values.get(), "kept", "1") && SetRegString(values.get(), "gone", "2"));
    }
    SetNeverErase({KeyEntry("HKEY_CURRENT_USER", "Keep"), KeyEntry("HKEY_CURRENT_USER", "Values\\kept")});
    RunPluginMethod(kDelRegKey,
                    KeyEntry("HKEY_CURRENT_USER", "Sibling") + ";" + KeyEntry("HKEY_CURRENT_USER", "Keep") + ";" +
                        KeyEntry("HKEY_CURRENT_USER", "Keep\\..\\Keep"),
                    "DoD", 2, log_);
    RunPluginMethod(kDelRegValue,
                    KeyEntry("HKEY_CURRENT_USER", "Values\\kept") + ";" + KeyEntry("HKEY_CURRENT_USER", "Values\\gone"),
                    "DoD", 2, log_);
    // The whole scratch key holds both.
    RunPluginMethod(kDelRegKey, "HKEY_CURRENT_USER\\" + key_.Path(), "DoD", 2, log_);
    SetNeverErase({});

    EXPECT_FALSE(Key("Sibling"));
    EXPECT_EQ(GetRegString(Key("Keep").get(), "v"), "1");
    EXPECT_EQ(GetRegString(Key("Values").get(), "kept"), "1");
    EXPECT_FALSE(GetRegString(Key("Values").get(), "gone"));
    EXPECT_EQ(ErasedRegistryCount, 2) << "the sibling and one value";
    EXPECT_TRUE(NotErasedEntries.empty());
    EXPECT_EQ(log_.lines.back(),
              "2 registry entries were erased. 0 files were erased, 0 Byte hard disk space was released.");
}

TEST_F(PluginRegistryTest, EntriesThatNameNoKeyEraseNothing) {
    ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, key_.Path() + "\\Sample"));
    const std::string cases[] = {
        KeyEntry("HKCU", "Sample"),                       // not one of the five root names
        " " + KeyEntry("HKEY_CURRENT_USER", "Sample"),    // a blank before the root
        KeyEntry("HKEY_CURRENT_USER", "Sample\\"),        // no sub-key name
        KeyEntry("HKEY_CURRENT_USER", "Missing\\Sample"), // a key path that is not there
        "HKEY_CURRENT_USER",                              // no backslash
        KeyEntry("HKEY_LOCAL_MACHINE", "Sample"),         // another root
    };
    for (const auto& entry : cases) {
        RunPluginMethod(kDelRegKey, entry, "DoD", 2, log_);
        EXPECT_TRUE(Key("Sample")) << entry;
    }
    EXPECT_EQ(ErasedRegistryCount, 0);
    EXPECT_EQ(log_.lines, std::vector<std::string>{kPluginFirstLine}) << "nothing erased, nothing written";
}

TEST_F(PluginRegistryTest, ABlankAfterTheSemicolonBelongsToTheNextEntry) {
    ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, key_.Path() + "\\First"));
    ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, key_.Path() + "\\Second"));
    RunPluginMethod(kDelRegKey, KeyEntry("HKEY_CURRENT_USER", "First") + "; " + KeyEntry("HKEY_CURRENT_USER", "Second"),
                    "DoD", 2, log_);
    EXPECT_FALSE(Key("First"));
    EXPECT_TRUE(Key("Second"));
    EXPECT_EQ(ErasedRegistryCount, 1);
}

TEST_F(PluginRegistryTest, AKeyDirectlyBelowARootIsRefusedAndKept) {
    // An empty key path names a key directly below the root: a whole part of the user's settings
    // (Environment, Software...), which no plug-in may delete.
    const std::string name = "QuorvalePluginTest" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, name + "\\Inner"));
    RunPluginMethod(kDelRegKey, "HKEY_CURRENT_USER\\" + name, "DoD", 2, log_);
    EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, name + "\\Inner"));
    EXPECT_EQ(ErasedRegistryCount, 0);
    EXPECT_EQ(log_.lines, (std::vector<std::string>{
                              "Refused: HKEY_CURRENT_USER\\" + name + " (a protected registry key)", kNothingErased}));
    DeleteRegTree(HKEY_CURRENT_USER, name);
}

TEST_F(PluginRegistryTest, DelRegValueDeletesWhatIsThereAndCountsOnlyThat) {
    {
        RegKey key = CreateRegKey(HKEY_CURRENT_USER, key_.Path());
        SetRegString(key.get(), "Present", "x");
        SetRegString(key.get(), "Other", "y");
        SetRegString(key.get(), "", "default");
    }
    RunPluginMethod(kDelRegValue,
                    KeyEntry("HKEY_CURRENT_USER", "Present") + ";" + KeyEntry("HKEY_CURRENT_USER", "Missing"), "DoD", 2,
                    log_);
    EXPECT_EQ(ErasedRegistryCount, 1);
    EXPECT_FALSE(GetRegString(Key().get(), "Present"));
    EXPECT_TRUE(GetRegString(Key().get(), "Other"));
    EXPECT_TRUE(GetRegString(Key().get(), ""));

    // An entry ending in a backslash names the key's default (unnamed) value: that one goes, the
    // key and its other values stay.
    RunPluginMethod(kDelRegValue, KeyEntry("HKEY_CURRENT_USER", ""), "DoD", 2, log_);
    EXPECT_EQ(ErasedRegistryCount, 2);
    EXPECT_FALSE(GetRegString(Key().get(), ""));
    EXPECT_TRUE(GetRegString(Key().get(), "Other"));
    EXPECT_EQ(log_.lines.back(),
              "2 registry entries were erased. 0 files were erased, 0 Byte hard disk space was released.");
    // Once gone, the same entry names nothing: no line, no count.
    const size_t lines = log_.lines.size();
    RunPluginMethod(kDelRegValue, KeyEntry("HKEY_CURRENT_USER", ""), "DoD", 2, log_);
    EXPECT_EQ(ErasedRegistryCount, 2);
    EXPECT_EQ(log_.lines.size(), lines);
    EXPECT_TRUE(NotErasedEntries.empty());
}

class PluginFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetRunState();
        log_.AppendLine(kPluginFirstLine);
    }
    void TearDown() override { ResetRunState(); }

    ScratchFolder scratch_;
    RecordingLog log_;
};

TEST_F(PluginFileTest, DelFilesWipesTheNamedFileAndCountsItsSize) {
    const std::string file = scratch_ / "log.txt";
    WriteFileText(file, std::string(1500, 'x'));
    RunPluginMethod(kDelFiles, file, "DoD", 2, log_);
    EXPECT_FALSE(FileExists(file));
    EXPECT_EQ(ErasedFileCount, 1);
    EXPECT_EQ(ReleasedByteCount, 1500);
    EXPECT_EQ(log_.lines.back(),
              "0 registry entries were erased. 1 files were erased, 1.46 KB hard disk space was released.");
}

TEST_F(PluginFileTest, DelFilesTakesNamesLiterallyAndSkipsWhatItCannotOpen) {
    WriteFileText(scratch_ / "a.log", "trace");
    ASSERT_TRUE(CreateFolder(scratch_ / "folder.log"));
    WriteFileText(scratch_ / "readonly.txt", "read-only");
    ASSERT_TRUE(SetAttributes(scratch_ / "readonly.txt", FILE_ATTRIBUTE_READONLY));
    WriteFileText(scratch_ / "locked.txt", "in use");
    FileHandle inUse(CreateFileW(WidePath(scratch_ / "locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(inUse);
    RunPluginMethod(kDelFiles,
                    (scratch_ / "*.log") + ";" + (scratch_ / "folder.log") + ";" + (scratch_ / "readonly.txt") + ";" +
                        (scratch_ / "locked.txt") + ";" + (scratch_ / "missing.txt"),
                    "DoD", 2, log_);
    inUse.reset();
    EXPECT_TRUE(FileExists(scratch_ / "a.log"));
    EXPECT_TRUE(FolderExists(scratch_ / "folder.log"));
    EXPECT_EQ(ReadFileText(scratch_ / "readonly.txt"), "read-only");
    EXPECT_EQ(ReadFileText(scratch_ / "locked.txt"), "in use");
    EXPECT_EQ(ErasedFileCount, 0);
    EXPECT_EQ(log_.lines, std::vector<std::string>{kPluginFirstLine});
    SetAttributes(scratch_ / "readonly.txt", 0);
}

TEST_F(PluginFileTest, DelFolderClearsAttributesSoAReadOnlyFileIsWiped) {
    const std::string sample = scratch_ / "Sample";
    ASSERT_TRUE(CreateFolder(sample));
    WriteFileText(sample + "\\locked.txt", "read-only");
    ASSERT_TRUE(SetAttributes(sample + "\\locked.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    RunPluginMethod(kDelFolder, sample + "\\*.txt", "DoD", 2, log_);
    EXPECT_FALSE(FileExists(sample + "\\locked.txt"));
    EXPECT_EQ(ErasedFileCount, 1);
    EXPECT_EQ(ReleasedByteCount, 9);
}

TEST_F(PluginFileTest, DelFolderWithAllFilesEmptiesTheFolderButKeepsIt) {
    const std::string sample = scratch_ / "Sample";
    ASSERT_TRUE(CreateFolder(sample));
    ASSERT_TRUE(CreateFolder(sample + "\\Sub"));
    WriteFileText(sample + "\\a.txt", std::string(10, 'a'));
    WriteFileText(sample + "\\Sub\\b.txt", std::string(20, 'b'));
    WriteFileText(sample + "\\.hidden", "dot files are never matched");

    RunPluginMethod(kDelFolder, sample + "\\*.*", "DoD", 2, log_);

    EXPECT_TRUE(FolderExists(sample));
    EXPECT_FALSE(FileExists(sample + "\\a.txt"));
    EXPECT_FALSE(FolderExists(sample + "\\Sub"));
    EXPECT_TRUE(FileExists(sample + "\\.hidden"));
    EXPECT_EQ(ErasedFileCount, 2);
    EXPECT_EQ(ReleasedByteCount, 30);
}

TEST_F(PluginFileTest, DelFolderWithThePlainNameWipesAndRemovesThatFolder) {
    const std::string sample = scratch_ / "Sample";
    ASSERT_TRUE(CreateFolder(sample));
    WriteFileText(sample + "\\a.txt", std::string(10, 'a'));
    WriteFileText(scratch_ / "beside.txt", "not matched");
    RunPluginMethod(kDelFolder, sample, "DoD", 2, log_);
    EXPECT_FALSE(FolderExists(sample));
    EXPECT_TRUE(FileExists(scratch_ / "beside.txt"));
    EXPECT_EQ(ErasedFileCount, 1);
    // A matched sub-folder's walk leaves the folder wipe's line as the last one.
    EXPECT_EQ(log_.lines.back(), "1 files were erased, 10 Bytes hard disk space was released.");
}

TEST_F(PluginFileTest, DelFolderNeverWalksIntoAFolderLinkButTakesTheOneItNamesToItsTarget) {
    const std::string sample = scratch_ / "Sample";
    const std::string target = scratch_ / "Elsewhere";
    const std::string named = scratch_ / "Named";
    for (const std::string& folder : {sample, target, named}) {
        ASSERT_TRUE(CreateFolder(folder));
    }
    WriteFileText(target + "\\precious.txt", "kept");
    WriteFileText(sample + "\\junk.txt", "trace");
    WriteFileText(named + "\\cache.dat", "trace");
    if (!MakeUnixSymlink(target, sample + "\\link") || !MakeUnixSymlink(named, scratch_ / "LinkedSample")) {
        GTEST_SKIP() << "folder links cannot be made from Linux here";
    }

    RunPluginMethod(kDelFolder, sample + "\\*.*;" + (scratch_ / "LinkedSample\\*.*"), "DoD", 2, log_);

    EXPECT_EQ(ReadFileText(target + "\\precious.txt"), "kept") << "a link met by the walk is never entered";
    EXPECT_FALSE(FileExists(sample + "\\junk.txt"));
    EXPECT_FALSE(FileExists(named + "\\cache.dat")) << "the entry's own link leads to an ordinary folder";
    EXPECT_TRUE(FolderExists(named));
    EXPECT_EQ(ErasedFileCount, 2);
    RemoveUnixSymlink(sample + "\\link");
    RemoveUnixSymlink(scratch_ / "LinkedSample");
}

TEST_F(PluginFileTest, DelFilesOnlyUnlinksAFileWithOtherNames) {
    const std::string document = scratch_ / "document.txt";
    WriteFileText(document, "my only copy");
    if (!CreateHardLinkW(WidePath(scratch_ / "alias.txt").c_str(), WidePath(document).c_str(), nullptr)) {
        GTEST_SKIP() << "hard links cannot be made here (error " << GetLastError() << ")";
    }
    RunPluginMethod(kDelFiles, scratch_ / "alias.txt", "DoD", 2, log_);
    EXPECT_FALSE(FileExists(scratch_ / "alias.txt"));
    EXPECT_EQ(ReadFileText(document), "my only copy");
    EXPECT_EQ(ErasedFileCount, 1);
}

TEST_F(PluginFileTest, AfterAStopNeitherMethodRemovesAFileWithOtherNames) {
    const std::string document = scratch_ / "document.txt";
    WriteFileText(document, "my only copy");
    const std::string folder = scratch_ / "Linked";
    ASSERT_TRUE(CreateFolder(folder));
    for (const std::string& alias : {scratch_ / "alias.txt", folder + "\\alias.txt"}) {
        if (!CreateHardLinkW(WidePath(alias).c_str(), WidePath(document).c_str(), nullptr)) {
            GTEST_SKIP() << "hard links cannot be made here (error " << GetLastError() << ")";
        }
    }
    StopRequested = true;
    RunPluginMethod(kDelFiles, scratch_ / "alias.txt", "DoD", 2, log_);
    RunPluginMethod(kDelFolder, folder + "\\*.*", "DoD", 2, log_);
    EXPECT_EQ(ReadFileText(scratch_ / "alias.txt"), "my only copy") << "DelFiles";
    EXPECT_EQ(ReadFileText(folder + "\\alias.txt"), "my only copy") << "DelFolder";
    EXPECT_EQ(ErasedFileCount, 0) << "what is still there is not counted as erased";
}

TEST_F(PluginFileTest, ALocalAppDataPlaceholderIsExpandedOnlyInItsOwnSpellingAndReachesAHiddenFile) {
    const std::string local = scratch_ / "Local";
    ASSERT_TRUE(CreateFolder(local));
    ASSERT_TRUE(CreateFolder(local + "\\Sample"));
    WriteFileText(local + "\\Sample\\Default.rdp", "full address:s:server");
    ASSERT_TRUE(SetAttributes(local + "\\Sample\\Default.rdp", FILE_ATTRIBUTE_HIDDEN));
    WriteFileText(local + "\\Sample\\bcache.bmc", "bitmaps");
    EnvironmentOverride variable("LOCALAPPDATA", local);

    RunPluginMethod(kDelFiles, "%localappdata%\\Sample\\Default.rdp", "DoD", 2, log_);
    RunPluginMethod(kDelFolder, "%LOCALAPPDATA%\\Sample\\*.bmc", "DoD", 2, log_);
    EXPECT_TRUE(FileExists(local + "\\Sample\\Default.rdp"));
    EXPECT_TRUE(FileExists(local + "\\Sample\\bcache.bmc"));
    RunPluginMethod(kDelFiles, "%LocalAppData%\\Sample\\Default.rdp", "DoD", 2, log_);
    RunPluginMethod(kDelFolder, "%LocalAppData%\\Sample\\*.bmc", "DoD", 2, log_);
    EXPECT_FALSE(FileExists(local + "\\Sample\\Default.rdp")) << "a hidden file named directly";
    EXPECT_FALSE(FileExists(local + "\\Sample\\bcache.bmc"));
    EXPECT_EQ(ErasedFileCount, 2);
    EXPECT_EQ(ReleasedByteCount, 28);
}

TEST_F(PluginFileTest, AnAppDataPlaceholderIsExpandedOnlyInItsOwnSpelling) {
    const std::string appData = scratch_ / "AppData";
    ASSERT_TRUE(CreateFolder(appData));
    ASSERT_TRUE(CreateFolder(appData + "\\Sample"));
    WriteFileText(appData + "\\Sample\\log.txt", "trace");
    WriteFileText(appData + "\\top.txt", "trace");
    EnvironmentOverride variable("APPDATA", appData);

    RunPluginMethod(kDelFiles, "%appdata%\\Sample\\log.txt", "DoD", 2, log_);
    EXPECT_TRUE(FileExists(appData + "\\Sample\\log.txt"));
    RunPluginMethod(kDelFiles, "%AppData%\\Sample\\log.txt;%AppData%\\top.txt", "DoD", 2, log_);
    EXPECT_FALSE(FileExists(appData + "\\Sample\\log.txt"));
    EXPECT_FALSE(FileExists(appData + "\\top.txt")) << "a folder part that is only the placeholder";
    EXPECT_EQ(ErasedFileCount, 2);
}

TEST(ExpandPluginPath, ReplacesOneLeadingPlaceholderAndTheCharacterAfterIt) {
    ScratchFolder scratch;
    EnvironmentOverride appData("APPDATA", scratch / "Roaming");
    EnvironmentOverride programFiles("ProgramFiles", scratch / "Programs\\");
    EnvironmentOverride profile("USERPROFILE", scratch / "Me");
    EnvironmentOverride localAppData("LOCALAPPDATA", scratch / "Local");
    const std::string windows = SpecialFolderPath(CSIDL_WINDOWS);
    ASSERT_FALSE(windows.empty());
    const struct {
        std::string folderPart;
        std::string expanded;
    } cases[] = {
        {"%AppData%\\Sample", scratch / "Roaming\\Sample"},
        {"%ProgramFiles%\\Sample\\Logs", scratch / "Programs\\Sample\\Logs"},
        {"%Windows%\\Temp", windows + "\\Temp"},
        {"%UserProfile%\\Sample", scratch / "Me\\Sample"},
        {"%LocalAppData%\\Sample\\Logs", scratch / "Local\\Sample\\Logs"},
        {"%LocalAppData%", scratch / "Local\\"},
        {"%localappdata%\\Sample", "%localappdata%\\Sample"},
        {"%LOCALAPPDATA%\\Sample", "%LOCALAPPDATA%\\Sample"},
        {"C:\\%LocalAppData%\\Sample", "C:\\%LocalAppData%\\Sample"},
        {"%AppData%", scratch / "Roaming\\"},
        {"%AppData%x\\Sample", scratch / "Roaming\\\\Sample"}, // the character after is removed, whatever it is
        {"%appdata%\\Sample", "%appdata%\\Sample"},
        {"%USERPROFILE%\\Sample", "%USERPROFILE%\\Sample"},
        {"C:\\%AppData%\\Sample", "C:\\%AppData%\\Sample"},
        {"%AppData%\\%Windows%", scratch / "Roaming\\%Windows%"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpandPluginPath(c.folderPart), c.expanded) << c.folderPart;
    }
}

// Windows XP sets no %LocalAppData%: the placeholder then stands for the folder the shell knows.
TEST(ExpandPluginPath, LocalAppDataWithoutItsVariableIsTheShellsFolder) {
    const std::string shellFolder = SpecialFolderPath(CSIDL_LOCAL_APPDATA);
    ASSERT_FALSE(shellFolder.empty());
    for (const std::optional<std::string>& value : {std::optional<std::string>(), std::optional<std::string>("")}) {
        EnvironmentOverride localAppData("LOCALAPPDATA", value);
        EXPECT_EQ(ExpandPluginPath("%LocalAppData%\\Sample"), shellFolder + "\\Sample")
            << (value ? "set to nothing" : "not set");
    }
}

TEST(ExpandPluginPath, AVariableThatIsNotSetOrEmptyLeavesThePlaceholder) {
    {
        EnvironmentOverride appData("APPDATA", std::nullopt);
        EXPECT_EQ(ExpandPluginPath("%AppData%\\Sample"), "%AppData%\\Sample");
    }
    {
        EnvironmentOverride appData("APPDATA", std::string());
        EXPECT_EQ(ExpandPluginPath("%AppData%\\Sample"), "%AppData%\\Sample");
    }
}

} // namespace
