// SellwickService.exe: installs, removes or runs the service that erases the AutoComplete form
// data of Quorvale's user. "/INSTALL" and "/UNINSTALL" tell their result in a message box unless
// "/SILENT" is given; the exit code is the Windows error (0 for success). "/INSTALL" refuses, with
// ERROR_ACCESS_DENIED, when this program or its folder can be changed by users other than the
// administrators (RefuseServicePlace).
#include "gate/ServicePlace.h"
#include "platform/Messages.h"
#include "platform/ThisProcess.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "service/ServiceRunner.h"
#include "service/ServiceSetup.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kCaption = "SellwickService";

bool HasSwitch(const std::vector<std::string>& arguments, std::string_view name) {
    return std::any_of(arguments.begin(), arguments.end(),
                       [name](const std::string& argument) { return EqualsNoCase(argument, name); });
}

void Tell(bool silent, const std::string& text, UINT icon) {
    if (!silent) {
        ShowMessageBox(nullptr, text, kCaption, MB_OK | icon);
    }
}

std::string Outcome(const char* done, const char* failed, DWORD error) {
    if (error == ERROR_SUCCESS) {
        return std::string("The service ") + kServiceName + " was " + done + ".";
    }
    return std::string("The service ") + kServiceName + " could not be " + failed + " (error " + std::to_string(error) +
           ").";
}

std::string RefusalText(const ServicePlaceRefusal& refusal) {
    return std::string("The service ") + kServiceName + " was not installed from " + refusal.path + ": " + refusal.why +
           ". It runs as the local system, so it is installed only from a folder that only " +
           "administrators can change, such as Program Files.";
}

int Run() {
    const std::vector<std::string> arguments = CommandLineArguments();
    const bool silent = HasSwitch(arguments, "/SILENT");
    if (HasSwitch(arguments, "/INSTALL")) {
        if (const std::optional<ServicePlaceRefusal> refusal = RefuseServicePlace(ExecutablePath())) {
            Tell(silent, RefusalText(*refusal), MB_ICONERROR);
            return ERROR_ACCESS_DENIED;
        }
        DWORD error = InstallService(ExecutablePath());
        Tell(silent, Outcome("installed", "installed", error), error ? MB_ICONERROR : MB_ICONINFORMATION);
        return static_cast<int>(error);
    }
    if (HasSwitch(arguments, "/UNINSTALL")) {
        DWORD error = UninstallService();
        Tell(silent, Outcome("removed", "removed", error), error ? MB_ICONERROR : MB_ICONINFORMATION);
        return static_cast<int>(error);
    }
    if (RunAsService()) {
        return 0;
    }
    Tell(silent, "Usage: SellwickService.exe /INSTALL [/SILENT] or SellwickService.exe /UNINSTALL [/SILENT]",
         MB_ICONINFORMATION);
    return ERROR_INVALID_PARAMETER;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        return Run();
    } catch (...) {
        return ERROR_INTERNAL_ERROR;
    }
}
