// The Run value that starts the program with Windows, against scratch registry keys standing in
// for the machine-wide and the per-user root.
#include "platform/Registry.h"
#include "platform/Text.h"
#include "settings/RunValue.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

namespace {

TEST(RunValueData, IsThePathWithStartupOnlyWhenBothAreOn) {
    EXPECT_EQ(RunValueData("C:\\Program Files\\Quorvale\\Quorvale.exe", true, false),
              "C:\\Program Files\\Quorvale\\Quorvale.exe");
    EXPECT_EQ(RunValueData("C:\\Program Files\\Quorvale\\Quorvale.exe", true, true),
              "C:\\Program Files\\Quorvale\\Quorvale.exe /startup");
    EXPECT_EQ(RunValueData("C:\\Quorvale.exe", false, false), std::nullopt);
    EXPECT_EQ(RunValueData("C:\\Quorvale.exe", false, true), std::nullopt);
}

class RunValueTest : public ::testing::Test {
protected:
    void SetUp() override {
        machine_ = CreateRegKey(HKEY_CURRENT_USER, scratch_.Path() + "\\machine");
        user_ = CreateRegKey(HKEY_CURRENT_USER, scratch_.Path() + "\\user");
        ASSERT_TRUE(machine_ && user_);
        keys_.machineRoot = machine_.get();
        keys_.userRoot = user_.get();
    }
    std::optional<std::string> ValueUnder(HKEY root) const {
        RegKey key = OpenRegKey(root, kRunKeyPath);
        return key ? GetRegString(key.get(), kRunValueName) : std::nullopt;
    }
    void Put(HKEY root, const std::string& data) {
        RegKey key = CreateRegKey(root, kRunKeyPath);
        ASSERT_TRUE(key && SetRegString(key.get(), kRunValueName, data));
    }

    ScratchRegKey scratch_;
    RegKey machine_;
    RegKey user_;
    RunKeys keys_;
};

TEST_F(RunValueTest, GoesIntoTheMachineKeyAndTakesAUserLeftoverAway) {
    Put(user_.get(), "C:\\old\\Quorvale.exe");
    EXPECT_EQ(ApplyRunValue(keys_, "C:\\Quorvale.exe /startup"), RunValuePlace::Machine);
    EXPECT_EQ(ValueUnder(machine_.get()), "C:\\Quorvale.exe /startup");
    EXPECT_EQ(ValueUnder(user_.get()), std::nullopt);

    EXPECT_EQ(ApplyRunValue(keys_, "C:\\Quorvale.exe"), RunValuePlace::Machine);
    EXPECT_EQ(ValueUnder(machine_.get()), "C:\\Quorvale.exe");
}

TEST_F(RunValueTest, NoDataDeletesTheValueFromBothKeysAndLeavesOtherValues) {
    Put(machine_.get(), "C:\\Quorvale.exe");
    Put(user_.get(), "C:\\Quorvale.exe /startup");
    {
        RegKey key = OpenRegKey(machine_.get(), kRunKeyPath, KEY_SET_VALUE);
        ASSERT_TRUE(key && SetRegString(key.get(), "Other", "C:\\other.exe"));
    }
    EXPECT_EQ(ApplyRunValue(keys_, std::nullopt), RunValuePlace::Nowhere);
    EXPECT_EQ(ValueUnder(machine_.get()), std::nullopt);
    EXPECT_EQ(ValueUnder(user_.get()), std::nullopt);
    RegKey key = OpenRegKey(machine_.get(), kRunKeyPath);
    ASSERT_TRUE(key);
    EXPECT_EQ(GetRegString(key.get(), "Other"), "C:\\other.exe");

    EXPECT_EQ(ApplyRunValue(keys_, std::nullopt), RunValuePlace::Nowhere) << "nothing to delete is no failure";
}

// A root below which no lasting key can be made, as HKEY_LOCAL_MACHINE is for a user without
// administrator rights: the registry refuses a non-volatile key below a volatile one.
RegKey VolatileKey(const std::string& path) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, Widen(path).c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr);
    EXPECT_EQ(rc, ERROR_SUCCESS);
    return RegKey(key);
}

TEST_F(RunValueTest, WhereTheMachineKeyCannotBeWrittenTheUsersKeyIsWritten) {
    RegKey locked = VolatileKey(scratch_.Path() + "\\locked");
    ASSERT_FALSE(CreateRegKey(locked.get(), kRunKeyPath)) << "the stand-in root refuses keys";
    keys_.machineRoot = locked.get();
    EXPECT_EQ(ApplyRunValue(keys_, "C:\\Quorvale.exe /startup"), RunValuePlace::User);
    EXPECT_EQ(ValueUnder(locked.get()), std::nullopt);
    EXPECT_EQ(ValueUnder(user_.get()), "C:\\Quorvale.exe /startup");

    EXPECT_EQ(ApplyRunValue(keys_, std::nullopt), RunValuePlace::Nowhere);
    EXPECT_EQ(ValueUnder(user_.get()), std::nullopt);
}

TEST_F(RunValueTest, NeitherKeyWritableLeavesTheValueNowhere) {
    RegKey machineLocked = VolatileKey(scratch_.Path() + "\\machine-locked");
    RegKey userLocked = VolatileKey(scratch_.Path() + "\\user-locked");
    keys_.machineRoot = machineLocked.get();
    keys_.userRoot = userLocked.get();
    EXPECT_EQ(ApplyRunValue(keys_, "C:\\Quorvale.exe"), RunValuePlace::Nowhere);
    EXPECT_EQ(ValueUnder(machineLocked.get()), std::nullopt);
    EXPECT_EQ(ValueUnder(userLocked.get()), std::nullopt);
}

} // namespace
