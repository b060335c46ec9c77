// Ending the Windows session, and the token privilege that needs.
#pragma once

#include <windows.h>

#include <string_view>

// Enables the named privilege ("SeShutdownPrivilege") in the process's token, opened with
// TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY; the other privileges stay as they are. Returns false when
// the token cannot be opened, the name is unknown or the adjustment fails; the token is unchanged then.
bool EnableTokenPrivilege(std::string_view name);

// Whether the named privilege is enabled in the process's token; false when it cannot be read.
bool TokenPrivilegeEnabled(std::string_view name);

// ExitWindowsEx with the flags and reason 0 (or the diversion below, when one is set); returns
// whether the request was accepted. Under Wine a forced end of session kills every process of the
// prefix about 160 ms later.
bool ExitWindowsWithFlags(UINT flags);

// Sends every later ExitWindowsWithFlags to this function instead of Windows; nullptr sends them to
// Windows again. Only the tests and the test build of the program divert it.
using ExitWindowsDiversion = bool (*)(UINT flags);
void DivertExitWindows(ExitWindowsDiversion diversion);
