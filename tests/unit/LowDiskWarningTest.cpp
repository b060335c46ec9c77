// Silencing and restoring the low-disk-space warning, in scratch registry keys: only an existing
// key is touched, and the value comes back exactly as it was (or goes again).
#include "platform/Registry.h"
#include "support/Scratch.h"
#include "tools/LowDiskWarning.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kValue = "NoLowDiskSpaceChecks";

class LowDiskWarningTest : public ::testing::Test {
protected:
    LowDiskWarningPlace Place(DWORD silentValue = 1) const {
        return {HKEY_CURRENT_USER, key_.Path(), kValue, silentValue};
    }
    RegKey Key() const { return OpenRegKey(HKEY_CURRENT_USER, key_.Path(), KEY_READ | KEY_WRITE); }
    std::optional<RegValue> Value() const { return GetRegValue(Key().get(), kValue); }
    static RegValue Dword(DWORD value) {
        return {REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value)};
    }
    ScratchRegKey key_;
};

TEST_F(LowDiskWarningTest, AMissingValueIsSetDuringTheWashAndDeletedAfter) {
    {
        LowDiskWarningSilencer silencer(Place());
        ASSERT_TRUE(Value());
        EXPECT_EQ(Value()->type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(Value()->bytes, Dword(1).bytes);
    }
    EXPECT_FALSE(Value());
}

TEST_F(LowDiskWarningTest, AnExistingValueGetsItsTypeAndDataBack) {
    const RegValue before[] = {
        Dword(0), Dword(7), {REG_SZ, std::string("k\0e\0e\0p\0\0\0", 10)}, {REG_BINARY, "\x01\x02"}};
    for (const auto& value : before) {
        ASSERT_TRUE(SetRegValue(Key().get(), kValue, value));
        {
            LowDiskWarningSilencer silencer(Place(0xFFFFFFFF));
            EXPECT_EQ(Value()->bytes, Dword(0xFFFFFFFF).bytes);
        }
        ASSERT_TRUE(Value());
        EXPECT_EQ(Value()->type, value.type);
        EXPECT_EQ(Value()->bytes, value.bytes);
    }
}

TEST_F(LowDiskWarningTest, AMissingKeyIsNeitherCreatedNorWritten) {
    std::string missingKey = key_.Path() + "\\Missing";
    {
        LowDiskWarningSilencer silencer({HKEY_CURRENT_USER, missingKey, kValue, 1});
        EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, missingKey));
    }
    EXPECT_FALSE(OpenRegKey(HKEY_CURRENT_USER, missingKey));
}

TEST_F(LowDiskWarningTest, AValueDeletedDuringTheWashIsNotMadeAgain) {
    ASSERT_TRUE(SetRegValue(Key().get(), kValue, Dword(0)));
    {
        LowDiskWarningSilencer silencer(Place());
        ASSERT_TRUE(DeleteRegValue(Key().get(), kValue));
    }
    EXPECT_FALSE(Value());
}

TEST(LowDiskWarningPlace, OnTheNtFamilyIsTheUsersExplorerPolicy) {
    LowDiskWarningPlace place = LowDiskWarningPlaceForThisSystem(); // Wine reports the NT family
    EXPECT_EQ(place.root, HKEY_CURRENT_USER);
    EXPECT_EQ(place.keyPath, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer");
    EXPECT_EQ(place.valueName, "NoLowDiskSpaceChecks");
    EXPECT_EQ(place.silentValue, 1u);
}

TEST(RegistryValues, ALongValueIsReadWhole) {
    ScratchRegKey key;
    RegKey open = OpenRegKey(HKEY_CURRENT_USER, key.Path(), KEY_READ | KEY_WRITE);
    RegValue big{REG_BINARY, std::string(100000, '\x5A')};
    ASSERT_TRUE(SetRegValue(open.get(), "big", big));
    auto read = GetRegValue(open.get(), "big");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->bytes, big.bytes);
}

} // namespace
