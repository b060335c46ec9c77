#include "gate/ServicePlace.h"

#include "platform/WindowsVersion.h"

std::optional<ServicePlaceRefusal> RefuseServicePlace(const std::string& programPath, const DescriptorReader& read) {
    if (!IsWindowsNtPlatform()) {
        return std::nullopt;
    }
    const size_t slash = programPath.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? std::string(".") : programPath.substr(0, slash);
    if (folder.size() == 2 && folder[1] == ':') {
        folder += '\\'; // the root of a drive
    }
    for (const std::string& path : {folder, programPath}) {
        LocalMemory descriptor;
        const DWORD error = read(path, descriptor);
        if (error == ERROR_CALL_NOT_IMPLEMENTED) {
            return std::nullopt;
        }
        if (error != ERROR_SUCCESS || !descriptor) {
            return ServicePlaceRefusal{path, "its security could not be read (error " + std::to_string(error) + ")"};
        }
        if (EveryUserMayChange(descriptor.get())) {
            return ServicePlaceRefusal{path, kChangeableByUsersText};
        }
    }
    return std::nullopt;
}
