// Installing and removing the form-data service in the service control manager.
#pragma once

#include <windows.h>

#include <string>

// The service's name, as Quorvale starts and stops it.
constexpr const char* kServiceName = "SellwynService";

// Installs the service: its own process, started on demand, running the given program (quoted,
// no arguments) as the local system. When it is installed already, its program and start settings
// are set again. Interactive users may then start and stop it, so an unelevated Quorvale can.
// Returns ERROR_SUCCESS or the Windows error.
DWORD InstallService(const std::string& programPath);

// Stops the service when it runs (waiting a few seconds for it) and removes it. Returns
// ERROR_SUCCESS, or the Windows error (ERROR_SERVICE_DOES_NOT_EXIST when it is not installed).
DWORD UninstallService();
