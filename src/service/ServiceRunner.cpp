#include "service/ServiceRunner.h"

#include "platform/Handle.h"
#include "platform/Text.h"
#include "service/FormDataCleaner.h"
#include "service/ServiceSetup.h"

#include <mutex>
#include <string>

namespace {

constexpr DWORD kStartWaitHintMs = 30000;

// The service control manager calls back without a context, so the one running service keeps its
// state here.
struct RunningService {
    std::mutex lock;
    SERVICE_STATUS_HANDLE statusHandle = nullptr;
    SERVICE_STATUS status{};
    KernelHandle stopEvent;
};
RunningService runningService;

void ReportState(DWORD state, DWORD exitCode = NO_ERROR) {
    std::lock_guard<std::mutex> guard(runningService.lock);
    runningService.status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    runningService.status.dwCurrentState = state;
    runningService.status.dwWin32ExitCode = exitCode;
    runningService.status.dwControlsAccepted =
        state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    runningService.status.dwWaitHint = state == SERVICE_START_PENDING ? kStartWaitHintMs : 0;
    runningService.status.dwCheckPoint = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING ? 1 : 0;
    SetServiceStatus(runningService.statusHandle, &runningService.status);
}

DWORD WINAPI ServiceControlHandler(DWORD control, DWORD, LPVOID, LPVOID) {
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
        ReportState(SERVICE_STOP_PENDING);
        SetEvent(runningService.stopEvent.get());
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void EraseStoredUsersFormData() {
    try {
        if (std::optional<std::string> sid = ReadStoredUserSid()) {
            EraseUserFormData(*sid);
        }
    } catch (...) {
        // Whatever could not be erased stays; the service still starts and can be stopped.
    }
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
    const std::wstring name = Widen(kServiceName);
    runningService.statusHandle = RegisterServiceCtrlHandlerExW(name.c_str(), ServiceControlHandler, nullptr);
    if (!runningService.statusHandle) {
        return;
    }
    runningService.stopEvent.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!runningService.stopEvent) {
        ReportState(SERVICE_STOPPED, GetLastError());
        return;
    }
    ReportState(SERVICE_START_PENDING);
    EraseStoredUsersFormData();
    ReportState(SERVICE_RUNNING);
    WaitForSingleObject(runningService.stopEvent.get(), INFINITE);
    ReportState(SERVICE_STOPPED);
}

} // namespace

bool RunAsService() {
    std::wstring name = Widen(kServiceName);
    SERVICE_TABLE_ENTRYW table[] = {{name.data(), ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherW(table) != FALSE;
}
