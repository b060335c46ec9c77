// The rules of the Miscellaneous dialog's fields that do not need a window: hotkey capture, the
// passes field, the wipe-method and after-erase choices.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// A hotkey capture field's text after a key went down: "Ctrl+", "Shift+", "Alt+" for the modifiers
// held, in this order, then a digit or letter (only after a modifier) or F1 to F12 (also alone).
std::string HotkeyTextOnKeyDown(UINT virtualKey, bool ctrl, bool shift, bool alt);
// The field's text after a key was released: a text ending in "+" is cleared, and so is a text
// without "+" unless the released key is F1 to F12.
std::string HotkeyTextOnKeyUp(std::string_view text, UINT virtualKey);

// Whether the passes field accepts a typed character: digits, "-" and editing keys (control
// characters), but not Enter.
bool IsPassesFieldCharacter(wchar_t c);
// The passes field's text after its up or down button: the whole number it holds (0 when it holds
// none) plus delta, without bounds.
std::string StepPassesText(std::string_view text, int delta);

// The security level radio buttons, in the order they are shown.
enum class WipeChoice { DoD, NSA, Gutmann, Random };
// Exact comparison, with case; every unknown text is "Random".
WipeChoice WipeChoiceOf(std::string_view securityLevel);
const char* SecurityLevelText(WipeChoice choice);

// The after-erase radio buttons, in the order they are shown.
enum class ShutdownChoice { ShowWindow, Shutdown, Restart };
// Exact comparison, with case; every unknown text is "Restart".
ShutdownChoice ShutdownChoiceOf(std::string_view option);
const char* ShutdownOptionText(ShutdownChoice choice);
