#include "platform/Services.h"

#include "platform/Messages.h"
#include "platform/Text.h"

#include <string>

ServiceHandle OpenServiceManager(DWORD access) { return ServiceHandle(OpenSCManagerW(nullptr, nullptr, access)); }

ServiceHandle OpenServiceByName(SC_HANDLE manager, std::string_view name, DWORD access) {
    return ServiceHandle(OpenServiceW(manager, Widen(name).c_str(), access));
}

bool StartServiceWithoutArguments(SC_HANDLE service) { return StartServiceW(service, 0, nullptr) != FALSE; }

bool SendServiceControl(SC_HANDLE service, DWORD control, SERVICE_STATUS& status) {
    status = SERVICE_STATUS{};
    return ControlService(service, control, &status) != FALSE;
}

std::optional<DWORD> QueryServiceState(SC_HANDLE service) {
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(service, &status)) {
        return std::nullopt;
    }
    return status.dwCurrentState;
}

std::optional<DWORD> WaitWhileServiceState(SC_HANDLE service, DWORD state, DWORD timeoutMs) {
    constexpr DWORD kPollMs = 100;
    const DWORD start = GetTickCount();
    std::optional<DWORD> current = QueryServiceState(service);
    while (current == state && GetTickCount() - start < timeoutMs) {
        WaitLettingMessagesRun(nullptr, kPollMs);
        current = QueryServiceState(service);
    }
    return current;
}

bool RunCommandLine(std::string_view commandLine, int show, DWORD waitMs, DWORD* exitCode) {
    std::wstring command = Widen(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    KernelHandle processHandle(process.hProcess);
    KernelHandle threadHandle(process.hThread);
    WaitLettingMessagesRun(processHandle.get(), waitMs);
    if (exitCode) {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(processHandle.get(), &code);
        *exitCode = code;
    }
    return true;
}
