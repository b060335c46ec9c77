// 32-bit integer registry values (REG_DWORD), beside the text values of Registry.h.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

// Writes a REG_DWORD value. Returns false when the write was refused; the value is then unchanged.
bool SetRegDword(HKEY key, std::string_view name, DWORD value);

// Reads a REG_DWORD value. Returns nullopt when the value is missing or of another type.
std::optional<DWORD> GetRegDword(HKEY key, std::string_view name);
