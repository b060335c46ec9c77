// Registry access with UTF-8 names: keys, text and number values, values of any type kept as they
// stand, and whether a key or value is there. Key paths may start with a backslash
// ("\Software\Quorvale"); it is dropped, the path is always taken from the given root.
#pragma once

#include "platform/Handle.h"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The root's name as Regedit writes it ("HKEY_CURRENT_USER"); "" for a key that is no root.
std::string RegRootName(HKEY root);
// The root of that name (without case); nullptr when there is none.
HKEY RegRootNamed(std::string_view name);

// Opens an existing key. Returns an empty RegKey when it is missing or access is refused, with the
// registry's error as the last error (ERROR_FILE_NOT_FOUND for a missing key).
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

// Deletes one value. Returns false when it was missing or could not be deleted (the last error says
// why).
bool DeleteRegValue(HKEY key, std::string_view name);

// Deletes a key with all its sub-keys, deepest first. Returns false when the key was missing or
// any part could not be deleted (what could be deleted is gone; the last error is the first
// failure's). A registry link below it is never followed: it stays, with the keys above it.
bool DeleteRegTree(HKEY root, std::string_view path);

// REG_DWORD values.

// Writes a REG_DWORD value. Returns false when the write was refused; the value is then unchanged.
bool SetRegDword(HKEY key, std::string_view name, DWORD value);

// Reads a REG_DWORD value. Returns nullopt when the value is missing or of another type.
std::optional<DWORD> GetRegDword(HKEY key, std::string_view name);

// Whether a sub-key or value is there, without reading or changing it.

// True when the key has a sub-key of this name, also one this program may not open. An empty name
// names no sub-key.
bool RegSubKeyExists(HKEY key, std::string_view name);

// True when the key has a value of this name; the empty name asks for the default value, which
// exists only once something has set it.
bool RegValueExists(HKEY key, std::string_view name);

// Values of any type, read and written as they stand (type and raw bytes), so a value can be put
// back exactly as it was found.

struct RegValue {
    DWORD type;        // REG_DWORD, REG_SZ, ...
    std::string bytes; // the data as stored
};

// The value's type and data. nullopt when the value is missing or cannot be read.
std::optional<RegValue> GetRegValue(HKEY key, std::string_view name);

// Writes the value with its type and data. Returns false when the write was refused; the value
// is then unchanged.
bool SetRegValue(HKEY key, std::string_view name, const RegValue& value);
