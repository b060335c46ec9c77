#include "platform/Registry.h"

#include "platform/Text.h"

namespace {

struct RegistryRoot {
    const char* name;
    HKEY key;
};

const RegistryRoot kRegistryRoots[] = {
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},     {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},     {"HKEY_USERS", HKEY_USERS},
    {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
};

std::wstring KeyPath(std::string_view path) {
    while (!path.empty() && path.front() == '\\') {
        path.remove_prefix(1);
    }
    return Widen(path);
}

std::vector<std::string> EnumNames(HKEY key, bool values) {
    std::vector<std::string> names;
    DWORD maxLen = 0;
    LONG rc = values ? RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxLen,
                                        nullptr, nullptr, nullptr)
                     : RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &maxLen, nullptr, nullptr, nullptr,
                                        nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) {
        return names;
    }
    std::wstring buffer(maxLen + 1, L'\0');
    for (DWORD index = 0;; ++index) {
        DWORD len = static_cast<DWORD>(buffer.size());
        rc = values ? RegEnumValueW(key, index, buffer.data(), &len, nullptr, nullptr, nullptr, nullptr)
                    : RegEnumKeyExW(key, index, buffer.data(), &len, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_MORE_DATA) {
            buffer.resize(buffer.size() * 2);
            --index;
            continue;
        }
        if (rc != ERROR_SUCCESS) {
            break;
        }
        names.push_back(Narrow(std::wstring_view(buffer.data(), len)));
    }
    return names;
}

} // namespace

RegKey OpenRegKey(HKEY root, std::string_view path, REGSAM access) {
    HKEY key = nullptr;
    if (LSTATUS status = RegOpenKeyExW(root, KeyPath(path).c_str(), 0, access, &key); status != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(status));
        return RegKey();
    }
    return RegKey(key);
}

RegKey CreateRegKey(HKEY root, std::string_view path, REGSAM access) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, KeyPath(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return RegKey();
    }
    return RegKey(key);
}

bool SetRegString(HKEY key, std::string_view name, std::string_view value) {
    std::wstring wideValue = Widen(value);
    return RegSetValueExW(key, Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wideValue.c_str()),
                          static_cast<DWORD>((wideValue.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::optional<std::string> GetRegString(HKEY key, std::string_view name) {
    std::wstring wideName = Widen(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.resize(size / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') {
        value.pop_back();
    }
    return Narrow(value);
}

std::vector<std::string> RegValueNames(HKEY key) { return EnumNames(key, true); }

std::vector<std::string> RegSubKeyNames(HKEY key) { return EnumNames(key, false); }

bool DeleteRegValue(HKEY key, std::string_view name) {
    LSTATUS status = RegDeleteValueW(key, Widen(name).c_str());
    SetLastError(static_cast<DWORD>(status));
    return status == ERROR_SUCCESS;
}

bool DeleteRegTree(HKEY root, std::string_view path) {
    std::wstring widePath = KeyPath(path);
    DWORD firstError = ERROR_SUCCESS;
    {
        // Opened as itself, never followed: a registry link is left in place (deleting it by name
        // would delete what it points to), and so is every key above it.
        HKEY opened = nullptr;
        if (LSTATUS status = RegOpenKeyExW(root, widePath.c_str(), REG_OPTION_OPEN_LINK, KEY_READ | KEY_WRITE, &opened);
            status != ERROR_SUCCESS) {
            SetLastError(static_cast<DWORD>(status));
            return false;
        }
        RegKey key(opened);
        DWORD type = REG_NONE;
        if (RegQueryValueExW(key.get(), L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
            type == REG_LINK) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        for (const auto& child : RegSubKeyNames(key.get())) {
            if (!DeleteRegTree(key.get(), child) && firstError == ERROR_SUCCESS) {
                firstError = GetLastError();
            }
        }
    }
    LSTATUS status = RegDeleteKeyW(root, widePath.c_str());
    if (firstError == ERROR_SUCCESS) {
        firstError = static_cast<DWORD>(status);
    }
    SetLastError(firstError);
    return firstError == ERROR_SUCCESS;
}

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

std::optional<RegValue> GetRegValue(HKEY key, std::string_view name) {
    std::wstring wideName = Widen(name);
    for (;;) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        RegValue value{type, std::string(size, '\0')};
        LONG rc =
            RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.bytes.data()), &size);
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

std::string RegRootName(HKEY root) {
    for (const auto& known : kRegistryRoots) {
        if (known.key == root) {
            return known.name;
        }
    }
    return {};
}

HKEY RegRootNamed(std::string_view name) {
    for (const auto& known : kRegistryRoots) {
        if (EqualsNoCase(name, known.name)) {
            return known.key;
        }
    }
    return nullptr;
}
