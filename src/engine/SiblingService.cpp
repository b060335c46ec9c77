// The sibling service that erases the AutoComplete form data on the NT family: its installation,
// start and stop through the service control manager.
#include "engine/InternetExplorer.h"

#include "gate/ServicePlace.h"
#include "platform/Files.h"
#include "platform/Services.h"

namespace {

constexpr DWORD kSiblingServiceAccess = SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS;

// Runs the installer from the program's folder and waits for it to finish, unless that folder or
// the service program can be changed by other users.
std::optional<ServicePlaceRefusal> InstallSiblingService(const std::string& programFolder) {
    std::optional<ServicePlaceRefusal> refusal = RefuseServicePlace(programFolder + kSiblingServiceProgram);
    if (!refusal) {
        RunCommandLine(SiblingServiceInstallCommand(programFolder), SW_SHOWMINIMIZED, kSiblingServiceWaitMs);
    }
    return refusal;
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

std::optional<ServicePlaceRefusal> StartSiblingService(const std::string& programFolder) {
    ServiceHandle manager = OpenServiceManager(SC_MANAGER_CONNECT);
    if (!manager) {
        if (std::optional<ServicePlaceRefusal> refusal = InstallSiblingService(programFolder)) {
            return refusal;
        }
        manager = OpenServiceManager(SC_MANAGER_CONNECT);
        if (!manager) {
            return std::nullopt;
        }
    }
    ServiceHandle service = OpenServiceByName(manager.get(), kSiblingServiceName, kSiblingServiceAccess);
    if (!service && GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST) {
        if (std::optional<ServicePlaceRefusal> refusal = InstallSiblingService(programFolder)) {
            return refusal;
        }
        service = OpenServiceByName(manager.get(), kSiblingServiceName, kSiblingServiceAccess);
    }
    if (service && StartServiceWithoutArguments(service.get())) {
        // The service erases while it starts; the stop that follows must not come before that.
        WaitWhileServiceState(service.get(), SERVICE_START_PENDING, kSiblingServiceWaitMs);
    }
    return std::nullopt;
}

std::string ServiceNotInstalledWhy(const ServicePlaceRefusal& refusal) {
    return "the form data service is not installed from " + refusal.path + ": " + refusal.why;
}
