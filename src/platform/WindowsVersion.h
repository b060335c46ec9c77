// Which Windows the program runs on.
#pragma once

#include <windows.h>

// True on the Windows NT family (GetVersionEx's platform id is VER_PLATFORM_WIN32_NT).
bool IsWindowsNtPlatform();

// Windows' version as GetVersionExA's basic record gives it.
struct WindowsVersion {
    DWORD major;
    DWORD minor;
};
WindowsVersion GetWindowsVersion();
