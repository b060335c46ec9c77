// The options store against real files: encodings, defaults, in-place editing, limits, refusals.
#include "platform/Files.h"
#include "store/OptionNames.h"
#include "store/OptionTexts.h"
#include "store/OptionsStore.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

class OptionsStoreTest : public ::testing::Test {
protected:
    std::string Path() const { return folder_ / "Options.ini"; }
    OptionsStore StoreWith(std::string_view text) {
        WriteFileText(Path(), text);
        return OptionsStore(Path());
    }
    ScratchFolder folder_;
};

TEST_F(OptionsStoreTest, MissingFileGivesEveryDefaultAndIsNotCreated) {
    OptionsStore store(Path());
    EXPECT_EQ(store.GetText("Miscellaneous", "SecurityLevel", "DoD"), "DoD");
    EXPECT_EQ(store.GetNumber("Miscellaneous", "CustomInterval", 7), 7);
    EXPECT_TRUE(store.GetFlag("IE", "Cache", true));
    EXPECT_FALSE(store.GetFlag("IE", "AutoPassword", false));
    EXPECT_TRUE(store.GetSectionEntries("IECookies").empty());
    EXPECT_FALSE(store.HasKey("IE", "Cache"));
    store.RemoveSection("IECookies");
    EXPECT_FALSE(FileExists(Path()));
}

struct NumberCase {
    const char* text;
    int32_t expected;
};

TEST_F(OptionsStoreTest, NumbersFollowTheIntegerEncoding) {
    const NumberCase cases[] = {
        {"0", 0},
        {"42", 42},
        {"-1", -1},
        {"+7", 7},
        {"0x10", 16},
        {"0X1f", 31},
        {"0x7FFFFFFF", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483647", INT32_MAX},
        {"2147483648", -99},
        {"0x80000000", -99},
        {"0x", -99},
        {"0xG1", -99},
        {"12abc", -99},
        {"true", -99},
        {"", -99},
        {"-", -99},
        {"  12  ", 12},
        {"1.5", -99},
    };
    for (const auto& c : cases) {
        OptionsStore store = StoreWith(std::string("[Miscellaneous]\r\nCustomInterval=") + c.text + "\r\n");
        EXPECT_EQ(store.GetNumber("Miscellaneous", "CustomInterval", -99), c.expected) << "text: \"" << c.text << "\"";
    }
}

TEST_F(OptionsStoreTest, FlagsAreNumbersWithOneOrZeroAsDefault) {
    struct FlagCase {
        const char* text;
        bool defaultValue;
        bool expected;
    };
    const FlagCase cases[] = {
        {"1", false, true},     {"0", true, false},   {"2", false, true}, {"-1", false, true},
        {"true", false, false}, {"true", true, true}, {"", true, true},   {"0x0", true, false},
    };
    for (const auto& c : cases) {
        OptionsStore store = StoreWith(std::string("[IE]\r\nCache=") + c.text + "\r\n");
        EXPECT_EQ(store.GetFlag("IE", "Cache", c.defaultValue), c.expected)
            << "text: \"" << c.text << "\" default " << c.defaultValue;
    }
}

TEST_F(OptionsStoreTest, PresentButEmptyTextIsNotTheDefault) {
    OptionsStore store = StoreWith("[Miscellaneous]\r\nBossKey=\r\n");
    EXPECT_EQ(store.GetText("Miscellaneous", "BossKey", "Ctrl+Alt+B"), "");
    EXPECT_EQ(store.GetText("Miscellaneous", "StealthKey", "Ctrl+Alt+S"), "Ctrl+Alt+S");
}

TEST_F(OptionsStoreTest, NamesAreCaseBlindBlanksDroppedAndFirstOccurrenceWins) {
    OptionsStore store = StoreWith("[Opera]\r\n  cache =  0  \r\nCache=1\r\n[OPERA]\r\nCookies=0\r\n");
    EXPECT_FALSE(store.GetFlag(kSectionOpera, "Cache", true));
    // The second "[OPERA]" line is another occurrence of the same section: only the first counts.
    EXPECT_TRUE(store.GetFlag(kSectionOpera, "Cookies", true));
    EXPECT_TRUE(store.HasKey("oPeRa", "CACHE"));
}

TEST_F(OptionsStoreTest, WritesKeepTheOrderAndTextOfAHandEditedFile) {
    const std::string original = "; my settings\r\n"
                                 "[Miscellaneous]\r\n"
                                 "SecurityLevel = NSA\r\n"
                                 "; comment inside\r\n"
                                 "StealthMode=0\r\n"
                                 "\r\n"
                                 "[IE]\r\n"
                                 "Cache=1\r\n";
    OptionsStore store = StoreWith(original);
    store.PutText("miscellaneous", "securitylevel", "Gutmann");
    store.PutFlag(kSectionMiscellaneous, kKeyEnableBosskey, true);
    store.PutNumber("Windows", "RunMenu", 0);
    EXPECT_EQ(ReadFileText(Path()), "; my settings\r\n"
                                    "[Miscellaneous]\r\n"
                                    "SecurityLevel=Gutmann\r\n"
                                    "; comment inside\r\n"
                                    "StealthMode=0\r\n"
                                    "EnableBosskey=1\r\n"
                                    "\r\n"
                                    "[IE]\r\n"
                                    "Cache=1\r\n"
                                    "[Windows]\r\n"
                                    "RunMenu=0\r\n");
}

TEST_F(OptionsStoreTest, UnixLineEndsAndByteOrderMarkAreKept) {
    OptionsStore store = StoreWith("\xEF\xBB\xBF[IE]\nCache=0\n");
    EXPECT_FALSE(store.GetFlag("IE", "Cache", true));
    store.PutFlag("IE", "History", false);
    EXPECT_EQ(ReadFileText(Path()), "\xEF\xBB\xBF[IE]\nCache=0\nHistory=0\n");
}

TEST_F(OptionsStoreTest, ReadsUtf8AndFallsBackToTheAnsiCodePagePerLine) {
    // "caf\xE9" is not UTF-8: it is read in the ANSI code page (1252 here), as "café".
    OptionsStore store =
        StoreWith("[IEAddressBar]\r\n0=http://caf\xE9.example/\r\n1=http://\xC3\xA9t\xC3\xA9.example/\r\n");
    EXPECT_EQ(store.GetText("IEAddressBar", "0", ""), "http://caf\xC3\xA9.example/");
    EXPECT_EQ(store.GetText("IEAddressBar", "1", ""), "http://\xC3\xA9t\xC3\xA9.example/");
    store.PutText("IEAddressBar", "2", "\xE2\x82\xAC");
    EXPECT_EQ(ReadFileText(Path()), "[IEAddressBar]\r\n0=http://caf\xC3\xA9.example/\r\n"
                                    "1=http://\xC3\xA9t\xC3\xA9.example/\r\n2=\xE2\x82\xAC\r\n");
}

TEST_F(OptionsStoreTest, LineBreaksInAWriteNeverCreateAnotherKeyOrSection) {
    OptionsStore store(Path());
    store.PutText("Miscellaneous", "BossKey", "Ctrl+Alt+B\r\n[IE]\r\nCache=0");
    store.PutText("Miscellaneous", "Evil\nStealthMode", "1");
    EXPECT_TRUE(store.GetFlag("IE", "Cache", true));
    EXPECT_FALSE(store.HasKey("Miscellaneous", "StealthMode"));
    EXPECT_EQ(store.GetSectionEntries("Miscellaneous").size(), 2u);
    EXPECT_EQ(store.GetText("Miscellaneous", "BossKey", ""), "Ctrl+Alt+B  [IE]  Cache=0");
}

TEST_F(OptionsStoreTest, ValuesAreCutAt2047Characters) {
    std::string longValue(3000, 'x');
    longValue.replace(2040, 10, "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"); // five two-byte characters
    OptionsStore store = StoreWith("[S]\r\nK=" + longValue + "\r\n");
    std::string read = store.GetText("S", "K", "");
    EXPECT_EQ(read.substr(0, 2040), std::string(2040, 'x'));
    EXPECT_EQ(read.substr(2040), "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9xx"); // 2040 + 5 + 2 = 2047
}

TEST_F(OptionsStoreTest, KeyListStopsAt16384Bytes) {
    // Names "k0000" .. take 6 bytes each with their zero; the buffer ends with one more zero.
    std::string text = "[Big]\r\n";
    for (int i = 0; i < 3000; ++i) {
        char name[16];
        wsprintfA(name, "k%04d", i);
        text += std::string(name) + "=" + std::to_string(i) + "\r\n";
    }
    OptionsStore store = StoreWith(text);
    auto entries = store.GetSectionEntries("Big");
    ASSERT_EQ(entries.size(), (16384u - 1) / 6);
    EXPECT_EQ(entries.front(), "k0000=0");
    EXPECT_EQ(entries.back(), "k2729=2729");
    EXPECT_TRUE(store.HasKey("Big", "k2729"));
    EXPECT_FALSE(store.HasKey("Big", "k2730"));
    EXPECT_EQ(store.GetText("Big", "k2999", ""), "2999"); // reading one key has no such limit
}

TEST_F(OptionsStoreTest, RefusedWriteRaisesAndLeavesTheFileAsItWas) {
    const std::string original = "[IE]\r\nCache=1\r\n";
    OptionsStore store = StoreWith(original);
    ASSERT_TRUE(SetFileAttributesA(Path().c_str(), FILE_ATTRIBUTE_READONLY));
    try {
        store.PutFlag("IE", "Cache", false);
        ADD_FAILURE() << "the write to a read-only file was not refused";
    } catch (const OptionsWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + Path());
    }
    EXPECT_THROW(store.RemoveSection("IE"), OptionsWriteError);
    SetFileAttributesA(Path().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileText(Path()), original);
}

TEST_F(OptionsStoreTest, WriteIntoAMissingFolderIsRefused) {
    OptionsStore store(folder_ / "no such folder\\Options.ini");
    EXPECT_THROW(store.PutText("IE", "Cache", "1"), OptionsWriteError);
}

TEST_F(OptionsStoreTest, RemoveSectionTakesTheSectionAndAllItsKeys) {
    OptionsStore store = StoreWith("[A]\r\nx=1\r\n[IECookies]\r\n0=a\r\n1=b\r\n[B]\r\ny=2\r\n");
    store.RemoveSection("iecookies");
    EXPECT_EQ(ReadFileText(Path()), "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
}

TEST_F(OptionsStoreTest, KeepListsRoundTrip) {
    OptionsStore store(Path());
    WriteKeepList(store, kSectionIECookies, {"user@site[1].txt", "a=b=c", ""});
    EXPECT_EQ(ReadFileText(Path()), "[IECookies]\r\n0=user@site[1].txt\r\n1=a=b=c\r\n2=\r\n");
    EXPECT_EQ(ReadKeepList(store, kSectionIECookies), (std::vector<std::string>{"user@site[1].txt", "a=b=c", ""}));

    WriteKeepList(store, kSectionIECookies, {});
    EXPECT_EQ(ReadFileText(Path()), "");
    EXPECT_TRUE(ReadKeepList(store, kSectionIECookies).empty());
}

TEST_F(OptionsStoreTest, HandWrittenKeepListKeysAreIgnored) {
    OptionsStore store = StoreWith("[IEAddressBar]\r\nfirst=http://b/\r\nsecond=http://a/?q=1\r\n");
    EXPECT_EQ(ReadKeepList(store, kSectionIEAddressBar), (std::vector<std::string>{"http://b/", "http://a/?q=1"}));
}

TEST_F(OptionsStoreTest, BossKeyEntriesAreParsedAndReflagged) {
    OptionsStore store = StoreWith("[BossKeyHiddenPrograms]\r\nNotepad=1,Notepad\r\nWord=0,OpusApp\r\n"
                                   "Odd=x,Class,With,Commas\r\n");
    auto entries = ReadBossKeyEntries(store);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].displayName, "Notepad");
    EXPECT_TRUE(entries[0].hide);
    EXPECT_EQ(entries[0].className, "Notepad");
    EXPECT_FALSE(entries[1].hide);
    EXPECT_EQ(entries[1].className, "OpusApp");
    EXPECT_FALSE(entries[2].hide);
    EXPECT_EQ(entries[2].className, "Class,With,Commas");

    WriteBossKeyFlag(store, "Word", true);
    WriteBossKeyFlag(store, "Notepad", false);
    EXPECT_EQ(ReadFileText(Path()), "[BossKeyHiddenPrograms]\r\nNotepad=0,Notepad\r\nWord=1,OpusApp\r\n"
                                    "Odd=x,Class,With,Commas\r\n");
}

TEST(OptionsFilePath, IsTheExecutablesFolderPlusOptionsIni) {
    std::string path = OptionsFilePath();
    EXPECT_EQ(path, ExecutableDir() + "Options.ini");
    EXPECT_EQ(path.find("\\\\"), std::string::npos);
}

} // namespace
