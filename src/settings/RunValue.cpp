#include "settings/RunValue.h"

#include "gate/GateActs.h"
#include "platform/Registry.h"

namespace {

bool WriteRunValue(HKEY root, const std::string& path, const std::string& data) {
    RegKey key = CreateRegKey(root, path, KEY_SET_VALUE);
    return key && SetRegString(key.get(), kRunValueName, data);
}

void DeleteRunValue(HKEY root, const std::string& path) { GateDeleteRegValue(root, path, kRunValueName); }

} // namespace

std::optional<std::string> RunValueData(std::string_view executablePath, bool systemStart, bool startupErase) {
    if (!systemStart) {
        return std::nullopt;
    }
    std::string data(executablePath);
    if (startupErase) {
        data += " /startup";
    }
    return data;
}

RunValuePlace ApplyRunValue(const RunKeys& keys, const std::optional<std::string>& data) {
    if (!data) {
        DeleteRunValue(keys.machineRoot, keys.path);
        DeleteRunValue(keys.userRoot, keys.path);
        return RunValuePlace::Nowhere;
    }
    if (WriteRunValue(keys.machineRoot, keys.path, *data)) {
        // A value left from a time without administrator rights would start a second copy.
        DeleteRunValue(keys.userRoot, keys.path);
        return RunValuePlace::Machine;
    }
    return WriteRunValue(keys.userRoot, keys.path, *data) ? RunValuePlace::User : RunValuePlace::Nowhere;
}
