// What the items need to know of the system: the Windows family, and running programs.
#pragma once

#include <string>

// "NewWinNT" for major version 5 or 6, "Win9x" for 4.10 and 4.90, "OldWinNt" for 4.0, else "".
std::string GetOSFamily();

// Terminates every running process whose executable (its file-name part or its whole path)
// equals name, compared with ASCII-only upper-casing. Returns whether the last termination
// succeeded; false when nothing matched.
bool KillProcessByName(const std::string& name);
