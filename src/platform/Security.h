// Security identifiers and the current process's token.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The text form "S-1-5-21-..." of a SID. nullopt when the SID is not valid or a part cannot be read.
std::optional<std::string> SidToText(PSID sid);

// The SID text of the user the current process runs as; nullopt when the token cannot be opened
// (access 0x20008, TOKEN_READ | TOKEN_QUERY), its user cannot be read, or the SID is not valid.
std::optional<std::string> CurrentUserSidText();
