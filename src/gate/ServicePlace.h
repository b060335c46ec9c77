// Where the form-data service may be installed from. The service runs as the local system, so its
// program and the folder holding it must be ones that only administrators and the system can
// change: otherwise any user could put another program in its place and have it run as the system.
#pragma once

#include "platform/AccessRights.h"

#include <functional>
#include <optional>
#include <string>

// Why the service must not be installed from a place: the file or folder that is not safe, and why.
struct ServicePlaceRefusal {
    std::string path;
    std::string why;
};

// Reads the security descriptor of a path, as ReadSecurityDescriptor does; tests give their own.
using DescriptorReader = std::function<DWORD(const std::string& path, LocalMemory& descriptor)>;

constexpr const char* kChangeableByUsersText = "users other than administrators can change it";

// Checks the folder of the service program (a full path), then the program itself. nullopt when
// both are safe, or when Windows keeps no security descriptors (the Windows 9x family, or a reader
// answering ERROR_CALL_NOT_IMPLEMENTED). Refused when EveryUserMayChange says so
// (kChangeableByUsersText) or when a descriptor cannot be read ("its security could not be read
// (error N)").
std::optional<ServicePlaceRefusal> RefuseServicePlace(const std::string& programPath,
                                                      const DescriptorReader& read = ReadSecurityDescriptor);
