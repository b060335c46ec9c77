// The sibling service that erases the AutoComplete form data on the NT family: its installation,
// start and stop through the service control manager.
#include "engine/InternetExplorer.h"

#include "platform/Files.h"
#include "platform/Services.h"

namespace {

constexpr DWORD kSiblingServiceAccess = SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS;

// Runs the installer from the program's folder and waits for it to finish.
void InstallSiblingService() {
    RunCommandLine(SiblingServiceInstallCommand(ExecutableDir()), SW_SHOWMINIMIZED, kSiblingServiceWaitMs);
}

} // namespace

std::string SiblingServiceInstallCommand(const std::string& programFolder) {
    return "\"" + programFolder + kSiblingServiceProgram + "\" /INSTALL /SILENT";
}

void StopSiblingService() {
    ServiceHandle manager = OpenServiceManager(SC_MANAGER_CONNECT);
    if (!manager) {
        return;
    }
    ServiceHandle service = OpenServiceByName(manager.get(), kSiblingServiceName, kSiblingServiceAccess);
    if (!service) {
        return;
    }
    SERVICE_STATUS status;
    if (SendServiceControl(service.get(), SERVICE_CONTROL_STOP, status)) {
        // A start right after a stop is refused until the service has really stopped.
        WaitWhileServiceState(service.get(), SERVICE_STOP_PENDING, kSiblingServiceWaitMs);
    }
}

void StartSiblingService() {
    ServiceHandle manager = OpenServiceManager(SC_MANAGER_CONNECT);
    if (!manager) {
        InstallSiblingService();
        manager = OpenServiceManager(SC_MANAGER_CONNECT);
        if (!manager) {
            return;
        }
    }
    ServiceHandle service = OpenServiceByName(manager.get(), kSiblingServiceName, kSiblingServiceAccess);
    if (!service && GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST) {
        InstallSiblingService();
        service = OpenServiceByName(manager.get(), kSiblingServiceName, kSiblingServiceAccess);
    }
    if (service && StartServiceWithoutArguments(service.get())) {
        // The service erases while it starts; the stop that follows must not come before that.
        WaitWhileServiceState(service.get(), SERVICE_START_PENDING, kSiblingServiceWaitMs);
    }
}
