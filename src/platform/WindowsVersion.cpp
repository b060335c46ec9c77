#include "platform/WindowsVersion.h"

bool IsWindowsNtPlatform() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExW(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

WindowsVersion GetWindowsVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) {
        return {0, 0};
    }
    return {info.dwMajorVersion, info.dwMinorVersion};
}
