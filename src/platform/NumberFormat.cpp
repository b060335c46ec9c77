#include "platform/NumberFormat.h"

#include "platform/Text.h"

#include <windows.h>

#include <cstdio>

std::string UserDecimalSeparator() {
    wchar_t separator[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) <= 1) {
        return ".";
    }
    return Narrow(separator);
}

std::string FormatTwoDecimals(double value) {
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.2f", value);
    std::string text = digits;
    size_t point = text.find('.');
    if (point != std::string::npos) {
        text.replace(point, 1, UserDecimalSeparator());
    }
    return text;
}
