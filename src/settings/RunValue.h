// The Run value that starts Quorvale with Windows: "Quorvale" under the machine-wide Run key, or
// under the user's own Run key where the machine-wide one cannot be written.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

constexpr const char* kRunKeyPath = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunValueName = "Quorvale";

// The value's data: the executable's full path, unquoted, followed by " /startup" when the erase
// after Windows starts is on; nullopt when the program is not to start with Windows.
std::optional<std::string> RunValueData(std::string_view executablePath, bool systemStart, bool startupErase);

// The two places the value may live.
struct RunKeys {
    HKEY machineRoot = HKEY_LOCAL_MACHINE;
    HKEY userRoot = HKEY_CURRENT_USER;
    std::string path = kRunKeyPath;
};

enum class RunValuePlace { Machine, User, Nowhere };

// With data: writes the value into the machine-wide key (created when missing) and removes a value
// left in the user's key; where the machine-wide key cannot be opened or written, writes the
// user's key instead. Without data: deletes the value from both keys. Returns where the value now
// is; Nowhere after a deletion or when neither key could be written. Nothing is reported.
RunValuePlace ApplyRunValue(const RunKeys& keys, const std::optional<std::string>& data);
