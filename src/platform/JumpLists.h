// The recent and frequent entries of programs' jump lists (Windows 7 and later).
#pragma once

#include <string>

// What Windows answered about a program's jump list.
enum class JumpListAnswer {
    Cleared,      // Ask: the list can be cleared here; Clear: its recent and frequent entries are gone
    NotAvailable, // this Windows keeps no jump lists (before Windows 7; Wine)
    Failed,       // the lists are there but Windows answered that this one was not cleared
};
enum class JumpListCall { Ask, Clear };

// Removes the recent and frequent entries from the jump list of the program with this
// AppUserModelID (Clear) through IApplicationDestinations::RemoveAllDestinations, which Windows
// defines to keep what the user pinned, or only asks whether it could (Ask). The object is created
// through COM at run time, so the program loads where it does not exist.
JumpListAnswer ClearJumpList(const std::string& appId, JumpListCall call);

// Sends every later ClearJumpList to this function instead of Windows; nullptr sends them to
// Windows again. Only the tests divert it.
using JumpListDiversion = JumpListAnswer (*)(const std::string& appId, JumpListCall call);
void DivertJumpLists(JumpListDiversion diversion);
