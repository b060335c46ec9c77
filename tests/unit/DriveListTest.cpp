// The drive washer's list rows: the size format of its own, the caption rule and reading the
// drive letter back from a caption.
#include "platform/Text.h"
#include "tools/DriveList.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// "1.50" with the separator the user's regional settings give.
std::string Decimal(const char* digits) {
    wchar_t separator[8] = L".";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    std::string text = digits;
    text.replace(text.find('.'), 1, Narrow(separator));
    return text;
}

TEST(DriveSizeText, FollowsTheListsOwnFormat) {
    const std::pair<int64_t, std::string> cases[] = {
        {0, "0 Byte"},
        {1, "1 Bytes"},
        {2, "2 Bytes"},
        {1023, "1023 Bytes"},
        {1024, Decimal("1.00") + " KB"},
        {1536, Decimal("1.50") + " KB"},
        {1048575, Decimal("1024.00") + " KB"},
        {1048576, Decimal("1.00") + " MB"},
        {16777216, Decimal("16.00") + " MB"},
        {1073741823, Decimal("1024.00") + " MB"},
        {1073741824, Decimal("1.00") + " GB"},
        {5368709120, Decimal("5.00") + " GB"},
        {int64_t{3} << 40, Decimal("3072.00") + " GB"},
        // Exact halves round up, as in the erase run's sizes.
        {1152, Decimal("1.13") + " KB"},
        {1179648, Decimal("1.13") + " MB"},
        {1207959552, Decimal("1.13") + " GB"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(DriveSizeText(bytes), text) << bytes;
    }
}

TEST(DriveCaption, IsTheTrimmedLabelThenTheLetterInBrackets) {
    EXPECT_EQ(DriveCaption("System", 'C'), "System (C:)");
    EXPECT_EQ(DriveCaption("", 'Q'), " (Q:)");
    EXPECT_EQ(DriveCaption("  Backup Disk \t", 'E'), "Backup Disk (E:)");
}

TEST(DriveCaption, GivesItsLetterBackTwoPlacesBeforeItsEnd) {
    for (char letter : {'A', 'C', 'Q', 'Z'}) {
        EXPECT_EQ(DriveLetterOfCaption(DriveCaption("Label (X:) inside", letter)), letter);
        EXPECT_EQ(DriveLetterOfCaption(DriveCaption("", letter)), letter);
    }
    EXPECT_EQ(DriveLetterOfCaption(":)"), '\0');
}

} // namespace
