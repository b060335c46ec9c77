#include "tools/LowDiskWarning.h"

#include "gate/GateActs.h"
#include "platform/WindowsVersion.h"
#include "platform/Registry.h"

namespace {

constexpr REGSAM kReadWrite = KEY_QUERY_VALUE | KEY_SET_VALUE;

} // namespace

LowDiskWarningPlace LowDiskWarningPlaceForThisSystem() {
    if (IsWindowsNtPlatform()) {
        return {HKEY_CURRENT_USER, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
                "NoLowDiskSpaceChecks", 1};
    }
    return {HKEY_LOCAL_MACHINE, "\\System\\CurrentControlSet\\Control\\FileSystem", "DisableLowDiskSpaceBroadcast",
            0xFFFFFFFF};
}

LowDiskWarningSilencer::LowDiskWarningSilencer(LowDiskWarningPlace place) : place_(std::move(place)) {
    RegKey key = OpenRegKey(place_.root, place_.keyPath, kReadWrite);
    if (!key) {
        return;
    }
    before_ = GetRegValue(key.get(), place_.valueName);
    silenced_ = SetRegDword(key.get(), place_.valueName, place_.silentValue);
}

LowDiskWarningSilencer::~LowDiskWarningSilencer() {
    if (!silenced_) {
        return;
    }
    RegKey key = OpenRegKey(place_.root, place_.keyPath, kReadWrite);
    if (!key || !GetRegValue(key.get(), place_.valueName)) {
        return;
    }
    if (before_) {
        SetRegValue(key.get(), place_.valueName, *before_);
    } else {
        key.reset();
        GateDeleteRegValue(place_.root, place_.keyPath, place_.valueName);
    }
}
