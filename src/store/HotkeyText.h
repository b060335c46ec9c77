// Hotkey texts such as "Ctrl+Alt+B": parsing them for RegisterHotKey and writing them back.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

struct Hotkey {
    UINT modifiers = 0;  // MOD_SHIFT, MOD_CONTROL, MOD_ALT combined
    UINT virtualKey = 0; // 0: no key
};

// Modifier prefixes "Shift+", "Ctrl+" or "^", "Alt+" (any case, any order), then a key name
// matched without regard to case against codes 0x08 to 0xFF in ascending order. A text that does
// not parse gives key 0 with no modifiers.
Hotkey ParseHotkeyText(std::string_view text);

// "Ctrl+", "Shift+", "Alt+" in this order, then the key's name; "" for key 0.
std::string HotkeyText(const Hotkey& hotkey);

// The name of a key code as hotkey texts spell it ("BkSp", "F5", "A"); "" when it has none.
std::string HotkeyKeyName(UINT virtualKey);
