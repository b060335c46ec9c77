#include "settings/MiscellaneousRules.h"

#include <cstdint>
#include <limits>

namespace {

bool IsDigitOrLetterKey(UINT key) { return (key >= 0x30 && key <= 0x39) || (key >= 0x41 && key <= 0x5A); }

bool IsFunctionKey(UINT key) { return key >= VK_F1 && key <= VK_F12; }

// A whole decimal number with optional sign, or nothing.
bool ParseWholeNumber(std::string_view text, int64_t& value) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return false;
    }
    uint64_t magnitude = 0;
    const uint64_t limit = negative ? uint64_t{1} << 63 : static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        uint64_t digit = static_cast<uint64_t>(c - '0');
        if (magnitude > (limit - digit) / 10) {
            return false;
        }
        magnitude = magnitude * 10 + digit;
    }
    value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

} // namespace

std::string HotkeyTextOnKeyDown(UINT virtualKey, bool ctrl, bool shift, bool alt) {
    std::string text;
    if (ctrl) {
        text = "Ctrl+";
    }
    if (shift) {
        text += "Shift+";
    }
    if (alt) {
        text += "Alt+";
    }
    if (IsDigitOrLetterKey(virtualKey)) {
        if (!text.empty()) {
            text += static_cast<char>(virtualKey);
        }
    } else if (IsFunctionKey(virtualKey)) {
        text += "F" + std::to_string(virtualKey - 0x6F);
    }
    return text;
}

std::string HotkeyTextOnKeyUp(std::string_view text, UINT virtualKey) {
    if (!text.empty() && text.back() == '+') {
        return {};
    }
    if (text.find('+') == std::string_view::npos && !IsFunctionKey(virtualKey)) {
        return {};
    }
    return std::string(text);
}

bool IsPassesFieldCharacter(wchar_t c) { return (c >= L'0' && c <= L'9') || c == L'-' || (c < 0x20 && c != L'\r'); }

std::string StepPassesText(std::string_view text, int delta) {
    int64_t value = 0;
    if (!ParseWholeNumber(text, value)) {
        value = 0;
    }
    if ((delta > 0 && value > std::numeric_limits<int64_t>::max() - delta) ||
        (delta < 0 && value < std::numeric_limits<int64_t>::min() - delta)) {
        return std::to_string(value);
    }
    return std::to_string(value + delta);
}

WipeChoice WipeChoiceOf(std::string_view securityLevel) {
    if (securityLevel == "DoD") {
        return WipeChoice::DoD;
    }
    if (securityLevel == "NSA") {
        return WipeChoice::NSA;
    }
    if (securityLevel == "Gutmann") {
        return WipeChoice::Gutmann;
    }
    return WipeChoice::Random;
}

const char* SecurityLevelText(WipeChoice choice) {
    switch (choice) {
    case WipeChoice::DoD:
        return "DoD";
    case WipeChoice::NSA:
        return "NSA";
    case WipeChoice::Gutmann:
        return "Gutmann";
    default:
        return "Random";
    }
}

ShutdownChoice ShutdownChoiceOf(std::string_view option) {
    if (option == "ShowWindow") {
        return ShutdownChoice::ShowWindow;
    }
    if (option == "Shutdown") {
        return ShutdownChoice::Shutdown;
    }
    return ShutdownChoice::Restart;
}

const char* ShutdownOptionText(ShutdownChoice choice) {
    switch (choice) {
    case ShutdownChoice::ShowWindow:
        return "ShowWindow";
    case ShutdownChoice::Shutdown:
        return "Shutdown";
    default:
        return "Restart";
    }
}
