// The registry items: typed addresses with their keep list, AutoComplete passwords, and the form
// data of the Windows 9x family (the NT family's service has tests of its own).
#include "engine/FolderWipe.h"
#include "engine/InternetExplorer.h"
#include "engine/RunState.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "platform/UserAccount.h"
#include "store/OptionNames.h"
#include "store/OptionTexts.h"
#include "support/ChildProcess.h"
#include "support/RecordingLog.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using Values = std::map<std::string, std::string>;

Values ReadValues(HKEY root, const std::string& path) {
    Values values;
    RegKey key = OpenRegKey(root, path);
    for (const std::string& name : RegValueNames(key.get())) {
        values[name] = GetRegString(key.get(), name).value_or("(not text)");
    }
    return values;
}

void WriteValues(HKEY root, const std::string& path, const Values& values) {
    RegKey key = CreateRegKey(root, path);
    ASSERT_TRUE(key) << path;
    for (const auto& [name, value] : values) {
        ASSERT_TRUE(SetRegString(key.get(), name, value));
    }
}

class RegistryItemTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetItemCounters();
        TotalErasedRegistryCount = 0;
        DeleteRegTree(HKEY_CURRENT_USER, kTypedUrlsKey);
        DeleteRegTree(HKEY_CURRENT_USER, kAutoCompletePasswordsKey);
    }
    void TearDown() override {
        DeleteRegTree(HKEY_CURRENT_USER, kTypedUrlsKey);
        DeleteRegTree(HKEY_CURRENT_USER, kAutoCompletePasswordsKey);
    }

    std::string OptionsWithAddressesToKeep(const std::vector<std::string>& keep) {
        OptionsStore options(folder_ / "Options.ini");
        WriteKeepList(options, kSectionIEAddressBar, keep);
        return options.Path();
    }

    ScratchFolder folder_;
    RecordingLog log_;
};

TEST_F(RegistryItemTest, TypedAddressesAreAllCountedAndTheKeepListIsWrittenBackInItsOrder) {
    WriteValues(HKEY_CURRENT_USER, kTypedUrlsKey,
                {{"url1", "http://one/"}, {"url2", "b"}, {"url3", "http://three/"}, {"url4", "a"}, {"url5", "x"}});
    TotalErasedRegistryCount = 3;

    EraseIETypedURLs(OptionsWithAddressesToKeep({"a", "b"}), log_);

    EXPECT_EQ(log_.lines, (std::vector<std::string>{"5 registry entries were erased."}));
    EXPECT_EQ(ReadValues(HKEY_CURRENT_USER, kTypedUrlsKey), (Values{{"url1", "a"}, {"url2", "b"}}));
    EXPECT_EQ(TotalErasedRegistryCount, 8);
}

TEST_F(RegistryItemTest, TypedAddressesWithoutTheirKeyWriteNoLineButTheKeepListIsStillStored) {
    const struct {
        const char* name;
        std::vector<std::string> keep;
        bool keyAfterwards;
    } cases[] = {
        {"keep list", {"http://kept/"}, true},
        {"no keep list", {}, false},
    };
    for (const auto& c : cases) {
        RecordingLog log;
        EraseIETypedURLs(OptionsWithAddressesToKeep(c.keep), log);
        EXPECT_TRUE(log.lines.empty()) << c.name;
        EXPECT_EQ(static_cast<bool>(OpenRegKey(HKEY_CURRENT_USER, kTypedUrlsKey)), c.keyAfterwards) << c.name;
        EXPECT_EQ(TotalErasedRegistryCount, 0) << c.name;
        DeleteRegTree(HKEY_CURRENT_USER, kTypedUrlsKey);
    }
    EXPECT_EQ(ReadValues(HKEY_CURRENT_USER, kTypedUrlsKey), Values{});
}

TEST_F(RegistryItemTest, TypedAddressesItemEndsInternetExplorerFirst) {
    ASSERT_TRUE(CopyFileW(Widen(TestProgramFolder() + "QvTestHelper.exe").c_str(),
                          Widen(folder_ / "iexplore.exe").c_str(), FALSE));
    ChildProcess browser("\"" + folder_ / "iexplore.exe" + "\" sleep");
    ASSERT_TRUE(browser.WaitListed()) << "the item finds programs in the process list";

    EraseIETypedURLs(OptionsWithAddressesToKeep({}), log_);

    EXPECT_EQ(browser.Wait(5000), 0u);
}

TEST_F(RegistryItemTest, PasswordsItemReplacesThePlaceholderWithAnAlwaysPluralCount) {
    const std::string placeholder = "0 registry entried was erased.";
    const struct {
        const char* name;
        bool key;
        Values values;
        const char* line;
    } cases[] = {
        {"one value", true, {{"a1b2", "secret"}}, "1 registry entries were erased."},
        {"no values", true, {}, "0 registry entries were erased."},
        {"three values", true, {{"a", "1"}, {"b", "2"}, {"c", "3"}}, "3 registry entries were erased."},
        {"no key", false, {}, "0 registry entried was erased."},
    };
    for (const auto& c : cases) {
        ResetItemCounters();
        TotalErasedRegistryCount = 2;
        DeleteRegTree(HKEY_CURRENT_USER, kAutoCompletePasswordsKey);
        if (c.key) {
            WriteValues(HKEY_CURRENT_USER, kAutoCompletePasswordsKey, c.values);
        }
        RecordingLog log;
        log.AppendLine("Erasing IE AutoComplete Passwords ...");
        log.AppendLine(placeholder);

        EraseIEPasswords(log);

        EXPECT_EQ(log.lines, (std::vector<std::string>{"Erasing IE AutoComplete Passwords ...", c.line})) << c.name;
        EXPECT_EQ(ErasedRegistryCount, static_cast<int64_t>(c.values.size())) << c.name;
        EXPECT_EQ(TotalErasedRegistryCount, 2 + static_cast<int64_t>(c.values.size())) << c.name;
        EXPECT_EQ(ReadValues(HKEY_CURRENT_USER, kAutoCompletePasswordsKey), Values{}) << c.name;
    }
}

TEST(ProtectedStorageFormDataKey, NamesTheUsersAutoCompleteDataTypeAndSubtype) {
    EXPECT_EQ(ProtectedStorageFormDataKey("alice"),
              "\\SOFTWARE\\Microsoft\\Protected Storage System Provider\\alice\\Data\\"
              "e161255a-37c3-11d2-bcaa-00c04fd929db\\e161255a-37c3-11d2-bcaa-00c04fd929db");
}

TEST(EraseIEFormData, OnWin9xDeletesTheSubKeysOfTheUsersProtectedStorageKey) {
    const std::string userName = CurrentUserName();
    ASSERT_FALSE(userName.empty());
    const std::string dataKey = ProtectedStorageFormDataKey(userName);
    WriteValues(HKEY_LOCAL_MACHINE, dataKey, {{"stays", "on the key itself"}});
    WriteValues(HKEY_LOCAL_MACHINE, dataKey + "\\entry1", {{"field", "value"}});
    WriteValues(HKEY_LOCAL_MACHINE, dataKey + "\\entry1\\deeper", {{"field", "value"}});
    WriteValues(HKEY_LOCAL_MACHINE, dataKey + "\\entry2", {});
    const std::string appKey = "Software\\Wine\\AppDefaults\\QvTestHelper.exe";
    {
        RegKey key = CreateRegKey(HKEY_CURRENT_USER, appKey);
        ASSERT_TRUE(key && SetRegString(key.get(), "Version", "win98"));
    }

    ChildProcess helper("\"" + TestProgramFolder() + "QvTestHelper.exe\" form-data");
    EXPECT_EQ(helper.Wait(30000), 0u);

    DeleteRegTree(HKEY_CURRENT_USER, appKey);
    RegKey key = OpenRegKey(HKEY_LOCAL_MACHINE, dataKey);
    ASSERT_TRUE(key);
    EXPECT_TRUE(RegSubKeyNames(key.get()).empty());
    EXPECT_EQ(ReadValues(HKEY_LOCAL_MACHINE, dataKey), (Values{{"stays", "on the key itself"}}));
    key.reset();
    DeleteRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Protected Storage System Provider\\" + userName);
}

} // namespace
