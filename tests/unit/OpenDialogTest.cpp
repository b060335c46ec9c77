// The open dialog's result buffer turned into full paths, in the dialog's order.
#include "ui/Dialogs.h"

#include <gtest/gtest.h>

namespace {

std::wstring Buffer(std::initializer_list<std::wstring> parts) {
    std::wstring buffer;
    for (const auto& part : parts) {
        buffer += part;
        buffer += L'\0';
    }
    buffer += L'\0';
    buffer += L"garbage after the end";
    return buffer;
}

TEST(OpenDialogBuffer, OneChosenFileIsItsFullPath) {
    EXPECT_EQ(PathsFromOpenDialogBuffer(Buffer({L"C:\\docs\\a.txt"})), std::vector<std::string>{"C:\\docs\\a.txt"});
}

TEST(OpenDialogBuffer, SeveralFilesAreJoinedToTheirFolderInOrder) {
    EXPECT_EQ(PathsFromOpenDialogBuffer(Buffer({L"C:\\docs", L"c.txt", L"a.txt", L"b.txt"})),
              (std::vector<std::string>{"C:\\docs\\c.txt", "C:\\docs\\a.txt", "C:\\docs\\b.txt"}));
}

TEST(OpenDialogBuffer, AFolderThatIsARootGetsNoSecondBackslash) {
    EXPECT_EQ(PathsFromOpenDialogBuffer(Buffer({L"R:\\", L"one.txt", L"two.txt"})),
              (std::vector<std::string>{"R:\\one.txt", "R:\\two.txt"}));
}

TEST(OpenDialogBuffer, AnEmptyBufferChoosesNothing) {
    EXPECT_TRUE(PathsFromOpenDialogBuffer(std::wstring(16, L'\0')).empty());
    EXPECT_TRUE(PathsFromOpenDialogBuffer(L"").empty());
}

} // namespace
