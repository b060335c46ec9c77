// Window hiding and power: the window callback behind the boss key, and the forced shutdown and
// restart that can follow an end-of-session erase run (BossKey.cpp, Power.cpp).
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

constexpr const char* kUnsupportedWindowsText = "Quorvale does not support this version of Windows.";
constexpr UINT kForceShutdownFlags = EWX_SHUTDOWN | EWX_FORCE; // 5
constexpr UINT kForceRestartFlags = EWX_REBOOT | EWX_FORCE;    // 6

// The callback given to EnumWindows: hides the window (BossWindowsHidden) or shows it when its class
// equals, byte for byte, one of the first count entries of BossKeyClassNames; a "#32770" entry only
// when the window's title contains " Buddy List Window". Always returns TRUE, so every top-level
// window is visited.
BOOL CALLBACK BossKeyWindowProc(HWND window, LPARAM count);

// Enables "SeShutdownPrivilege" in the process's token; whether it worked is not checked.
void EnableShutdownPrivilege();

// End the Windows session with force (other programs are not asked to save), by OS family: the NT
// families enable the privilege first, Win9x calls directly, any other version only gets the
// message kUnsupportedWindowsText. They return when Windows does not end the session.
void ForceShutdown();
void ForceRestart();
