#include "platform/NumberFormat.h"

#include "platform/Text.h"

#include <windows.h>

std::string UserDecimalSeparator() {
    wchar_t separator[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) <= 1) {
        return ".";
    }
    return Narrow(separator);
}

std::string FormatScaledByteSize(int64_t bytes) {
    int64_t unitBytes = 1073741824;
    const char* unit = " GB";
    if (bytes < 1048576) {
        unitBytes = 1024;
        unit = " KB";
    } else if (bytes < 1073741824) {
        unitBytes = 1048576;
        unit = " MB";
    }
    // Worked out in whole numbers: "%.2f" rounds an exact half such as 1.125 to even, which a
    // reader of "rounded" does not expect.
    int64_t whole = bytes / unitBytes;
    int64_t hundredths = ((bytes % unitBytes) * 200 + unitBytes) / (2 * unitBytes);
    if (hundredths == 100) {
        whole += 1;
        hundredths = 0;
    }
    return std::to_string(whole) + UserDecimalSeparator() + (hundredths < 10 ? "0" : "") + std::to_string(hundredths) +
           unit;
}

std::string ByteSizeText(int64_t bytes, bool oneIsSingular) {
    if (bytes == 0 || (bytes == 1 && oneIsSingular)) {
        return std::to_string(bytes) + " Byte";
    }
    if (bytes < 1024) {
        return std::to_string(bytes) + " Bytes";
    }
    return FormatScaledByteSize(bytes);
}
