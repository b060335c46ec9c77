// Registry access with UTF-8 names. Key paths may start with a backslash ("\Software\Quorvale");
// it is dropped, the path is always taken from the given root.
#pragma once

#include "platform/Handle.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Opens an existing key. Returns an empty RegKey when it is missing or access is refused.
RegKey OpenRegKey(HKEY root, std::string_view path, REGSAM access = KEY_READ);

// Opens the key, creating it and its missing parents. Returns an empty RegKey on failure.
RegKey CreateRegKey(HKEY root, std::string_view path, REGSAM access = KEY_READ | KEY_WRITE);

// Writes a REG_SZ value. Returns false when the write was refused; the value is then unchanged.
bool SetRegString(HKEY key, std::string_view name, std::string_view value);

// Reads a REG_SZ or REG_EXPAND_SZ value (not expanded). Returns nullopt when the value is missing
// or of another type.
std::optional<std::string> GetRegString(HKEY key, std::string_view name);

// Names of the key's values or sub-keys, in the registry's order. Empty on failure.
std::vector<std::string> RegValueNames(HKEY key);
std::vector<std::string> RegSubKeyNames(HKEY key);

// Deletes one value. Returns false when it was missing or could not be deleted.
bool DeleteRegValue(HKEY key, std::string_view name);

// Deletes a key with all its sub-keys, deepest first. Returns false when the key was missing or
// any part could not be deleted (what could be deleted is gone).
bool DeleteRegTree(HKEY root, std::string_view path);
