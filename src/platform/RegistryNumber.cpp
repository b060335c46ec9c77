#include "platform/RegistryNumber.h"

#include "platform/Text.h"

bool SetRegDword(HKEY key, std::string_view name, DWORD value) {
    return RegSetValueExW(key, Widen(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

std::optional<DWORD> GetRegDword(HKEY key, std::string_view name) {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key, Widen(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value) {
        return std::nullopt;
    }
    return value;
}
