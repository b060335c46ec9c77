#include "platform/RegistryPresence.h"

#include "platform/Handle.h"
#include "platform/Text.h"

bool RegSubKeyExists(HKEY key, std::string_view name) {
    if (name.empty()) {
        return false;
    }
    HKEY subKey = nullptr;
    LONG rc = RegOpenKeyExW(key, Widen(name).c_str(), 0, KEY_QUERY_VALUE, &subKey);
    RegKey opened(rc == ERROR_SUCCESS ? subKey : nullptr);
    return rc == ERROR_SUCCESS || rc == ERROR_ACCESS_DENIED;
}

bool RegValueExists(HKEY key, std::string_view name) {
    LONG rc = RegQueryValueExW(key, Widen(name).c_str(), nullptr, nullptr, nullptr, nullptr);
    return rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA;
}
