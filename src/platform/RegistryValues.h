// Registry values of any type, read and written as they stand (type and raw bytes), so a value
// can be put back exactly as it was found (REG_DWORD values alone: RegistryNumber.h).
#pragma once

#include "platform/Handle.h"

#include <optional>
#include <string>
#include <string_view>

struct RegValue {
    DWORD type;        // REG_DWORD, REG_SZ, ...
    std::string bytes; // the data as stored
};

// The value's type and data. nullopt when the value is missing or cannot be read.
std::optional<RegValue> GetRegValue(HKEY key, std::string_view name);

// Writes the value with its type and data. Returns false when the write was refused; the value
// is then unchanged.
bool SetRegValue(HKEY key, std::string_view name, const RegValue& value);
