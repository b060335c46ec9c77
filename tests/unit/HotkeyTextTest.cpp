// Hotkey texts: what RegisterHotKey receives for a text, and the text written for a hotkey.
#include "store/HotkeyText.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    const char* text;
    UINT virtualKey;
    UINT modifiers;
};

TEST(ParseHotkeyText, GivesTheRegistrationKeyAndModifiers) {
    const ParseCase cases[] = {
        {"Ctrl+Alt+B", 0x42, MOD_CONTROL | MOD_ALT},
        {"shift+ctrl+f5", 0x74, MOD_SHIFT | MOD_CONTROL},
        {"Alt+0", 0x30, MOD_ALT}, // a digit matches 0x30..0x39 before the keypad's 0x60..0x69
        {"ALT+SHIFT+ctrl+z", 0x5A, MOD_ALT | MOD_SHIFT | MOD_CONTROL},
        {"^A", 0x41, MOD_CONTROL},
        {"Ctrl+Ctrl+A", 0x41, MOD_CONTROL},
        {"F24", 0x87, 0},
        {"bksp", 0x08, 0},
        {"Shift+Tab", 0x09, MOD_SHIFT},
        {"Ctrl+Enter", 0x0D, MOD_CONTROL},
        {"Esc", 0x1B, 0},
        {"Space", 0x20, 0},
        {"Ctrl+PgUp", 0x21, MOD_CONTROL},
        {"pgdn", 0x22, 0},
        {"End", 0x23, 0},
        {"Home", 0x24, 0},
        {"Alt+Left", 0x25, MOD_ALT},
        {"Up", 0x26, 0},
        {"Right", 0x27, 0},
        {"Down", 0x28, 0},
        {"Ins", 0x2D, 0},
        {"Ctrl+Alt+Del", 0x2E, MOD_CONTROL | MOD_ALT},
    };
    for (const auto& c : cases) {
        Hotkey parsed = ParseHotkeyText(c.text);
        EXPECT_EQ(parsed.virtualKey, c.virtualKey) << c.text;
        EXPECT_EQ(parsed.modifiers, c.modifiers) << c.text;
    }
}

TEST(ParseHotkeyText, TextsThatDoNotParseGiveNoKeyAtAll) {
    for (const char* text : {"", "Ctrl+", "Ctrl+Alt+", "Ctrl+NoSuchKey", "Ctrl Alt B", "F25", "Ctrl+AB"}) {
        Hotkey parsed = ParseHotkeyText(text);
        EXPECT_EQ(parsed.virtualKey, 0u) << text;
        EXPECT_EQ(parsed.modifiers, 0u) << text;
    }
}

TEST(HotkeyText, WritesModifiersInTheFixedOrderAndParsesBack) {
    EXPECT_EQ(HotkeyText({MOD_ALT | MOD_SHIFT | MOD_CONTROL, 0x7B}), "Ctrl+Shift+Alt+F12");
    EXPECT_EQ(HotkeyText({MOD_CONTROL | MOD_ALT, 'B'}), "Ctrl+Alt+B");
    EXPECT_EQ(HotkeyText({0, 0x2E}), "Del");
    EXPECT_EQ(HotkeyText({MOD_CONTROL, 0}), "");
    EXPECT_EQ(HotkeyText({MOD_CONTROL, 0x65}), "Ctrl+5"); // keypad 5 is written as "5"
    for (UINT key : {0x08u, 0x1Bu, 0x20u, 0x2Du, 0x39u, 0x41u, 0x5Au, 0x70u, 0x87u}) {
        Hotkey hotkey{MOD_SHIFT | MOD_ALT, key};
        Hotkey back = ParseHotkeyText(HotkeyText(hotkey));
        EXPECT_EQ(back.virtualKey, key);
        EXPECT_EQ(back.modifiers, hotkey.modifiers);
    }
}

} // namespace
