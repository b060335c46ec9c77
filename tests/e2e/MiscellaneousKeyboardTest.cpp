// The Miscellaneous dialog's keyboard fields, driven with real key presses and mouse moves through
// the system's input queue: the hotkey capture fields and the passes field.
#include "e2e/DialogTestSupport.h"

#include "settings/MiscellaneousForm.h"

namespace {

struct KeyStep {
    WORD key;
    bool down;
    const char* textAfter;
};

struct KeyCase {
    const char* name;
    std::vector<KeyStep> steps;
};

// Each case starts from the text the one before it left, so every first step changes the text.
const KeyCase kCaptureCases[] = {
    {"Shift then A",
     {{VK_SHIFT, true, "Shift+"}, {'A', true, "Shift+A"}, {'A', false, "Shift+A"}, {VK_SHIFT, false, "Shift+A"}}},
    {"F5 alone", {{VK_F5, true, "F5"}, {VK_F5, false, "F5"}}},
    {"A alone", {{'A', true, ""}, {'A', false, ""}}},
    {"Ctrl alone", {{VK_CONTROL, true, "Ctrl+"}, {VK_CONTROL, false, ""}}},
    {"Ctrl with Space",
     {{VK_CONTROL, true, "Ctrl+"}, {VK_SPACE, true, "Ctrl+"}, {VK_SPACE, false, ""}, {VK_CONTROL, false, ""}}},
    {"Alt, Ctrl, then 7",
     {{VK_MENU, true, "Alt+"},
      {VK_CONTROL, true, "Ctrl+Alt+"},
      {'7', true, "Ctrl+Alt+7"},
      {'7', false, "Ctrl+Alt+7"},
      {VK_CONTROL, false, "Ctrl+Alt+7"},
      {VK_MENU, false, "Ctrl+Alt+7"}}},
    {"Shift and F12",
     {{VK_SHIFT, true, "Shift+"},
      {VK_F12, true, "Shift+F12"},
      {VK_F12, false, "Shift+F12"},
      {VK_SHIFT, false, "Shift+F12"}}},
};

// Waits for the text after a key event. When the event leaves the text as it was, waits first
// until the dialog has handled the key, so a late change (a typed character landing in the field)
// would be seen.
void ExpectTextAfterKey(HWND field, const std::string& before, const std::string& expected, const std::string& what) {
    if (expected == before) {
        EXPECT_TRUE(WaitQueueHandled(field)) << what << ": the key was not handled";
    }
    EXPECT_TRUE(WaitUntil([&] { return RemoteWindowText(field) == expected; }, 5000))
        << what << ": \"" << RemoteWindowText(field) << "\" instead of \"" << expected << "\" (Shift "
        << (GetAsyncKeyState(VK_SHIFT) < 0 ? "held" : "up") << " for the system)";
}

class MiscellaneousKeyboardTest : public ::testing::Test {
protected:
    HWND Open(std::optional<std::string> optionsIni = std::nullopt) {
        app_ = std::make_unique<QuorvaleApp>(std::move(optionsIni));
        HWND dialog = StartAndOpen(*app_, "Miscellaneous", kMiscellaneousClass, "Miscellaneous settings");
        if (dialog) {
            BringToFront(dialog);
            WaitKeyStateTakenFromX(dialog);
        }
        return dialog;
    }
    // Wine's X11 driver sets the key state to the X server's when the mouse enters a window of the
    // program (X tells it then); keys pressed through SendInput are unknown to the X server, so a
    // Shift held down before that moment would be let go. The Windows key, held down here and
    // unused by the dialog, shows the moment: the mouse leaves the dialog and comes back, and once
    // the key reads as let go, the dialog is taking the key state from X; once it has painted
    // again, it has taken all X told it with the mouse's return, and keeps the key state after.
    static void WaitKeyStateTakenFromX(HWND dialog) {
        PressKey(VK_LWIN);
        MoveMouseAway();
        ASSERT_EQ(WindowFromPoint({0, 0}), GetDesktopWindow()) << "a window lies in the corner the mouse goes to";
        MoveMouseOver(dialog);
        const bool taken = WaitUntil([] { return GetAsyncKeyState(VK_LWIN) >= 0; }, 10000);
        if (!taken) {
            ReleaseKey(VK_LWIN);
        }
        ASSERT_TRUE(taken) << "the key state was not taken from X";
        ASSERT_TRUE(WaitQueueHandled(dialog));
    }
    std::string Value(const char* key) const {
        return OptionsStore(app_->OptionsPath()).GetText("Miscellaneous", key, "<missing>");
    }

    RunValuesRestore runValues_; // OK writes the Run value
    std::unique_ptr<QuorvaleApp> app_;
};

TEST_F(MiscellaneousKeyboardTest, HotkeyFieldsHoldOnlyTheCombinationBuiltFromTheKeysPressed) {
    HWND dialog = Open("[Miscellaneous]\r\nEnableBosskey=1\r\n");
    ASSERT_NE(dialog, nullptr);
    for (int id : {TFrmMiscellaneous::IDC_EDT_STEALTHKEY, TFrmMiscellaneous::IDC_EDT_BOSSKEY}) {
        HWND field = ControlOf(dialog, id);
        MoveMouseOver(field);
        ASSERT_TRUE(WaitUntil([&] { return FocusedControlOf(dialog) == field; }, 5000))
            << "moving the mouse over the field gives it the focus";
        std::string text = RemoteWindowText(field);
        for (const KeyCase& keyCase : kCaptureCases) {
            for (const KeyStep& step : keyCase.steps) {
                step.down ? PressKey(step.key) : ReleaseKey(step.key);
                ExpectTextAfterKey(field, text, step.textAfter, keyCase.name);
                text = step.textAfter;
            }
        }
    }
    EXPECT_TRUE(IsWindow(dialog)) << "no key closed the dialog";
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));
    EXPECT_EQ(Value("StealthKey"), "Shift+F12");
    EXPECT_EQ(Value("BossKey"), "Shift+F12");
}

TEST_F(MiscellaneousKeyboardTest, AnEmptiedHotkeyFieldIsSavedAsNoHotkey) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    HWND field = ControlOf(dialog, TFrmMiscellaneous::IDC_EDT_STEALTHKEY);
    MoveMouseOver(field);
    ASSERT_TRUE(WaitUntil([&] { return FocusedControlOf(dialog) == field; }, 5000));
    PressKey('Q');
    ReleaseKey('Q');
    ExpectTextAfterKey(field, "Ctrl+Alt+S", "", "Q alone");
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));
    EXPECT_EQ(Value("StealthKey"), "");
    EXPECT_EQ(Value("BossKey"), "Ctrl+Alt+B");
}

void Type(WORD key) {
    PressKey(key);
    ReleaseKey(key);
}

TEST_F(MiscellaneousKeyboardTest, PassesFieldTakesDigitsAndMinusStepsWithoutBoundsAndKeepsItsText) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    TurnToPage(ControlOf(dialog, TFrmMiscellaneous::IDC_MISC_PAGECONTROL), 1);
    ClickControlAndWait(ControlOf(dialog, TFrmMiscellaneous::IDC_RBN_RANDOM));
    HWND times = ControlOf(dialog, TFrmMiscellaneous::IDC_EDT_TIMES);
    ASSERT_TRUE(Enabled(times));
    ClickWithMouse(times, 0.3);
    ASSERT_TRUE(WaitUntil([&] { return FocusedControlOf(dialog) == times; }, 5000));

    struct Step {
        WORD key;
        const char* textAfter;
        const char* what;
    };
    const Step steps[] = {
        {'7', "7", "a digit replaces the text selected on entering"},
        {'X', "7", "a letter is refused"},
        {VK_OEM_PERIOD, "7", "a point is refused"},
        {VK_RETURN, "7", "Enter is refused and closes nothing"},
        {VK_UP, "8", "up adds one"},
        {VK_DOWN, "7", "down takes one"},
        {VK_BACK, "", "backspace edits (the stepped text is selected)"},
        {VK_OEM_MINUS, "-", "minus is taken"},
        {'1', "-1", "after the minus"},
        {VK_DOWN, "-2", "there is no lower bound"},
    };
    std::string text = "2";
    for (const Step& step : steps) {
        Type(step.key);
        ExpectTextAfterKey(times, text, step.textAfter, step.what);
        text = step.textAfter;
    }
    HWND upDown = ControlOf(dialog, TFrmMiscellaneous::IDC_UPD_TIMES);
    ClickWithMouse(upDown, 0.5, 0.25);
    ExpectTextAfterKey(times, text, "-1", "the up button");
    ClickWithMouse(upDown, 0.5, 0.75);
    ExpectTextAfterKey(times, "-1", "-2", "the down button");
    ASSERT_TRUE(IsWindow(dialog));

    ClickControlAndWait(ControlOf(dialog, TFrmMiscellaneous::IDC_RBN_GUTMANN));
    EXPECT_FALSE(Enabled(times));
    EXPECT_FALSE(Enabled(upDown));
    ASSERT_TRUE(CloseWith(*app_, dialog, "OK"));
    EXPECT_EQ(Value("SecurityLevel"), "Gutmann");
    EXPECT_EQ(Value("RandomRepeatedTime"), "-2") << "saved as it stands even when another method is chosen";
}

} // namespace
