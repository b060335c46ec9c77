// What the keep-list dialogs offer: the user's real typed-address key, and the entries not yet
// kept.
#include "engine/InternetExplorer.h"
#include "platform/Registry.h"
#include "settings/KeepListSources.h"
#include "unit/ItemTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(EntriesNotKept, LeavesOutExactlyKeptEntriesAndKeepsTheOrderAndDuplicates) {
    const std::vector<std::string> found = {"b@x[1].txt", "A@X[1].txt", "a@x[1].txt", "c@x[2].txt", "c@x[2].txt"};
    struct Case {
        std::vector<std::string> kept;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {{}, found},
        {{"a@x[1].txt"}, {"b@x[1].txt", "A@X[1].txt", "c@x[2].txt", "c@x[2].txt"}},
        {{"c@x[2].txt", "gone.txt"}, {"b@x[1].txt", "A@X[1].txt", "a@x[1].txt"}},
        {{"B@X[1].TXT"}, found}, // letter case counts
        {found, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EntriesNotKept(found, c.kept), c.left);
    }
}

TEST(TypedAddresses, AreTheTextValuesOfTheTypedAddressKeyInTheRegistrysOrder) {
    RegistryTreeRestore restore(HKEY_CURRENT_USER, kTypedUrlsKey);
    DeleteRegTree(HKEY_CURRENT_USER, kTypedUrlsKey);
    EXPECT_TRUE(TypedAddresses().empty()) << "a missing key";

    RegKey key = CreateRegKey(HKEY_CURRENT_USER, kTypedUrlsKey);
    ASSERT_TRUE(key);
    EXPECT_TRUE(TypedAddresses().empty()) << "an empty key";
    ASSERT_TRUE(SetRegString(key.get(), "url1", "http://b.qv.test/"));
    ASSERT_TRUE(SetRegString(key.get(), "url2", "http://a.qv.test/path?x=1"));
    DWORD number = 5;
    ASSERT_EQ(RegSetValueExW(key.get(), L"count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number),
              ERROR_SUCCESS);
    ASSERT_TRUE(SetRegString(key.get(), "url3", ""));

    std::vector<std::string> expected;
    for (const auto& name : RegValueNames(key.get())) {
        if (name != "count") {
            expected.push_back(*GetRegString(key.get(), name));
        }
    }
    EXPECT_EQ(TypedAddresses(), expected);
    EXPECT_EQ(expected.size(), 3u);
}

} // namespace
