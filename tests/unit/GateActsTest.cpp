// The safety gate's acts against real files, folders and keys: what it refuses stays byte for
// byte, whoever asked, and the refusal reaches the account with its reason.
#include "engine/FolderWipe.h"
#include "engine/RunState.h"
#include "engine/WipeMethods.h"
#include "gate/GateActs.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "support/Overrides.h"
#include "support/Scratch.h"
#include "unit/ItemTestSupport.h"

#include <gtest/gtest.h>

namespace {

class GateActsTest : public ::testing::Test {
protected:
    void SetUp() override {
        StopRequested = false;
        NotErasedEntries.clear();
    }
    void TearDown() override { NotErasedEntries.clear(); }

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

TEST_F(GateActsTest, RegistryTreesAtAProgramsOwnKeyOrAboveStay) {
    const std::string vendor = "Software\\QuorvaleGateProbe";
    RegistryTreeRestore restore(HKEY_CURRENT_USER, vendor);
    ASSERT_TRUE(CreateRegKey(HKEY_CURRENT_USER, vendor + "\\Product\\History"));

    EXPECT_FALSE(GateDeleteRegTree(HKEY_CURRENT_USER, vendor)) << "a vendor's whole key";
    EXPECT_FALSE(GateDeleteRegTree(HKEY_CURRENT_USER, "Software"));
    EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, vendor + "\\Product\\History"));

    EXPECT_TRUE(GateDeleteRegTree(HKEY_CURRENT_USER, vendor + "\\Product\\History"));
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, vendor + "\\Product\\History"));
    EXPECT_TRUE(OpenRegKey(HKEY_CURRENT_USER, vendor + "\\Product")) << "only the named key goes";
}

} // namespace
