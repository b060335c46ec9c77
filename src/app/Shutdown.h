// The forced shutdown and restart that can follow an end-of-session erase run (Shutdown.cpp).
#pragma once

#include <windows.h>

constexpr const char* kUnsupportedWindowsText = "Quorvale does not support this version of Windows.";
constexpr UINT kForceShutdownFlags = EWX_SHUTDOWN | EWX_FORCE; // 5
constexpr UINT kForceRestartFlags = EWX_REBOOT | EWX_FORCE;    // 6

// Enables "SeShutdownPrivilege" in the process's token; whether it worked is not checked.
void EnableShutdownPrivilege();

// End the Windows session with force (other programs are not asked to save), by OS family: the NT
// families enable the privilege first, Win9x calls directly, any other version only gets the
// message kUnsupportedWindowsText. They return when Windows does not end the session.
void ForceShutdown();
void ForceRestart();
