// What the user keeps and the folders Windows and Quorvale live in are the same places however a
// path spells them (short 8.3 names, case outside ASCII, a stream name, a link), and no walk goes
// into a protected folder below the one it was given.
#include "engine/FolderWipe.h"
#include "engine/Plugins.h"
#include "engine/RunState.h"
#include "engine/WindowsItems.h"
#include "gate/SafetyGate.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "support/ChildProcess.h"
#include "support/Overrides.h"
#include "support/RecordingLog.h"
#include "support/Scratch.h"
#include "unit/ItemTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

using Why = std::optional<std::string>;

// The 8.3 form Windows gives a path, "" when it has none.
std::string ShortPathOf(const std::string& path) {
    wchar_t buffer[MAX_PATH] = {};
    DWORD length = GetShortPathNameW(Widen(path).c_str(), buffer, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : Narrow(std::wstring_view(buffer, length));
}

bool Listed(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class KeptPlacesTest : public ::testing::Test {
protected:
    void SetUp() override {
        StopRequested = false;
        SetCounters(0, 0, 0, 0, 0, 0);
        NotErasedEntries.clear();
    }
    void TearDown() override {
        SetNeverErase({});
        NotErasedEntries.clear();
        SetCounters(0, 0, 0, 0, 0, 0);
    }
    ScratchFolder scratch_;
};

TEST_F(KeptPlacesTest, TheTempItemKeepsAFileMarkedByTheOtherFormOfItsName) {
    const std::string temp = scratch_ / "Temp Folder";
    ASSERT_TRUE(CreateFolder(temp));
    const std::string shortTemp = ShortPathOf(temp);
    ASSERT_FALSE(shortTemp.empty());
    ASSERT_NE(shortTemp, temp) << "a long name has a short alias";
    const std::string kept = std::string(5000, 'k');
    const struct {
        const char* name;
        std::string walked; // what TMP and TEMP say
        std::string marked; // how the Never Erase list names the folder
    } cases[] = {
        {"walked short, marked long", shortTemp, temp},
        {"walked long, marked short", temp, shortTemp},
    };
    for (const auto& c : cases) {
        WriteFileText(temp + "\\kept notes.txt", kept);
        WriteFileText(temp + "\\trace.tmp", "trace");
        ASSERT_TRUE(CreateFolder(temp + "\\Sub Folder") || FolderExists(temp + "\\Sub Folder"));
        WriteFileText(temp + "\\Sub Folder\\kept too.txt", kept);
        SetNeverErase({c.marked + "\\kept notes.txt", ShortPathOf(temp + "\\Sub Folder") + "\\kept too.txt"});
        EnvironmentOverride tmp("TMP", c.walked);
        EnvironmentOverride tempVariable("TEMP", c.walked);
        RecordingLog log;
        log.AppendLine("0 file was erased.");
        EraseTempFolder("DoD", 0, log);

        EXPECT_EQ(ReadFileText(temp + "\\kept notes.txt"), kept) << c.name;
        EXPECT_EQ(ReadFileText(temp + "\\Sub Folder\\kept too.txt"), kept) << c.name;
        EXPECT_FALSE(FileExists(temp + "\\trace.tmp")) << c.name;
        EXPECT_EQ(ErasedFileCount, 1) << c.name;
        EXPECT_TRUE(NotErasedEntries.empty()) << c.name << ": a kept file is no failure";
        SetCounters(0, 0, 0, 0, 0, 0);
    }
}

TEST_F(KeptPlacesTest, EverySpellingOfAKeptFileIsTheKeptFile) {
    const std::string folder = scratch_ / "J\xC3\xB6rg Long Folder";
    ASSERT_TRUE(CreateFolder(folder));
    const std::string kept = folder + "\\keep.txt";
    WriteFileText(kept, "mine");
    SetNeverErase({kept});
    const std::string upper = scratch_ / "J\xC3\x96RG LONG FOLDER\\KEEP.TXT";
    for (const std::string& spelling : {kept, upper, ShortPathOf(kept), AsciiLower(ShortPathOf(kept))}) {
        EXPECT_EQ(TargetRefusal(spelling, INVALID_FILE_ATTRIBUTES), Why(kRefusalNeverErase)) << spelling;
        EXPECT_TRUE(PathRefusal(spelling).has_value()) << spelling;
    }
    // A stream of the file is the file.
    for (const std::string& stream : {kept + "::$DATA", kept + ":hidden", ShortPathOf(kept) + "::$DATA"}) {
        EXPECT_EQ(TargetRefusal(stream, INVALID_FILE_ATTRIBUTES), Why("a stream name")) << stream;
        EXPECT_EQ(PathRefusal(stream), Why("a stream name")) << stream;
    }
    // Through a link made from Linux, another name for the same folder.
    const std::string link = scratch_ / "Another Name";
    ASSERT_TRUE(MakeUnixSymlink(folder, link));
    EXPECT_EQ(TargetRefusal(link + "\\keep.txt", INVALID_FILE_ATTRIBUTES), Why(kRefusalNeverErase));
    RemoveUnixSymlink(link);
    EXPECT_EQ(ReadFileText(kept), "mine");
}

// A second drive letter for a folder (as subst or a mapped share gives one): in Wine, a link in the
// prefix's dosdevices folder.
TEST_F(KeptPlacesTest, AnotherDriveLetterForTheSameFolderReachesTheKeptFiles) {
    const std::string folder = scratch_ / "Mapped";
    ASSERT_TRUE(CreateFolder(folder));
    ASSERT_TRUE(CreateFolder(folder + "\\Sub"));
    WriteFileText(folder + "\\keep.txt", "mine");
    WriteFileText(folder + "\\Sub\\keep too.txt", "mine too");
    WriteFileText(folder + "\\Sub\\trace.tmp", "trace");
    char letter = 0;
    for (char candidate = 'S'; candidate <= 'Y' && !letter; ++candidate) {
        const std::wstring root = {wchar_t(candidate), L':', L'\\'};
        letter = GetDriveTypeW(root.c_str()) == DRIVE_NO_ROOT_DIR ? candidate : 0;
    }
    ASSERT_NE(letter, 0) << "no free drive letter";
    const std::string drive = std::string(1, letter) + ":";
    const std::string device = UnixPathOf("C:\\") + "/../dosdevices/" + AsciiLower(drive);
    ASSERT_TRUE(RunUnixShell("ln -s '" + UnixPathOf(folder) + "' '" + device + "'"));
    ASSERT_TRUE(FileExists(drive + "\\keep.txt")) << "the drive letter does not reach the folder";
    SetNeverErase({folder + "\\keep.txt", folder + "\\Sub\\keep too.txt"});

    EXPECT_EQ(TargetRefusal(drive + "\\keep.txt", INVALID_FILE_ATTRIBUTES), Why(kRefusalNeverErase));
    EXPECT_EQ(PathRefusal(drive + "\\keep.txt"), Why(kRefusalNeverErase));
    RecordingLog log;
    log.AppendLine("0 file was erased.");
    WipeFolderTree(drive + "\\Sub", "DoD", 0, log);
    RunUnixShell("rm -f '" + device + "'");

    EXPECT_EQ(ReadFileText(folder + "\\keep.txt"), "mine");
    EXPECT_EQ(ReadFileText(folder + "\\Sub\\keep too.txt"), "mine too");
    EXPECT_FALSE(FileExists(folder + "\\Sub\\trace.tmp"));
    EXPECT_EQ(ErasedFileCount, 1);
}

TEST_F(KeptPlacesTest, QuorvalesOwnFilesAreRefusedByAnyName) {
    const std::string own = ExecutableDir(); // beside the test program, as beside Quorvale
    const std::string options = own + "Options.ini";
    const bool made = !FileExists(options);
    if (made) {
        WriteFileText(options, "[Miscellaneous]\r\n");
    }
    SetNeverErase({}); // takes Quorvale's own files anew, as each run does
    const Why ownFiles("Quorvale's own files");
    EXPECT_EQ(TargetRefusal(AsciiLower(options), INVALID_FILE_ATTRIBUTES), ownFiles);
    EXPECT_EQ(TargetRefusal(options + "::$DATA", INVALID_FILE_ATTRIBUTES), Why("a stream name"));
    const std::string link = scratch_ / "Quorvale Program Folder";
    ASSERT_TRUE(MakeUnixSymlink(WithoutTrailingBackslash(own), link));
    EXPECT_EQ(TargetRefusal(link + "\\Options.ini", INVALID_FILE_ATTRIBUTES), ownFiles);
    EXPECT_EQ(PathRefusal(link + "\\Options.ini"), ownFiles);
    EXPECT_EQ(PathRefusal(ShortPathOf(link) + "\\Options.ini"), ownFiles);
    EXPECT_EQ(FolderRefusal(link), ownFiles);
    RemoveUnixSymlink(link);
    EXPECT_TRUE(FileExists(options));
    if (made) {
        DeleteFileW(Widen(options).c_str());
    }
}

// A profile of its own: USERPROFILE, APPDATA and LOCALAPPDATA point into the scratch folder, so its
// AppData\Roaming and AppData\Local are protected folders like the user's.
class ProtectedWalkTest : public KeptPlacesTest {
protected:
    void SetUp() override {
        KeptPlacesTest::SetUp();
        for (const char* folder :
             {"Profile", "Profile\\AppData", "Profile\\AppData\\Roaming", "Profile\\AppData\\Roaming\\App",
              "Profile\\AppData\\Local", "Profile\\AppData\\Local\\App", "Profile\\AppData\\LocalLow", "Plug-ins"}) {
            ASSERT_TRUE(CreateFolder(scratch_ / folder));
        }
        WriteFileText(roamingCanary_, "canary");
        WriteFileText(localCanary_, "canary");
        WriteFileText(trace_, "trace");
        profile_.emplace("USERPROFILE", profile_path_);
        appData_.emplace("APPDATA", profile_path_ + "\\AppData\\Roaming");
        localAppData_.emplace("LOCALAPPDATA", profile_path_ + "\\AppData\\Local");
    }
    void TearDown() override {
        localAppData_.reset();
        appData_.reset();
        profile_.reset();
        KeptPlacesTest::TearDown();
    }
    void AddPlugin(const std::string& name, const std::string& methodLine) {
        WriteFileText(scratch_ / "Plug-ins\\" + name,
                      "[Information]\r\nDescription=" + name + "\r\nSelected=1\r\n[Method]\r\n" + methodLine + "\r\n");
    }

    const std::string profile_path_ = scratch_ / "Profile";
    const std::string roamingCanary_ = scratch_ / "Profile\\AppData\\Roaming\\App\\canary.txt";
    const std::string localCanary_ = scratch_ / "Profile\\AppData\\Local\\App\\canary.txt";
    const std::string trace_ = scratch_ / "Profile\\AppData\\LocalLow\\trace.txt";
    std::optional<EnvironmentOverride> profile_, appData_, localAppData_;
};

TEST_F(ProtectedWalkTest, PlugInsThatReachAProtectedFolderByAnyRouteLeaveItWhole) {
    const std::string appData = profile_path_ + "\\AppData";
    const std::string roaming = appData + "\\Roaming";
    ASSERT_FALSE(ShortPathOf(roaming).empty());
    const std::string entries[] = {
        "DelFolder=" + appData,                                     // the folder above both
        "DelFolder=" + roaming.substr(0, roaming.size() - 1) + "?", // a wildcard that matches one
        "DelFolder=" + ShortPathOf(roaming),                        // its short name
        "DelFolder=" + ShortPathOf(appData) + "\\*",                // above both, short, by wildcard
    };
    int number = 0;
    for (const std::string& entry : entries) {
        AddPlugin("reach" + std::to_string(++number) + ".qv", entry);
    }
    RecordingLog log;
    ErasePluginsIn(scratch_ / "Plug-ins\\", "DoD", 0, log);

    EXPECT_EQ(ReadFileText(roamingCanary_), "canary");
    EXPECT_EQ(ReadFileText(localCanary_), "canary");
    EXPECT_FALSE(FileExists(trace_)) << "beside the protected folders the walk goes on";

    // Each entry's refusal in its plug-in's lines: the entry that names one, or the folder a wildcard
    // matched.
    EXPECT_TRUE(Listed(log.lines, "Refused: " + ShortPathOf(roaming) + " (a protected folder)"))
        << ::testing::PrintToString(log.lines);
    EXPECT_TRUE(Listed(log.lines, "Refused: " + roaming + " (a protected folder)"));
    EXPECT_TRUE(Listed(log.lines, "Refused: " + ShortPathOf(appData) + "\\Local (a protected folder)"));
    // The walk that started above lists each protected folder it met, once.
    const auto listed = [](const std::string& folder) {
        return std::count_if(NotErasedEntries.begin(), NotErasedEntries.end(), [&](const NotErasedEntry& entry) {
            return entry.what == folder && entry.why == "refused: a protected folder";
        });
    };
    EXPECT_EQ(listed(appData + "\\Local"), 1);
    EXPECT_GE(listed(roaming), 1);
}

TEST_F(ProtectedWalkTest, AnEntryWrittenTheOldWayThroughTheProfilesCompatibilityLinkReachesItsTarget) {
    // Vista and later keep "Application Data" in the profile as a link to AppData\Roaming.
    const std::string cache = profile_path_ + "\\AppData\\Roaming\\Vendor\\Cache";
    ASSERT_TRUE(CreateFolder(profile_path_ + "\\AppData\\Roaming\\Vendor"));
    ASSERT_TRUE(CreateFolder(cache));
    WriteFileText(cache + "\\page.bin", "cached page");
    ASSERT_TRUE(MakeUnixSymlink(profile_path_ + "\\AppData\\Roaming", profile_path_ + "\\Application Data"));
    AddPlugin("old.qv", "DelFolder=%UserProfile%\\Application Data\\Vendor\\Cache\\*.*");
    AddPlugin("whole.qv", "DelFolder=%UserProfile%\\Application Data\\*.*");
    RecordingLog log;
    ErasePluginsIn(scratch_ / "Plug-ins\\", "DoD", 0, log);
    RemoveUnixSymlink(profile_path_ + "\\Application Data");

    EXPECT_FALSE(FileExists(cache + "\\page.bin")) << ::testing::PrintToString(log.lines);
    EXPECT_TRUE(FolderExists(cache));
    EXPECT_EQ(ReadFileText(roamingCanary_), "canary") << "the link leads to a protected folder";
    EXPECT_TRUE(Listed(log.lines, "Refused: %UserProfile%\\Application Data\\*.* (a protected folder)"));
}

TEST_F(ProtectedWalkTest, AnEntryThatNamesNothingWritesNothingEvenWhereItWouldBeRefused) {
    AddPlugin("nothing.qv", "DelFolder=" + profile_path_ + "\\*.nothing;" + profile_path_ + "\\AppData\\Gone\\*;" +
                                profile_path_ + "\\AppData\\Roamin?x\nDelFiles=" + profile_path_ +
                                "\\AppData\\Roaming\\missing.txt;" + profile_path_ + "\\missing::$DATA");
    RecordingLog log;
    ErasePluginsIn(scratch_ / "Plug-ins\\", "DoD", 0, log);
    const std::vector<std::string> expected{"Erasing Plug-ins Information ...",
                                            "",
                                            "nothing.qv ...",
                                            "0 registry entries were erased. 0 files were erased, 0 Byte hard disk "
                                            "space was released.",
                                            "nothing.qv ... Completed",
                                            "",
                                            "Erasing Plug-ins Information ... Completed",
                                            ""};
    EXPECT_EQ(log.lines, expected);
    EXPECT_TRUE(NotErasedEntries.empty());
    EXPECT_EQ(ReadFileText(roamingCanary_), "canary");
}

TEST_F(ProtectedWalkTest, ATempFolderAboveProtectedFoldersIsEmptiedBesideThem) {
    EnvironmentOverride tmp("TMP", profile_path_ + "\\AppData");
    EnvironmentOverride temp("TEMP", profile_path_ + "\\AppData");
    RecordingLog log;
    log.AppendLine("0 file was erased.");
    EraseTempFolder("DoD", 0, log);
    EXPECT_EQ(ReadFileText(roamingCanary_), "canary");
    EXPECT_EQ(ReadFileText(localCanary_), "canary");
    EXPECT_FALSE(FileExists(trace_));
    EXPECT_TRUE(FolderExists(profile_path_ + "\\AppData\\Roaming\\App"));
}

TEST_F(ProtectedWalkTest, ARefusedFileKeepsItsAttributes) {
    const std::string kept = profile_path_ + "\\AppData\\LocalLow\\kept.txt";
    WriteFileText(kept, "mine");
    ASSERT_TRUE(SetAttributes(kept, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    SetNeverErase({ShortPathOf(kept)});
    AddPlugin("low.qv", "DelFolder=" + profile_path_ + "\\AppData\\LocalLow\\*.*");
    RecordingLog log;
    ErasePluginsIn(scratch_ / "Plug-ins\\", "DoD", 0, log);
    EXPECT_EQ(ReadFileText(kept), "mine");
    EXPECT_EQ(GetAttributes(kept) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_FALSE(FileExists(trace_));
    SetAttributes(kept, FILE_ATTRIBUTE_NORMAL);
}

} // namespace
