// The shell: opening documents and addresses, and the notification-area icon.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string_view>

// ShellExecute with the given verb ("" for the default action), no parameters, the working folder
// and show state.
// Returns true when the shell accepted the request.
bool ShellOpen(std::string_view verb, std::string_view file, std::string_view workingFolder, int show);

// The first, 88-byte form of the notification-icon record (ANSI, 64-character tip).
constexpr DWORD kTrayIconRecordSize = 88;
static_assert(offsetof(NOTIFYICONDATAA, szTip) + 64 == kTrayIconRecordSize, "88-byte notify icon record");

// Shell_NotifyIconA with the record; returns what the shell returned.
bool NotifyTrayIcon(DWORD message, NOTIFYICONDATAA& record);

#include <string>

// The path of a special folder (CSIDL value, e.g. 32 for the Internet cache, 34 for the history),
// through SHGetSpecialFolderLocation and SHGetPathFromIDList, without a trailing backslash.
// "" when Windows does not know the folder.
std::string SpecialFolderPath(int csidl);
