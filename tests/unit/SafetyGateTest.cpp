// The safety gate against real folders and keys: what it refuses and why, and malformed plug-in
// entries run beside a valid plug-in, with canary files and keys around their targets.
#include "engine/Plugins.h"
#include "engine/RunState.h"
#include "gate/SafetyGate.h"
#include "engine/WindowsItems.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "support/ChildProcess.h"
#include "support/RecordingLog.h"
#include "support/Scratch.h"
#include "unit/ItemTestSupport.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <iterator>

namespace {

using Why = std::optional<std::string>;

TEST(SafetyGate, RefusesPathsThatDoNotSayWhatTheyMean) {
    ScratchFolder scratch;
    const std::string s = scratch.Path();
    const struct {
        std::string path;
        Why why;
    } cases[] = {
        {"canary-root.txt", "not a full path"},
        {"..\\canary-root.txt", "not a full path"},
        {".\\*", "not a full path"},
        {"\\canary.txt", "not a full path"},
        {"C:canary.txt", "not a full path"},
        {"\\\\.\\C:\\canary.txt", "not a full path"},
        {"NUL", "not a full path"},
        {"COM1:", "not a full path"},
        {s + "\\..\\canary.txt", "a \".\" or \"..\" in the path"},
        {s + "\\.\\*", "a \".\" or \"..\" in the path"},
        {"C:\\NUL", "a device name"},
        {s + "\\nul.txt", "a device name"},
        {s + "\\COM1", "a device name"},
        {s + "\\lpt9.log", "a device name"},
        {s + "\\Con \\x.txt", "a device name"},
        {s + "\\c1.txt" + std::string(1, '\0') + ".zzz", "a control character in the entry"},
        {s + "\\tab\there", "a control character in the entry"},
        // Plain, full paths under an ordinary folder pass, as does one file named in a known folder.
        {s + "\\c1.txt", std::nullopt},
        {s + "\\*", std::nullopt},
        {s + "\\Sub\\*.tmp", std::nullopt},
        {s + "\\console.txt", std::nullopt},
        {s + "\\COM10", std::nullopt},
        {SpecialFolderPath(CSIDL_APPDATA) + "\\top.txt", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PathRefusal(c.path), c.why) << c.path;
    }
}

TEST(SafetyGate, ProtectedFoldersAreNeverErasedWholeNorMatchedIntoByAWildcard) {
    ScratchFolder scratch;
    const std::string windows = SpecialFolderPath(CSIDL_WINDOWS);
    const std::string profile = SpecialFolderPath(CSIDL_PROFILE);
    ASSERT_FALSE(windows.empty());
    ASSERT_FALSE(profile.empty());
    const std::string own = ExecutableDir();
    const std::string refused[] = {
        "C:\\*",
        "C:\\",
        "C:/Windows/*",
        windows,
        windows + "\\*.*",
        windows + ". \\*",
        "\\\\?\\" + windows + "\\*",
        AsciiUpper(windows) + "\\System32\\*.dll",
        SpecialFolderPath(CSIDL_SYSTEM) + "\\*",
        SpecialFolderPath(CSIDL_PROGRAM_FILES) + "\\*",
        profile + "\\*.*",
        profile + "\\Downloads\\*",
        SpecialFolderPath(CSIDL_PERSONAL) + "\\*",
        SpecialFolderPath(CSIDL_APPDATA) + "\\*",
        SpecialFolderPath(CSIDL_LOCAL_APPDATA),
        "\\\\server\\share\\*",
        own + "Options.ini",
        own + "Plug-ins\\*",
        own + "*",
    };
    for (const auto& path : refused) {
        EXPECT_TRUE(PathRefusal(path).has_value()) << path;
    }
    // Their ordinary sub-folders stay open to the plug-ins that name them.
    for (const std::string& path : {windows + "\\Temp\\*", profile + "\\Sample\\Cache\\*",
                                    SpecialFolderPath(CSIDL_APPDATA) + "\\Vendor\\Program\\*.log"}) {
        EXPECT_EQ(PathRefusal(path), std::nullopt) << path;
    }
    EXPECT_EQ(FolderRefusal("C:\\"), Why("a protected folder"));
    EXPECT_EQ(FolderRefusal(own), Why("Quorvale's own files"));
    EXPECT_EQ(FolderRefusal(scratch.Path()), std::nullopt);
    // A folder that merely holds Quorvale's may be erased: its walk passes Quorvale's folder by.
    EXPECT_EQ(FolderRefusal(FolderOf(own.substr(0, own.size() - 1))), std::nullopt);
    EXPECT_TRUE(IsQuorvalesOwnFolder(own));
    EXPECT_TRUE(IsQuorvalesOwnFolder(AsciiUpper(own) + "Plug-ins\\"));
    EXPECT_FALSE(IsQuorvalesOwnFolder(scratch.Path()));
}

// Quorvale's own files beside it are known by name, whether or not they are there now: the programs,
// the settings, the help and the uninstaller that setup puts beside them.
TEST(SafetyGate, QuorvalesOwnFilesAreKnownByNameBesideIt) {
    const std::string own = ExecutableDir();
    for (const char* name :
         {"Quorvale.exe", "SellwickService.exe", "help.chm", "Options.ini", "Uninstall.exe", "UNINSTALL.EXE"}) {
        EXPECT_EQ(TargetRefusal(own + name, INVALID_FILE_ATTRIBUTES), Why("Quorvale's own files")) << name;
        EXPECT_EQ(PathRefusal(own + name), Why("Quorvale's own files")) << name;
    }
    // Names that only look like them are not Quorvale's.
    for (const char* name : {"Uninstall.exe.old", "Uninstaller.exe", "notes.txt"}) {
        EXPECT_EQ(TargetRefusal(own + name, INVALID_FILE_ATTRIBUTES), std::nullopt) << name;
    }
}

TEST(SafetyGate, APathThroughAFolderLinkIsJudgedByWhereItLeads) {
    ScratchFolder scratch;
    ASSERT_TRUE(CreateFolder(scratch / "target"));
    ASSERT_TRUE(CreateFolder(scratch / "target\\Kept"));
    WriteFileText(scratch / "target\\kept.txt", "precious");
    WriteFileText(scratch / "target\\Kept\\inside.txt", "precious");
    const std::string windows = SpecialFolderPath(CSIDL_WINDOWS);
    if (!MakeUnixSymlink(scratch / "target", scratch / "link") || !MakeUnixSymlink(windows, scratch / "windows link") ||
        !MakeUnixSymlink("C:\\", scratch / "root link")) {
        GTEST_SKIP() << "folder links cannot be made from Linux here";
    }
    // An ordinary folder, however reached.
    EXPECT_EQ(PathRefusal(scratch / "link\\kept.txt"), std::nullopt);
    EXPECT_EQ(PathRefusal(scratch / "link\\deeper\\*.tmp"), std::nullopt);
    EXPECT_EQ(FolderRefusal(scratch / "link"), std::nullopt) << "a folder to walk is taken where it is named";
    // What it leads to decides: a protected folder, a drive's root, what the user keeps.
    EXPECT_EQ(PathRefusal(scratch / "windows link\\*"), Why("a protected folder"));
    EXPECT_EQ(PathRefusal(scratch / "windows link"), Why("a protected folder"));
    EXPECT_EQ(PathRefusal(scratch / "root link\\*.*"), Why("a protected folder"));
    SetNeverErase({scratch / "target\\kept.txt", scratch / "target\\Kept"});
    EXPECT_EQ(PathRefusal(scratch / "link\\kept.txt"), Why("marked Never erase"));
    EXPECT_EQ(PathRefusal(scratch / "link\\Kept\\inside.txt"), Why("marked Never erase"));
    EXPECT_EQ(PathRefusal(scratch / "link\\Kept\\*"), Why("marked Never erase"));
    SetNeverErase({});
    for (const char* link : {"link", "windows link", "root link"}) {
        RemoveUnixSymlink(scratch / link);
    }
}

TEST(SafetyGate, AWildcardInTheWindowsFolderMayNameOneFileTypeAndNothingMore) {
    const std::string windows = SpecialFolderPath(CSIDL_WINDOWS);
    const std::string profile = SpecialFolderPath(CSIDL_PROFILE);
    EXPECT_EQ(PathRefusal(windows + "\\*.log"), std::nullopt);
    EXPECT_EQ(PathRefusal(windows + "\\setup*.txt"), std::nullopt);
    for (const std::string& path :
         {windows + "\\*", windows + "\\*.*", windows + "\\*.lo?", windows + "\\*.", windows + "\\System32\\*.log",
          profile + "\\*.log", SpecialFolderPath(CSIDL_APPDATA) + "\\*.dat",
          SpecialFolderPath(CSIDL_PERSONAL) + "\\*.doc"}) {
        EXPECT_EQ(PathRefusal(path), Why("a protected folder")) << path;
    }
}

TEST(SafetyGate, WrittenEntriesMustSeparateTheirPlaceholderAndHoldNoControlCharacter) {
    EXPECT_EQ(WrittenEntryRefusal("%AppData%Z\\canary.txt"), Why("a placeholder not followed by a backslash"));
    EXPECT_EQ(WrittenEntryRefusal("%UserProfile%*.*"), Why("a placeholder not followed by a backslash"));
    EXPECT_EQ(WrittenEntryRefusal("%LocalAppData%*.*"), Why("a placeholder not followed by a backslash"));
    EXPECT_EQ(WrittenEntryRefusal("%AppData%\\Vendor\\x.log"), std::nullopt);
    EXPECT_EQ(WrittenEntryRefusal("%AppData%"), std::nullopt);
    EXPECT_EQ(WrittenEntryRefusal("%appdata%x"), std::nullopt) << "not a placeholder: names nothing, as before";
    EXPECT_EQ(WrittenEntryRefusal(std::string("C:\\a") + '\x1F' + "b"), Why("a control character in the entry"));
}

TEST(SafetyGate, APlaceholderMustStandForAFullFolder) {
    const Why noFolder("a placeholder that stands for no full folder");
    const struct {
        std::string entry;
        std::string expandedFolder;
        Why why;
    } cases[] = {
        {"%AppData%\\Vendor\\x.log", "C:\\users\\me\\AppData\\Roaming\\Vendor", std::nullopt},
        {"%LocalAppData%\\Vendor\\x.log", "\\\\server\\share\\Local\\Vendor", std::nullopt},
        {"%AppData%\\Vendor\\x.log", "%AppData%\\Vendor", noFolder}, // not known: left as written
        {"%LocalAppData%\\Vendor\\x.log", "Local\\Vendor", noFolder},
        {"%LocalAppData%\\Vendor\\x.log", "C:Local\\Vendor", noFolder},
        {"%ProgramFiles%\\Vendor\\x.log", "\\Vendor", noFolder},
        {"%Windows%", "", noFolder},
        {"%UserProfile%\\x.log", "", noFolder},
        // Without a placeholder, a name that is not a full one is judged where it would land.
        {"Vendor\\x.log", "Vendor", std::nullopt},
        {"%localappdata%\\Vendor\\x.log", "%localappdata%\\Vendor", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpandedEntryRefusal(c.entry, c.expandedFolder), c.why) << c.entry << " -> " << c.expandedFolder;
    }
}

TEST(SafetyGate, RegistryDeletesStopBelowAProgramsOwnKey) {
    const Why key("a protected registry key");
    const struct {
        HKEY root;
        std::string path;
        Why why;
    } keys[] = {
        {HKEY_CURRENT_USER, "", key},
        {HKEY_CURRENT_USER, "Software", key},
        {HKEY_CURRENT_USER, "Environment", key},
        {HKEY_CLASSES_ROOT, ".txt", key},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node", key},
        {HKEY_CURRENT_USER, "Software\\Quorvale", key},
        {HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Quorvale\\Settings", key},
        {HKEY_LOCAL_MACHINE, "Software\\Clients\\StartMenuInternet", key},
        {HKEY_LOCAL_MACHINE, "Software\\RegisteredApplications", key},
        {HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Microsoft", key},
        {HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Classes\\CLSID", key},
        {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows", key},
        {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows NT", key},
        {HKEY_CURRENT_USER, "Software\\Policies\\Microsoft", key},
        {HKEY_CURRENT_USER, "Software\\Microsoft\\Office", key},
        {HKEY_CURRENT_USER, "Software\\Classes\\CLSID", key},
        {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", key},
        {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", key},
        {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", key},
        {HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services", key},
        {HKEY_USERS, "S-1-5-21-1\\Software", key},
        {HKEY_CURRENT_USER, "Software\\Canary" + std::string(1, '\0') + "x", Why("a control character in the entry")},
        {HKEY_CURRENT_USER, "Software\\WinRAR\\ArcHistory", std::nullopt},
        // An application's own key is what a plug-in exists to remove.
        {HKEY_CURRENT_USER, "Software\\WinRAR", std::nullopt},
        {HKEY_CURRENT_USER, "Software\\Sample", std::nullopt},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\Vendor", std::nullopt},
        {HKEY_USERS, "S-1-5-21-1\\Software\\Vendor", std::nullopt},
        // Windows' trace keys below its shell keys.
        {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\Shell\\BagMRU", std::nullopt},
        {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache", std::nullopt},
        {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32", std::nullopt},
        {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU", std::nullopt},
        {HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\16.0\\Word\\File MRU", std::nullopt},
    };
    for (const auto& c : keys) {
        EXPECT_EQ(RegistryRefusal(c.root, c.path, std::nullopt), c.why) << c.path;
    }
    EXPECT_EQ(RegistryRefusal(HKEY_CURRENT_USER, "Software\\Vendor", std::string()), std::nullopt)
        << "the empty name is the key's default value";
    EXPECT_EQ(RegistryRefusal(HKEY_CURRENT_USER, "Software", std::string("LastKey")), std::nullopt)
        << "a named value may be deleted wherever it is";
}

// The malformed entries a plug-in file may hold, each in a plug-in of its own beside a valid one,
// run by the plug-in step with the current folder where relative names would land.
class MalformedPluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        StopRequested = false;
        SetCounters(0, 0, 0, 0, 0, 0);
        ASSERT_TRUE(CreateFolder(plugins_));
        ASSERT_TRUE(CreateFolder(scratch_ / "work"));
        ASSERT_TRUE(CreateFolder(scratch_ / "appdata"));
        for (const char* name :
             {"work\\canary-root.txt", "canary-root.txt", "work\\c1.txt", "appdata\\canary.txt", "valid.txt"}) {
            WriteFileText(scratch_ / name, "canary");
        }
        RegKey canary = CreateRegKey(HKEY_CURRENT_USER, key_.Path() + "\\Canary\\Sub");
        ASSERT_TRUE(canary);
        RegKey top = CreateRegKey(HKEY_CURRENT_USER, key_.Path());
        ASSERT_TRUE(SetRegString(top.get(), "", "default"));
        GetCurrentDirectoryW(MAX_PATH, savedFolder_);
        ASSERT_TRUE(SetCurrentDirectoryW(WidePath(scratch_ / "work").c_str()));
    }
    void TearDown() override {
        SetCurrentDirectoryW(savedFolder_);
        SetCounters(0, 0, 0, 0, 0, 0);
    }

    void AddPlugin(const std::string& name, const std::string& methodLine) {
        WriteFileText(plugins_ + name,
                      "[Information]\r\nDescription=" + name + "\r\nSelected=1\r\n[Method]\r\n" + methodLine + "\r\n");
    }

    ScratchFolder scratch_;
    std::string plugins_ = scratch_ / "Plug-ins\\";
    ScratchRegKey key_;
    RecordingLog log_;
    wchar_t savedFolder_[MAX_PATH] = {};
};

TEST_F(MalformedPluginTest, EachIsRefusedWithItsLineAndTheValidPluginStillRuns) {
    EnvironmentOverride appData("APPDATA", scratch_ / "appdata");
    EnvironmentOverride localAppData("LOCALAPPDATA", scratch_ / "appdata");
    const std::string nul(1, '\0');
    const std::string root = "HKEY_CURRENT_USER\\" + key_.Path();
    const std::string malformed[] = {
        "DelFolder=.\\*",
        "DelFiles=canary-root.txt",
        "DelFiles=..\\canary-root.txt",
        "DelFiles=%AppData%Z\\canary.txt",
        "DelFiles=%LocalAppData%Z\\canary.txt",
        "DelFiles=" + (scratch_ / "work\\c1.txt") + nul + ".zzz",
        "DelFiles=" + (scratch_ / "work\\nul.txt"),
        "DelFiles=NUL;COM1;AUX;COM1:;C:\\NUL",
        "DelRegKey=" + root + "\\Canary" + nul + "x",
        "DelFolder=C:\\*",
    };
    int number = 0;
    for (const auto& line : malformed) {
        AddPlugin("bad" + std::to_string(++number) + ".qv", line);
    }
    AddPlugin("good.qv", "DelFiles=" + (scratch_ / "valid.txt"));

    ErasePluginsIn(plugins_, "DoD", 2, log_);

    EXPECT_FALSE(FileExists(scratch_ / "valid.txt")) << "the valid plug-in must still do its work";
    for (const char* name : {"work\\canary-root.txt", "canary-root.txt", "work\\c1.txt", "appdata\\canary.txt"}) {
        EXPECT_EQ(ReadFileText(scratch_ / name), "canary") << name;
    }
    EXPECT_TRUE(FolderExists(plugins_)) << "the plug-in folder itself must stay";
    EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, key_.Path() + "\\Canary\\Sub"));
    EXPECT_EQ(GetRegString(OpenRegKey(HKEY_CURRENT_USER, key_.Path()).get(), ""), "default");
    EXPECT_EQ(TotalErasedRegistryCount, 0);
    EXPECT_EQ(TotalErasedFileCount, 1) << "only the valid plug-in's file";

    // One refusal line per refused entry, each in its plug-in's group before its running line.
    size_t refusals = std::count_if(log_.lines.begin(), log_.lines.end(),
                                    [](const std::string& line) { return line.rfind("Refused: ", 0) == 0; });
    // "DelFiles=canary-root.txt" names "\canary-root.txt" at the current drive's root, where there is
    // none: an entry that names nothing writes nothing.
    EXPECT_EQ(refusals, 13u) << ::testing::PrintToString(log_.lines);
    auto has = [&](const std::string& line) {
        return std::find(log_.lines.begin(), log_.lines.end(), line) != log_.lines.end();
    };
    EXPECT_TRUE(has("Refused: .\\* (not a full path)"));
    EXPECT_TRUE(has("Refused: %AppData%Z\\canary.txt (a placeholder not followed by a backslash)"));
    EXPECT_TRUE(has("Refused: %LocalAppData%Z\\canary.txt (a placeholder not followed by a backslash)"));
    EXPECT_TRUE(has("Refused: " + (scratch_ / "work\\c1.txt") + "?.zzz (a control character in the entry)"));
    EXPECT_TRUE(has("Refused: C:\\* (a protected folder)"));
    EXPECT_TRUE(has("Refused: C:\\NUL (a device name)"));
}

// A placeholder whose folder is not known, or not a full path, would have its entry read against
// the current folder: every such entry has its line, and nothing where it would land is touched.
TEST_F(MalformedPluginTest, APlaceholderWithoutAFullFolderIsRefusedAndTheRunGoesOn) {
    EnvironmentOverride appData("APPDATA", std::nullopt);
    EnvironmentOverride programFiles("ProgramFiles", std::string());
    EnvironmentOverride localAppData("LOCALAPPDATA", "rel");
    for (const char* name :
         {"work\\%AppData%\\Sample\\trace.txt", "work\\rel\\Sample\\trace.txt", "work\\rel\\Sample\\cache.bin"}) {
        MakeFolders(FolderOf(scratch_ / name));
        WriteFileText(scratch_ / name, "canary");
    }
    AddPlugin("unknown.qv", "DelFiles=%AppData%\\Sample\\trace.txt;%ProgramFiles%\\Sample\\gone.txt");
    AddPlugin("relative.qv", "DelFolder=%LocalAppData%\\Sample\\*.*\r\nDelFiles=%LocalAppData%\\Sample\\trace.txt");
    AddPlugin("good.qv", "DelFiles=" + (scratch_ / "valid.txt"));

    ErasePluginsIn(plugins_, "DoD", 2, log_);

    EXPECT_FALSE(FileExists(scratch_ / "valid.txt")) << "the valid plug-in must still do its work";
    for (const char* name : {"work\\%AppData%\\Sample\\trace.txt", "work\\rel\\Sample\\trace.txt",
                             "work\\rel\\Sample\\cache.bin", "work\\canary-root.txt"}) {
        EXPECT_EQ(ReadFileText(scratch_ / name), "canary") << name;
    }
    EXPECT_EQ(TotalErasedFileCount, 1) << "only the valid plug-in's file";
    const std::string why = " (a placeholder that stands for no full folder)";
    std::vector<std::string> refusals;
    std::copy_if(log_.lines.begin(), log_.lines.end(), std::back_inserter(refusals),
                 [](const std::string& line) { return line.rfind("Refused: ", 0) == 0; });
    std::sort(refusals.begin(), refusals.end());
    EXPECT_EQ(refusals, (std::vector<std::string>{"Refused: %AppData%\\Sample\\trace.txt" + why,
                                                  "Refused: %LocalAppData%\\Sample\\*.*" + why,
                                                  "Refused: %LocalAppData%\\Sample\\trace.txt" + why,
                                                  "Refused: %ProgramFiles%\\Sample\\gone.txt" + why}));
}

// The local application-data folder is a protected one, as every known folder of the profile: an
// entry may name what is in a folder below it, never match into it directly.
TEST_F(MalformedPluginTest, ALocalAppDataEntryKeepsTheGatesRules) {
    const std::string local = LocalAppDataFolder();
    ASSERT_FALSE(local.empty());
    const std::string canary = local + "qv-canary-" + std::to_string(GetCurrentProcessId()) + ".txt";
    WriteFileText(canary, "precious");
    AddPlugin("whole.qv", "DelFolder=%LocalAppData%\\*.*");
    AddPlugin("good.qv", "DelFiles=" + (scratch_ / "valid.txt"));

    ErasePluginsIn(plugins_, "DoD", 2, log_);

    EXPECT_EQ(ReadFileText(canary), "precious");
    EXPECT_FALSE(FileExists(scratch_ / "valid.txt"));
    EXPECT_NE(std::find(log_.lines.begin(), log_.lines.end(), "Refused: %LocalAppData%\\*.* (a protected folder)"),
              log_.lines.end())
        << ::testing::PrintToString(log_.lines);
    DeleteFileAt(canary);
}

TEST_F(MalformedPluginTest, ATempFolderAtADriveRootErasesNothingAndSaysSo) {
    // C: is this test prefix's own drive, not the machine's.
    const std::string canary = "C:\\qv-canary-" + std::to_string(GetCurrentProcessId()) + ".txt";
    WriteFileText(canary, "precious");
    RecordingLog log;
    log.AppendLine("0 file was erased.");
    {
        EnvironmentOverride tmp("TMP", "C:\\");
        EnvironmentOverride temp("TEMP", "C:\\");
        EraseTempFolder("DoD", 2, log);
    }
    EXPECT_EQ(log.lines, (std::vector<std::string>{"Refused: C:\\ (a protected folder)", "0 file was erased."}));
    EXPECT_EQ(ErasedFileCount, 0);
    EXPECT_EQ(ReadFileText(canary), "precious");
    DeleteFileAt(canary);
}

} // namespace
