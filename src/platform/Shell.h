// The shell: opening documents and addresses, and the notification-area icon.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string_view>
#include <vector>

// ShellExecute with the given verb ("" for the default action), no parameters, the working folder
// and show state.
// Returns true when the shell accepted the request.
bool ShellOpen(std::string_view verb, std::string_view file, std::string_view workingFolder, int show);

// Opens one page of a compiled help file (its full path; the page as "about.htm", which may end in
// "#anchor") in the HTML Help viewer, hh.exe, as a program of its own. Returns true when the shell
// started it.
bool OpenHelpTopic(std::string_view helpFile, std::string_view page);

// The first form of the notification-icon record (ANSI, 64-character tip), which every version of
// the shell takes: 88 bytes in the 32-bit program, 104 in the 64-bit one (handles are wider there).
constexpr DWORD kTrayIconRecordSize = offsetof(NOTIFYICONDATAA, szTip) + 64;
static_assert(sizeof(void*) != 4 || kTrayIconRecordSize == 88, "the 32-bit record is 88 bytes");

// Shell_NotifyIconA with the record; returns what the shell returned.
bool NotifyTrayIcon(DWORD message, NOTIFYICONDATAA& record);

#include <string>

// The paths of a drop from Explorer (the HDROP of WM_DROPFILES), in the order given, through
// DragQueryFileW; ends the drop with DragFinish. Empty for a drop that names nothing.
std::vector<std::string> TakeDroppedPaths(HDROP drop);

// The path of a special folder (CSIDL value, e.g. 32 for the Internet cache, 34 for the history),
// through SHGetSpecialFolderLocation and SHGetPathFromIDList, without a trailing backslash.
// "" when Windows does not know the folder.
std::string SpecialFolderPath(int csidl);

// The user's local application-data folder, ending in a backslash: what %LocalAppData% names, or
// where it is not set (Windows XP sets none) the shell's folder. "" when the variable names no full
// path (a drive's or a share's: a relative one would be taken below the current folder) or
// neither knows one.
std::string LocalAppDataFolder();
// The same for the (roaming) application-data folder: what %AppData% names, or the shell's folder
// where it is not set (some Windows XP sessions).
std::string AppDataFolder();
