// The service control manager, and starting a helper program by its command line: what the program
// needs to install, start and stop a service of its own.
#pragma once

#include "platform/Handle.h"

#include <optional>
#include <string_view>

// OpenSCManagerW on the local machine. An empty handle on failure; GetLastError() tells why.
ServiceHandle OpenServiceManager(DWORD access);

// OpenServiceW. An empty handle on failure; GetLastError() is then ERROR_SERVICE_DOES_NOT_EXIST
// when the service is not installed.
ServiceHandle OpenServiceByName(SC_HANDLE manager, std::string_view name, DWORD access);

// StartServiceW with no start arguments. Returns false on failure (ERROR_SERVICE_ALREADY_RUNNING
// when it runs already).
bool StartServiceWithoutArguments(SC_HANDLE service);

// ControlService. status is zeroed, then filled as far as Windows fills it (it may be filled even
// when the control fails). Returns false on failure.
bool SendServiceControl(SC_HANDLE service, DWORD control, SERVICE_STATUS& status);

// The current state (SERVICE_STOPPED, SERVICE_RUNNING, ...) through QueryServiceStatus, which
// answers in every state; nullopt when it cannot be asked (the handle needs SERVICE_QUERY_STATUS).
std::optional<DWORD> QueryServiceState(SC_HANDLE service);

// Polls the state every 100 ms for as long as it is `state`, for at most timeoutMs, letting window
// messages run meanwhile. Returns the last state seen; nullopt when it could not be asked.
std::optional<DWORD> WaitWhileServiceState(SC_HANDLE service, DWORD state, DWORD timeoutMs);

// Starts a program from its command line as WinExec does (the window shown as `show` says), but
// takes the command line in full Unicode, so a program folder of any name works. Then waits up to
// waitMs for the program to end, letting window messages run meanwhile. Returns false when it
// could not be started (exitCode untouched); otherwise exitCode gets its exit code, STILL_ACTIVE
// when it was still running after the wait.
bool RunCommandLine(std::string_view commandLine, int show, DWORD waitMs, DWORD* exitCode = nullptr);
