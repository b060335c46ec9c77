#include "platform/RegistryValues.h"

#include "platform/Text.h"

std::optional<RegValue> GetRegValue(HKEY key, std::string_view name) {
    std::wstring wideName = Widen(name);
    for (;;) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        RegValue value{type, std::string(size, '\0')};
        LONG rc = RegQueryValueExW(key, wideName.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(value.bytes.data()), &size);
        if (rc == ERROR_MORE_DATA) {
            continue; // the value grew between the two calls
        }
        if (rc != ERROR_SUCCESS) {
            return std::nullopt;
        }
        value.type = type;
        value.bytes.resize(size);
        return value;
    }
}

bool SetRegValue(HKEY key, std::string_view name, const RegValue& value) {
    return RegSetValueExW(key, Widen(name).c_str(), 0, value.type, reinterpret_cast<const BYTE*>(value.bytes.data()),
                          static_cast<DWORD>(value.bytes.size())) == ERROR_SUCCESS;
}
