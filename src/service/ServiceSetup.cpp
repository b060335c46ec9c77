#include "service/ServiceSetup.h"

#include "platform/Services.h"
#include "platform/Text.h"

#include <sddl.h>

namespace {

constexpr const wchar_t* kServiceDescription =
    L"Erases the Internet Explorer AutoComplete form data of the Quorvale user when it is started.";

// The system and administrators keep full control; interactive users may query, start and stop.
constexpr const wchar_t* kServiceAccess = L"D:(A;;CCLCSWRPWPDTLOCRRC;;;SY)(A;;CCDCLCSWRPWPDTLOCRSDRCWDWO;;;BA)"
                                          L"(A;;CCLCSWRPWPLOCRRC;;;IU)";

constexpr DWORD kStopWaitMs = 10000;

// Best effort: a service without its description or with the default access still works for an
// elevated caller.
void DescribeAndOpen(SC_HANDLE service) {
    SERVICE_DESCRIPTIONW description{const_cast<wchar_t*>(kServiceDescription)};
    ChangeServiceConfig2W(service, SERVICE_CONFIG_DESCRIPTION, &description);
    PSECURITY_DESCRIPTOR access = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(kServiceAccess, SDDL_REVISION_1, &access, nullptr)) {
        SetServiceObjectSecurity(service, DACL_SECURITY_INFORMATION, access);
        LocalFree(access);
    }
}

} // namespace

DWORD InstallService(const std::string& programPath) {
    ServiceHandle manager = OpenServiceManager(SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE);
    if (!manager) {
        return GetLastError();
    }
    const std::wstring name = Widen(kServiceName);
    const std::wstring command = L"\"" + Widen(programPath) + L"\"";
    ServiceHandle service(CreateServiceW(manager.get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                         SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                         command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    if (!service) {
        DWORD error = GetLastError();
        if (error != ERROR_SERVICE_EXISTS) {
            return error;
        }
        service = OpenServiceByName(manager.get(), kServiceName, SERVICE_ALL_ACCESS);
        if (!service ||
            !ChangeServiceConfigW(service.get(), SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                  command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, name.c_str())) {
            return GetLastError();
        }
    }
    DescribeAndOpen(service.get());
    return ERROR_SUCCESS;
}

DWORD UninstallService() {
    ServiceHandle manager = OpenServiceManager(SC_MANAGER_CONNECT);
    if (!manager) {
        return GetLastError();
    }
    ServiceHandle service =
        OpenServiceByName(manager.get(), kServiceName, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE);
    if (!service) {
        return GetLastError();
    }
    SERVICE_STATUS status;
    if (SendServiceControl(service.get(), SERVICE_CONTROL_STOP, status)) {
        WaitWhileServiceState(service.get(), SERVICE_STOP_PENDING, kStopWaitMs);
    }
    return DeleteService(service.get()) ? ERROR_SUCCESS : GetLastError();
}
