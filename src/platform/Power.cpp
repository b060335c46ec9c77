#include "platform/Power.h"

#include "platform/Handle.h"
#include "platform/Text.h"

#include <vector>

namespace {

ExitWindowsDiversion exitWindowsDiversion = nullptr;

KernelHandle OpenOwnToken(DWORD access) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), access, &token)) {
        return KernelHandle();
    }
    return KernelHandle(token);
}

bool LookupPrivilege(std::string_view name, LUID& luid) {
    return LookupPrivilegeValueW(nullptr, Widen(name).c_str(), &luid) != FALSE;
}

} // namespace

bool EnableTokenPrivilege(std::string_view name) {
    KernelHandle token = OpenOwnToken(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY);
    LUID luid{};
    if (!token || !LookupPrivilege(name, luid)) {
        return false;
    }
    TOKEN_PRIVILEGES wanted{};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Luid = luid;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    TOKEN_PRIVILEGES previous{};
    DWORD previousSize = 0;
    if (!AdjustTokenPrivileges(token.get(), FALSE, &wanted, sizeof previous, &previous, &previousSize)) {
        return false;
    }
    // Success with ERROR_NOT_ALL_ASSIGNED means the token does not hold the privilege at all.
    return GetLastError() == ERROR_SUCCESS;
}

bool TokenPrivilegeEnabled(std::string_view name) {
    KernelHandle token = OpenOwnToken(TOKEN_QUERY);
    LUID luid{};
    if (!token || !LookupPrivilege(name, luid)) {
        return false;
    }
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenPrivileges, nullptr, 0, &size);
    if (size < sizeof(TOKEN_PRIVILEGES)) {
        return false;
    }
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.get(), TokenPrivileges, buffer.data(), size, &size)) {
        return false;
    }
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
        const LUID_AND_ATTRIBUTES& entry = privileges->Privileges[i];
        if (entry.Luid.LowPart == luid.LowPart && entry.Luid.HighPart == luid.HighPart) {
            return (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
        }
    }
    return false;
}

bool ExitWindowsWithFlags(UINT flags) {
    if (exitWindowsDiversion) {
        return exitWindowsDiversion(flags);
    }
    return ExitWindowsEx(flags, 0) != FALSE;
}

void DivertExitWindows(ExitWindowsDiversion diversion) { exitWindowsDiversion = diversion; }
