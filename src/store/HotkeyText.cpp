#include "store/HotkeyText.h"

#include "platform/WindowText.h"
#include "platform/Text.h"

namespace {

struct NamedKey {
    UINT code;
    const char* name;
};

constexpr NamedKey kNamedKeys[] = {
    {0x08, "BkSp"}, {0x09, "Tab"},   {0x0D, "Enter"}, {0x1B, "Esc"},  {0x20, "Space"},
    {0x21, "PgUp"}, {0x22, "PgDn"},  {0x23, "End"},   {0x24, "Home"}, {0x25, "Left"},
    {0x26, "Up"},   {0x27, "Right"}, {0x28, "Down"},  {0x2D, "Ins"},  {0x2E, "Del"},
};

bool StripPrefix(std::string_view& text, std::string_view prefix) {
    if (text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix)) {
        text.remove_prefix(prefix.size());
        return true;
    }
    return false;
}

} // namespace

std::string HotkeyKeyName(UINT code) {
    for (const auto& key : kNamedKeys) {
        if (key.code == code) {
            return key.name;
        }
    }
    if (code >= 0x30 && code <= 0x39) {
        return std::string(1, static_cast<char>(code));
    }
    if (code >= 0x41 && code <= 0x5A) {
        return std::string(1, static_cast<char>(code));
    }
    if (code >= 0x60 && code <= 0x69) {
        return std::string(1, static_cast<char>('0' + (code - 0x60)));
    }
    if (code >= 0x70 && code <= 0x87) {
        return "F" + std::to_string(code - 0x6F);
    }
    if (code < 0x08 || code > 0xFF) {
        return {};
    }
    return KeyNameOfVirtualKey(code);
}

Hotkey ParseHotkeyText(std::string_view text) {
    UINT modifiers = 0;
    for (;;) {
        if (StripPrefix(text, "Shift+")) {
            modifiers |= MOD_SHIFT;
        } else if (StripPrefix(text, "Ctrl+") || StripPrefix(text, "^")) {
            modifiers |= MOD_CONTROL;
        } else if (StripPrefix(text, "Alt+")) {
            modifiers |= MOD_ALT;
        } else {
            break;
        }
    }
    if (text.empty()) {
        return {};
    }
    for (UINT code = 0x08; code <= 0xFF; ++code) {
        std::string name = HotkeyKeyName(code);
        if (!name.empty() && EqualsNoCase(name, text)) {
            return {modifiers, code};
        }
    }
    return {};
}

std::string HotkeyText(const Hotkey& hotkey) {
    if (hotkey.virtualKey == 0) {
        return {};
    }
    std::string text;
    if (hotkey.modifiers & MOD_CONTROL) {
        text += "Ctrl+";
    }
    if (hotkey.modifiers & MOD_SHIFT) {
        text += "Shift+";
    }
    if (hotkey.modifiers & MOD_ALT) {
        text += "Alt+";
    }
    return text + HotkeyKeyName(hotkey.virtualKey);
}
