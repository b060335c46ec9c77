// The boss key's window callback: hides or shows the top-level windows of the listed classes
// (BossKey.cpp; Triggers.h says when a press does that).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Class names of the enabled boss-key entries, in file order; rebuilt at every press of the boss
// key, before the windows are enumerated. Whether they are hidden or shown is BossWindowsHidden.
extern std::vector<std::string> BossKeyClassNames;
// Whether the boss key's windows are hidden now: each press flips it, closing the main window
// clears it.
extern bool BossWindowsHidden;

// The class of ordinary dialog boxes; such an entry only matches a buddy list.
constexpr const char* kDialogWindowClass = "#32770";
constexpr const char* kBuddyListTitlePart = " Buddy List Window";
// Class names and titles are read into buffers of this many characters.
constexpr int kWindowTextBufferChars = 255;

// The callback given to EnumWindows: hides the window (BossWindowsHidden) or shows it when its class
// equals, byte for byte, one of the first count entries of BossKeyClassNames; a "#32770" entry only
// when the window's title contains " Buddy List Window". Always returns TRUE, so every top-level
// window is visited.
BOOL CALLBACK BossKeyWindowProc(HWND window, LPARAM count);
