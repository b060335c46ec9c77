// The safety gate's acts against real files, folders and keys: what it refuses stays byte for
// byte, whoever asked, and the refusal reaches the account with its reason.
#include "engine/FolderWipe.h"
#include "engine/RunState.h"
#include "engine/WipeMethods.h"
#include "gate/ErasePlan.h"
#include "gate/GateActs.h"
#include "gate/SafetyGate.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "support/Overrides.h"
#include "support/RecordingLog.h"
#include "support/Scratch.h"
#include "tools/ShredderRules.h"
#include "unit/ItemTestSupport.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include <algorithm>
#include <map>

namespace {

class GateActsTest : public ::testing::Test {
protected:
    void SetUp() override {
        StopRequested = false;
        NotErasedEntries.clear();
    }
    void TearDown() override {
        NotErasedEntries.clear();
        SetNeverErase({});
    }

    // Wipes the file as a folder walk does, and returns the reason the account gives for it ("" when
    // it was erased).
    std::string WalkedFileReason(const std::string& path) {
        NotErasedEntries.clear();
        if (EraseWalkedFile(path, "DoD", 3)) {
            return "";
        }
        return NotErasedEntries.empty() ? "(no account line)" : NotErasedEntries.back().why;
    }

    ScratchFolder scratch_;
};

TEST_F(GateActsTest, QuorvalesOwnFilesAreNeverOverwrittenWhoeverAsks) {
    // The form-data service's program sits beside the tests' program, as it sits beside Quorvale.
    const std::string own = ExecutableDir() + "SellwickService.exe";
    const std::string before = ReadFileText(own);
    ASSERT_FALSE(before.empty());

    EXPECT_EQ(WalkedFileReason(own), "refused: Quorvale's own files");
    try {
        WipeFileByMethod(own, "Gutmann", 0);
        ADD_FAILURE() << "the shredder's method was let through";
    } catch (const WipeOpenError& error) {
        EXPECT_EQ(error.Reason(), "refused: Quorvale's own files");
    }
    EXPECT_FALSE(GateDeleteFile(own));
    GatedFile file(own);
    EXPECT_EQ(file.Open(), nullptr);
    EXPECT_FALSE(file.Delete(own));
    EXPECT_EQ(ReadFileText(own), before) << "the program was touched";
}

TEST_F(GateActsTest, ADeviceNameIsRefusedBeforeAnythingOpensIt) {
    for (const char* name : {"nul.txt", "COM1", "aux"}) {
        const std::string path = scratch_ / name;
        EXPECT_EQ(WalkedFileReason(path), "refused: a device name") << name;
        GatedFile file(path);
        EXPECT_EQ(file.Open(), nullptr) << name;
        EXPECT_EQ(file.Refusal(), std::optional<std::string>("a device name")) << name;
    }
    // An ordinary file of the same folder goes as before.
    WriteFileText(scratch_ / "plain.txt", "secret");
    EXPECT_EQ(WalkedFileReason(scratch_ / "plain.txt"), "");
    EXPECT_FALSE(FileExists(scratch_ / "plain.txt"));
}

TEST_F(GateActsTest, AProtectedFolderIsNeverRemovedEvenWhenEmpty) {
    const std::string profile = scratch_ / "profile";
    const std::string other = scratch_ / "other";
    ASSERT_TRUE(CreateFolder(profile));
    ASSERT_TRUE(CreateFolder(other));
    EnvironmentOverride userProfile("USERPROFILE", profile);

    EXPECT_FALSE(GateRemoveFolder(profile));
    EXPECT_TRUE(FolderExists(profile)) << "the user's profile folder was removed";
    EXPECT_TRUE(GateRemoveFolder(other));
    EXPECT_FALSE(FolderExists(other));
}

TEST_F(GateActsTest, RegistryTreesAboveAnApplicationsKeyStayAndTheApplicationsKeyGoes) {
    const std::string vendor = "Software\\QuorvaleGateProbe";
    RegistryTreeRestore restore(HKEY_CURRENT_USER, vendor);
    ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, vendor + "\\Product\\History"));

    EXPECT_FALSE(GateDeleteRegTree(HKEY_CURRENT_USER, "Software"));
    EXPECT_FALSE(GateDeleteRegTree(HKEY_CURRENT_USER, "Software\\Microsoft"));
    EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, vendor + "\\Product\\History"));

    EXPECT_TRUE(GateDeleteRegTree(HKEY_CURRENT_USER, vendor + "\\Product\\History"));
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, vendor + "\\Product\\History"));
    EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, vendor + "\\Product")) << "only the named key goes";
    EXPECT_TRUE(GateDeleteRegTree(HKEY_CURRENT_USER, vendor)) << "an application's own key, with all below it";
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, vendor));
}

// The registry's own name of a key of the current user ("\\REGISTRY\\USER\\<SID>\\<path>"), as a link holds it.
std::wstring KernelNameOfUserKey(const std::string& path) {
    HANDLE token = nullptr;
    EXPECT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    KernelHandle owned(token);
    alignas(TOKEN_USER) unsigned char buffer[256] = {};
    DWORD size = 0;
    EXPECT_TRUE(GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size));
    wchar_t* sid = nullptr;
    EXPECT_TRUE(ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid));
    std::wstring name = L"\\REGISTRY\\USER\\" + std::wstring(sid ? sid : L"") + L"\\" + Widen(path);
    LocalFree(sid);
    return name;
}

TEST_F(GateActsTest, DeletingAKeyNeverFollowsARegistryLinkBelowIt) {
    const std::string app = "Software\\QuorvaleLinkProbe";
    RegistryTreeRestore restore(HKEY_CURRENT_USER, app);
    {
        RegKey target = CreateRegKey(HKEY_CURRENT_USER, app + "\\Target");
        ASSERT_TRUE(target && SetRegString(target.get(), "precious", "1"));
        ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, app + "\\Parent\\Plain"));
    }
    HKEY link = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Widen(app + "\\Parent\\Link").c_str(), 0, nullptr,
                              REG_OPTION_VOLATILE | REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr,
                              &link, nullptr),
              ERROR_SUCCESS);
    RegKey linkKey(link);
    const std::wstring target = KernelNameOfUserKey(app + "\\Target");
    ASSERT_EQ(RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target.data()),
                             static_cast<DWORD>(target.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
    linkKey.reset();
    ASSERT_EQ(GetRegString(OpenRegKey(HKEY_CURRENT_USER, app + "\\Parent\\Link").get(), "precious"), "1")
        << "the link leads to the target";

    EXPECT_FALSE(GateDeleteRegTree(HKEY_CURRENT_USER, app + "\\Parent")) << "the link stays, and its parent";
    EXPECT_EQ(GetRegString(OpenRegKey(HKEY_CURRENT_USER, app + "\\Target").get(), "precious"), "1");
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, app + "\\Parent\\Plain")) << "what is beside it goes";
}

TEST_F(GateActsTest, RegistryKeysAndValuesMarkedNeverEraseStayAndKeepTheKeysThatHoldThem) {
    const std::string app = "Software\\QuorvaleKeepProbe";
    RegistryTreeRestore restore(HKEY_CURRENT_USER, app);
    {
        RegKey mru = CreateRegKey(HKEY_CURRENT_USER, app + "\\MRU");
        ASSERT_TRUE(mru && SetRegString(mru.get(), "a", "kept") && SetRegString(mru.get(), "b", "goes") &&
                    SetRegString(mru.get(), "c", "goes"));
        ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, app + "\\Keep\\Below"));
        ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, app + "\\Sibling"));
    }
    // Written the way a user may: another case, a trailing backslash.
    SetNeverErase({"HKEY_CURRENT_USER\\" + app + "\\MRU\\a", "hkey_current_user\\" + AsciiUpper(app) + "\\KEEP\\"});

    EXPECT_EQ(GateDeleteAllValues(HKEY_CURRENT_USER, app + "\\MRU"), 2) << "the kept value is not counted";
    EXPECT_EQ(GetRegString(OpenRegKey(HKEY_CURRENT_USER, app + "\\MRU").get(), "a"), "kept");
    EXPECT_EQ(RegValueNames(OpenRegKey(HKEY_CURRENT_USER, app + "\\MRU").get()).size(), 1u);
    EXPECT_FALSE(GateDeleteRegValue(HKEY_CURRENT_USER, app + "\\MRU", "a"));

    EXPECT_TRUE(GateDeleteRegTree(HKEY_CURRENT_USER, app + "\\Sibling"));
    EXPECT_FALSE(GateDeleteRegTree(HKEY_CURRENT_USER, app + "\\Keep"));
    EXPECT_FALSE(GateDeleteRegTree(HKEY_CURRENT_USER, app + "\\Keep\\Below")) << "under a kept key";
    EXPECT_FALSE(GateDeleteRegTree(HKEY_CURRENT_USER, app)) << "it holds what is kept";
    EXPECT_FALSE(GateDeleteRegTree(HKEY_CURRENT_USER, app + "\\MRU")) << "it holds a kept value";
    EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, app + "\\Keep\\Below"));
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, app + "\\Sibling"));

    // While finding, the kept ones are recorded as kept, not as erased.
    BeginFindingPlan();
    BeginPlanGroup("registry");
    EXPECT_FALSE(GateDeleteRegTree(HKEY_CURRENT_USER, app));
    EXPECT_FALSE(GateDeleteRegValue(HKEY_CURRENT_USER, app + "\\MRU", "a"));
    const std::vector<PlanGroup> plan = EndFindingPlan();
    ASSERT_EQ(plan.size(), 1u);
    ASSERT_EQ(plan[0].entries.size(), 2u);
    for (const PlanEntry& entry : plan[0].entries) {
        EXPECT_EQ(entry.kind, PlanEntry::Kept) << entry.what;
    }
}

TEST_F(GateActsTest, WhatIsMarkedNeverEraseIsPassedByEveryWalkAndRefusedByEveryAct) {
    const std::string temp = scratch_ / "Temp";
    ASSERT_TRUE(CreateFolder(temp));
    ASSERT_TRUE(CreateFolder(temp + "\\Kept"));
    ASSERT_TRUE(CreateFolder(temp + "\\Other"));
    WriteFileText(temp + "\\keep.txt", "mine");
    WriteFileText(temp + "\\Kept\\inside.txt", "mine too");
    WriteFileText(temp + "\\Other\\gone.txt", "trace");
    WriteFileText(temp + "\\gone.txt", "trace");
    ASSERT_TRUE(SetAttributes(temp + "\\keep.txt", FILE_ATTRIBUTE_READONLY));
    // Read from Options.ini as the erase run reads it: a case of its own, a trailing backslash.
    const std::string options = scratch_ / "Options.ini";
    WriteFileText(options, "[NeverErase]\r\n0=" + temp + "\\KEEP.TXT\r\n1=" + temp + "\\kept\\\r\n");
    TakeNeverEraseList(options);
    EXPECT_TRUE(IsNeverErased(temp + "\\Kept\\inside.txt"));
    EXPECT_FALSE(IsNeverErased(temp + "\\Kept2\\inside.txt")) << "a name that only begins alike";

    RecordingLog log;
    ResetFileCounters();
    WipeFolderContents(temp, "DoD", 3, log);
    EXPECT_EQ(ErasedFileCount, 2);
    EXPECT_TRUE(NotErasedEntries.empty()) << "what the user keeps is no failure";
    EXPECT_FALSE(FileExists(temp + "\\gone.txt"));
    EXPECT_FALSE(FolderExists(temp + "\\Other"));
    EXPECT_EQ(ReadFileText(temp + "\\keep.txt"), "mine");
    EXPECT_EQ(GetAttributes(temp + "\\keep.txt") & FILE_ATTRIBUTE_READONLY, DWORD(FILE_ATTRIBUTE_READONLY))
        << "not even its attributes changed";
    EXPECT_EQ(ReadFileText(temp + "\\Kept\\inside.txt"), "mine too");

    // Named one by one, by a plug-in entry, a browser item or the shredder.
    EXPECT_EQ(PathRefusal(temp + "\\Kept\\*.*"), std::optional<std::string>("marked Never erase"));
    EXPECT_EQ(EraseNamedFile(temp + "\\keep.txt", "DoD", 3, log), NamedFileErase::Absent);
    EXPECT_EQ(ShredRefusal(temp + "\\keep.txt"), std::optional<std::string>(kStatusNeverErase));
    EXPECT_EQ(WalkedFileReason(temp + "\\Kept\\inside.txt"), "refused: marked Never erase");
    EXPECT_FALSE(GateRemoveFolder(temp + "\\Kept"));
    EXPECT_EQ(ReadFileText(temp + "\\keep.txt"), "mine");
    EXPECT_EQ(ReadFileText(temp + "\\Kept\\inside.txt"), "mine too");
    SetAttributes(temp + "\\keep.txt", 0);
}

// Each entry of the plan as "<kind> <what> <size> <why>", for comparing whole plans.
std::vector<std::string> PlanLines(const std::vector<PlanGroup>& groups) {
    std::vector<std::string> lines;
    for (const PlanGroup& group : groups) {
        lines.push_back("group " + group.title);
        for (const PlanEntry& entry : group.entries) {
            lines.push_back(std::to_string(entry.kind) + " " + entry.what + " " + std::to_string(entry.size) +
                            (entry.why.empty() ? "" : " " + entry.why));
        }
    }
    return lines;
}

TEST_F(GateActsTest, WhileFindingEveryActIsRecordedAsItWouldBeDoneAndNothingChanges) {
    const std::string temp = scratch_ / "Temp";
    ASSERT_TRUE(CreateFolder(temp));
    ASSERT_TRUE(CreateFolder(temp + "\\Sub"));
    WriteFileText(temp + "\\a.txt", std::string(10, 'a'));
    WriteFileText(temp + "\\Sub\\b.txt", std::string(20, 'b'));
    WriteFileText(temp + "\\held.txt", "held");
    WriteFileText(temp + "\\kept.txt", "mine");
    ASSERT_TRUE(SetAttributes(temp + "\\a.txt", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CreateFolder(temp + "\\Keeps"));
    WriteFileText(temp + "\\Keeps\\mine.txt", "mine");
    SetNeverErase({temp + "\\kept.txt", temp + "\\Keeps\\mine.txt"});
    const std::string key = "Software\\QuorvaleFindingProbe\\MRU";
    RegistryTreeRestore restore(HKEY_CURRENT_USER, "Software\\QuorvaleFindingProbe");
    {
        RegKey values = CreateRegKey(HKEY_CURRENT_USER, key);
        ASSERT_TRUE(values && SetRegString(values.get(), "a", "x") && SetRegString(values.get(), "b", "yy"));
        ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, key + "\\Sub"));
    }
    const auto files = [&] {
        std::map<std::string, std::string> state;
        for (const char* name : {"\\a.txt", "\\Sub\\b.txt", "\\held.txt", "\\kept.txt"}) {
            state[name] = ReadFileText(temp + name) + " " + std::to_string(GetAttributes(temp + name));
        }
        return state;
    };
    const auto before = files();
    FileHandle holder(CreateFileW(WidePath(temp + "\\held.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);

    RecordingLog log;
    ResetItemCounters();
    BeginFindingPlan();
    BeginPlanGroup("files");
    WipeFolderContents(temp, "Gutmann", 0, log);
    BeginPlanGroup("registry");
    const int64_t values = GateDeleteAllValues(HKEY_CURRENT_USER, key);
    const bool tree = GateDeleteRegTree(HKEY_CURRENT_USER, key + "\\Sub");
    GatedFile file(temp + "\\Sub\\b.txt");
    const bool opened = file.Open() != nullptr;
    const std::vector<PlanGroup> plan = EndFindingPlan();
    holder.reset();

    // Counted as the erase counts them, listed in its order: files, then each folder after them.
    EXPECT_EQ(ErasedFileCount, 2);
    EXPECT_EQ(ReleasedByteCount, 30);
    EXPECT_EQ(values, 2);
    EXPECT_TRUE(tree);
    EXPECT_FALSE(opened) << "nothing is opened for writing while finding";
    const std::string hkcu = "HKEY_CURRENT_USER\\" + key;
    std::vector<std::string> lines = PlanLines(plan);
    const auto at = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) - lines.begin();
    };
    EXPECT_LT(at("0 " + temp + "\\Sub\\b.txt 20"), at("1 " + temp + "\\Sub 0")) << "a folder after what it holds";
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[1].entries.size(), 3u);
    // The folder search's order is the file system's: compared as a set.
    std::sort(lines.begin(), lines.end());
    std::vector<std::string> expected{
        "group files",
        "0 " + temp + "\\a.txt 10",
        "7 " + temp + "\\held.txt 0 in use by another program",
        "8 " + temp + "\\kept.txt 0",
        "0 " + temp + "\\Sub\\b.txt 20",
        "1 " + temp + "\\Sub 0",
        // A folder that keeps a kept file stays, so it is not listed as removed.
        "8 " + temp + "\\Keeps\\mine.txt 0",
        "group registry",
        "2 " + hkcu + "\\a 4",
        "2 " + hkcu + "\\b 6",
        "3 " + hkcu + "\\Sub 0",
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(files(), before) << "a file or its attributes changed";
    RegKey after = OpenRegKey(HKEY_CURRENT_USER, key);
    EXPECT_EQ(GetRegString(after.get(), "a"), std::optional<std::string>("x"));
    EXPECT_EQ(GetRegString(after.get(), "b"), std::optional<std::string>("yy"));
    EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, key + "\\Sub"));
    EXPECT_FALSE(FindingPlan());
    SetAttributes(temp + "\\a.txt", 0);
}

} // namespace
