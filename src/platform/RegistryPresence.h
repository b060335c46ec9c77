// Whether a registry sub-key or value is there, without reading or changing it.
#pragma once

#include <windows.h>

#include <string_view>

// True when the key has a sub-key of this name, also one this program may not open. An empty name
// names no sub-key.
bool RegSubKeyExists(HKEY key, std::string_view name);

// True when the key has a value of this name; the empty name asks for the default value, which
// exists only once something has set it.
bool RegValueExists(HKEY key, std::string_view name);
