// The rows of the drive washer's list: the drive caption and the list's own size format.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "0 Byte"; 1 to 1023 as "<n> Bytes" (1 included); then "0.00 KB", "MB", "GB" with the user's
// decimal separator.
std::string DriveSizeText(int64_t bytes);

// The label without surrounding blanks, then " (X:)": "System (C:)", or " (Q:)" without a label.
std::string DriveCaption(std::string_view volumeLabel, char driveLetter);

// The drive letter of a row, read back from its caption (the character two places before its
// end); '\0' when the caption is too short to hold one.
char DriveLetterOfCaption(std::string_view caption);
