// UTF-8 and UTF-16 conversions at the platform edge, and long paths.
#include "platform/Files.h"
#include "platform/Text.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(Text, RoundTripsEveryUtf16StringIncludingUnpairedSurrogates) {
    const std::wstring samples[] = {
        L"",
        L"plain.txt",
        L"caf\u00e9 \u65e5\u672c \u0416",
        L"emoji \xD83D\xDE00 pair",
        std::wstring(L"lone high \xD800 end"),
        std::wstring(L"lone low \xDC00"),
        std::wstring(L"\xDBFF"),
    };
    for (const auto& sample : samples) {
        EXPECT_EQ(Widen(Narrow(sample)), sample);
        EXPECT_TRUE(IsUtf8(Narrow(sample)));
    }
    EXPECT_EQ(Narrow(L"\u00e9\xD83D\xDE00"), "\xC3\xA9\xF0\x9F\x98\x80");
}

TEST(Text, InvalidUtf8BytesBecomeReplacementCharacters) {
    EXPECT_FALSE(IsUtf8("caf\xE9"));
    EXPECT_FALSE(IsUtf8("\xC0\x80")); // overlong
    EXPECT_FALSE(IsUtf8("\xE2\x82")); // cut short
    EXPECT_EQ(Widen("a\xFF"
                    "b"),
              L"a\xFFFD"
              L"b");
}

TEST(Text, AnsiBytesAreConvertedThroughTheCodePage) {
    EXPECT_EQ(AnsiToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(AnsiToUtf8(""), "");
}

TEST(Text, AsciiCaseFoldingLeavesOtherBytesAlone) {
    EXPECT_EQ(AsciiUpper("firefox.exe \xC3\xA9"), "FIREFOX.EXE \xC3\xA9");
    EXPECT_TRUE(EqualsNoCase("OPera", "opERA"));
    EXPECT_FALSE(EqualsNoCase("Opera", "Opera "));
    EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
    EXPECT_EQ(Trim(" \t "), "");
}

TEST(Text, LongAbsolutePathsGetTheExtendedPrefix) {
    std::string longPath = "C:\\" + std::string(300, 'a');
    EXPECT_EQ(WidePath(longPath).substr(0, 7), L"\\\\?\\C:\\");
    EXPECT_EQ(WidePath("\\\\server\\share\\" + std::string(300, 'b')).substr(0, 8), L"\\\\?\\UNC\\");
    EXPECT_EQ(WidePath("C:\\short"), L"C:\\short");
}

TEST(Files, NamesOutsideTheCodePageAndLongPathsAreWrittenAndRead) {
    ScratchFolder folder;
    std::string unicodeName = folder / "\xE6\x97\xA5\xE6\x9C\xAC-\xD0\x96.txt";
    ASSERT_EQ(WriteWholeFile(unicodeName, "one"), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_TRUE(FileExists(unicodeName));
    EXPECT_EQ(ReadFileText(unicodeName), "one");

    std::string deep = folder.Path();
    while (deep.size() < 320) {
        deep += std::string(40, 'd') + "\\";
        ASSERT_TRUE(CreateDirectoryW(WidePath(deep).c_str(), nullptr)) << GetLastError();
    }
    std::string deepFile = deep + "file.ini";
    ASSERT_EQ(WriteWholeFile(deepFile, "two"), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(ReadFileText(deepFile), "two");
    EXPECT_TRUE(RemoveTree(folder.Path() + std::string(40, 'd')));
}

TEST(Files, AWriteReplacesTheWholeContentAndLeavesNoTemporaryFile) {
    ScratchFolder folder;
    std::string path = folder / "a.ini";
    ASSERT_EQ(WriteWholeFile(path, std::string(5000, 'x')), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(WriteWholeFile(path, "short"), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(ReadFileText(path), "short");
    EXPECT_FALSE(FileExists(path + ".new~"));
    std::string missing;
    EXPECT_FALSE(ReadWholeFile(folder / "missing.ini", missing));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

} // namespace
