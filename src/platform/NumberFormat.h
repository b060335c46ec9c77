// Numbers shown to the user, with the decimal separator of the user's regional settings.
#pragma once

#include <cstdint>
#include <string>

// A size of 1024 bytes or more in KB (below 1048576), MB (below 1073741824) or GB, as the size
// divided by the unit rounded to two decimals, an exact half up, with at least one digit before the
// separator and no thousands separator ("0.00" style): 1536 gives "1.50 KB", 1152 gives "1.13 KB",
// 1048575 gives "1024.00 KB".
std::string FormatScaledByteSize(int64_t bytes);

// A size as the user reads it: below 1024 "<n> Bytes" ("0 Byte", and "1 Byte" where oneIsSingular:
// the log's result lines say "1 Byte", the drive list "1 Bytes"), from 1024 on FormatScaledByteSize.
std::string ByteSizeText(int64_t bytes, bool oneIsSingular);

// The user's decimal separator ("." when it cannot be read).
std::string UserDecimalSeparator();
