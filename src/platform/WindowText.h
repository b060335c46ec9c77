// What windows show: their text in UTF-8, key names, the screen's DPI and the program's icons.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The keyboard driver's name of a virtual key (through its scan code), or "" when it has none.
std::string KeyNameOfVirtualKey(UINT virtualKey);

// Window text of any window, UTF-8.
std::string WindowText(HWND window);
void SetWindowTextUtf8(HWND window, std::string_view text);

// Dots per inch of the screen, 96 when unknown.
int ScreenDpi();

// Gives a window class the program's icon (resource 1) in the sizes the system uses for large and
// small icons at the current DPI, or the stock application icon when the program has none.
void SetApplicationIcons(WNDCLASSEXW& windowClass);
