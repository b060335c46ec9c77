// Start-up rules of the main window that need no window: timers, "/startup", the user's SID.
#include "app/Triggers.h"
#include "platform/Registry.h"
#include "platform/Security.h"

#include <gtest/gtest.h>

namespace {

TEST(ScheduleIntervalMs, FollowsTheIntervalTable) {
    const struct {
        int32_t choice;
        UINT ms;
    } cases[] = {{0, 900000},   {1, 1800000},  {2, 3600000},   {3, 28800000},
                 {4, 86400000}, {7, 86400000}, {-1, 86400000}, {INT32_MAX, 86400000}};
    for (const auto& c : cases) {
        EXPECT_EQ(ScheduleIntervalMs(c.choice), c.ms) << "choice " << c.choice;
    }
}

TEST(StartupEraseRequested, NeedsTheSettingAndExactlyStartupAsFirstArgument) {
    using Args = std::vector<std::string>;
    EXPECT_TRUE(StartupEraseRequested(Args{"/startup"}, true));
    EXPECT_TRUE(StartupEraseRequested(Args{"/startup", "more"}, true));
    EXPECT_FALSE(StartupEraseRequested(Args{"/startup"}, false));
    EXPECT_FALSE(StartupEraseRequested(Args{"/STARTUP"}, true));
    EXPECT_FALSE(StartupEraseRequested(Args{"other", "/startup"}, true));
    EXPECT_FALSE(StartupEraseRequested(Args{}, true));
    EXPECT_FALSE(StartupEraseRequested(Args{"/startup "}, true));
}

struct SidParts {
    SID_IDENTIFIER_AUTHORITY authority;
    BYTE count;
    DWORD sub[3];
    const char* text;
};

TEST(SidToText, WritesDecimalAndHexAuthorities) {
    const SidParts cases[] = {
        {{{0, 0, 0, 0, 0, 5}}, 2, {32, 544, 0}, "S-1-5-32-544"},
        {{{0, 0, 0, 0, 0, 1}}, 1, {0, 0, 0}, "S-1-1-0"},
        {{{0, 0, 0x12, 0x34, 0x56, 0x78}}, 1, {4294967295u, 0, 0}, "S-1-305419896-4294967295"},
        {{{0x01, 0x02, 0x03, 0x04, 0x05, 0x06}}, 3, {7, 8, 9}, "S-1-0x010203040506-7-8-9"},
        {{{0, 0xAB, 0, 0, 0, 0}}, 0, {0, 0, 0}, "S-1-0x00ab00000000"},
    };
    for (const auto& c : cases) {
        PSID sid = nullptr;
        SID_IDENTIFIER_AUTHORITY authority = c.authority;
        ASSERT_TRUE(AllocateAndInitializeSid(&authority, c.count, c.sub[0], c.sub[1], c.sub[2], 0, 0, 0, 0, 0, &sid));
        EXPECT_EQ(SidToText(sid).value_or("(none)"), c.text);
        FreeSid(sid);
    }
    EXPECT_FALSE(SidToText(nullptr).has_value());
}

TEST(StoreUserSid, LeavesTheCurrentUsersSidForTheService) {
    auto expected = CurrentUserSidText();
    ASSERT_TRUE(expected.has_value());
    EXPECT_EQ(expected->rfind("S-1-5-21-", 0), 0u) << *expected;
    DeleteRegValue(OpenRegKey(HKEY_LOCAL_MACHINE, "Software\\Quorvale", KEY_WRITE).get(), "SID");
    StoreUserSid();
    RegKey key = OpenRegKey(HKEY_LOCAL_MACHINE, "\\Software\\Quorvale");
    ASSERT_TRUE(key);
    EXPECT_EQ(GetRegString(key.get(), "SID").value_or(""), *expected);
}

} // namespace
