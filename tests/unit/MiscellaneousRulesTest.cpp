// The rules of the Miscellaneous dialog's fields: hotkey capture on key down and key up, the
// passes field, and the wipe-method and after-erase choices.
#include "settings/MiscellaneousRules.h"

#include <gtest/gtest.h>

namespace {

struct KeyDownCase {
    UINT key;
    bool ctrl, shift, alt;
    const char* text;
};

TEST(HotkeyCapture, KeyDownBuildsCtrlShiftAltInThisOrderThenTheKey) {
    const KeyDownCase cases[] = {
        {VK_CONTROL, true, false, false, "Ctrl+"},
        {VK_MENU, true, false, true, "Ctrl+Alt+"},
        {'B', true, false, true, "Ctrl+Alt+B"},
        {'B', true, true, true, "Ctrl+Shift+Alt+B"},
        {'7', false, false, true, "Alt+7"},
        {'0', false, true, false, "Shift+0"},
        {'Z', true, false, false, "Ctrl+Z"},
        {'A', false, false, false, ""}, // a letter alone
        {'9', false, false, false, ""}, // a digit alone
        {VK_F1, false, false, false, "F1"},
        {VK_F12, false, false, false, "F12"},
        {VK_F5, true, true, false, "Ctrl+Shift+F5"},
        {VK_F13, false, false, false, ""}, // only F1 to F12
        {VK_SPACE, true, false, false, "Ctrl+"},
        {VK_RETURN, false, true, false, "Shift+"},
        {VK_NUMPAD5, true, false, false, "Ctrl+"}, // a number-pad digit is not a digit key
        {VK_ESCAPE, false, false, false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HotkeyTextOnKeyDown(c.key, c.ctrl, c.shift, c.alt), c.text)
            << "key " << c.key << " ctrl " << c.ctrl << " shift " << c.shift << " alt " << c.alt;
    }
}

struct KeyUpCase {
    const char* before;
    UINT key;
    const char* after;
};

TEST(HotkeyCapture, KeyUpClearsAnIncompleteText) {
    const KeyUpCase cases[] = {
        {"Ctrl+", VK_CONTROL, ""},         // a modifier alone
        {"Ctrl+Alt+", 'B', ""},            // ends in "+"
        {"Ctrl+Alt+B", 'B', "Ctrl+Alt+B"}, // complete
        {"Ctrl+Alt+B", VK_CONTROL, "Ctrl+Alt+B"},
        {"F5", VK_F5, "F5"},  // a function key alone stays
        {"F5", VK_SHIFT, ""}, // another key released: no "+", so cleared
        {"", 'A', ""},
        {"Shift+F12", VK_F12, "Shift+F12"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HotkeyTextOnKeyUp(c.before, c.key), c.after) << c.before << " then key " << c.key << " up";
    }
}

TEST(PassesField, AcceptsDigitsMinusAndEditingKeysButNotEnter) {
    for (wchar_t c : std::wstring(L"0123456789-")) {
        EXPECT_TRUE(IsPassesFieldCharacter(c)) << static_cast<int>(c);
    }
    for (wchar_t c : {L'\b', wchar_t(1), wchar_t(3), wchar_t(22), wchar_t(24), wchar_t(26)}) {
        EXPECT_TRUE(IsPassesFieldCharacter(c)) << "control character " << static_cast<int>(c);
    }
    for (wchar_t c : std::wstring(L"\r+.,aZ ²")) {
        EXPECT_FALSE(IsPassesFieldCharacter(c)) << static_cast<int>(c);
    }
}

TEST(PassesField, StepsTheWholeNumberItHoldsWithoutBounds) {
    const struct {
        const char* text;
        int delta;
        const char* after;
    } cases[] = {
        {"2", 1, "3"},
        {"2", -1, "1"},
        {"0", -1, "-1"},
        {"-5", -1, "-6"},
        {"+4", 1, "5"},
        {"2147483647", 1, "2147483648"},
        {"", 1, "1"}, // no number counts as 0
        {"many", -1, "-1"},
        {"-", 1, "1"},
        {"12x", 1, "1"},
        {"9223372036854775807", 1, "9223372036854775807"}, // the end of the range is kept
        {"-9223372036854775808", -1, "-9223372036854775808"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StepPassesText(c.text, c.delta), c.after) << "\"" << c.text << "\" " << c.delta;
    }
}

TEST(SettingChoices, SecurityLevelIsComparedExactlyAndAnythingElseIsRandom) {
    EXPECT_EQ(WipeChoiceOf("DoD"), WipeChoice::DoD);
    EXPECT_EQ(WipeChoiceOf("NSA"), WipeChoice::NSA);
    EXPECT_EQ(WipeChoiceOf("Gutmann"), WipeChoice::Gutmann);
    EXPECT_EQ(WipeChoiceOf("Random"), WipeChoice::Random);
    for (const char* other : {"dod", "nsa", "GUTMANN", "", " DoD", "Anything"}) {
        EXPECT_EQ(WipeChoiceOf(other), WipeChoice::Random) << other;
    }
    for (WipeChoice choice : {WipeChoice::DoD, WipeChoice::NSA, WipeChoice::Gutmann, WipeChoice::Random}) {
        EXPECT_EQ(WipeChoiceOf(SecurityLevelText(choice)), choice);
    }
}

TEST(SettingChoices, AfterEraseOptionIsComparedExactlyAndAnythingElseIsRestart) {
    EXPECT_EQ(ShutdownChoiceOf("ShowWindow"), ShutdownChoice::ShowWindow);
    EXPECT_EQ(ShutdownChoiceOf("Shutdown"), ShutdownChoice::Shutdown);
    for (const char* other : {"Restart", "showwindow", "SHUTDOWN", "", "Reboot"}) {
        EXPECT_EQ(ShutdownChoiceOf(other), ShutdownChoice::Restart) << other;
    }
    EXPECT_STREQ(ShutdownOptionText(ShutdownChoice::ShowWindow), "ShowWindow");
    EXPECT_STREQ(ShutdownOptionText(ShutdownChoice::Shutdown), "Shutdown");
    EXPECT_STREQ(ShutdownOptionText(ShutdownChoice::Restart), "Restart");
}

} // namespace
