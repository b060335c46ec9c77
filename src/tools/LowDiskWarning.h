// Windows warns when a disk runs low on space; a wash fills the disk on purpose, so the warning
// is silenced while a drive is washed and the setting is put back as it was found.
#pragma once

#include "platform/Registry.h"

#include <windows.h>

#include <optional>
#include <string>

struct LowDiskWarningPlace {
    HKEY root;
    std::string keyPath;
    std::string valueName;
    DWORD silentValue;
};

// NT family: HKEY_CURRENT_USER "\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer",
// "NoLowDiskSpaceChecks" = 1. Others: HKEY_LOCAL_MACHINE
// "\System\CurrentControlSet\Control\FileSystem", "DisableLowDiskSpaceBroadcast" = -1.
LowDiskWarningPlace LowDiskWarningPlaceForThisSystem();

// Silences the warning when made and restores the setting when it goes. Only an existing key is
// touched: nothing is created. A value that was there gets its old type and data back; one that
// was not is deleted again.
class LowDiskWarningSilencer {
public:
    explicit LowDiskWarningSilencer(LowDiskWarningPlace place);
    ~LowDiskWarningSilencer();
    LowDiskWarningSilencer(const LowDiskWarningSilencer&) = delete;
    LowDiskWarningSilencer& operator=(const LowDiskWarningSilencer&) = delete;

private:
    LowDiskWarningPlace place_;
    bool silenced_ = false;
    std::optional<RegValue> before_;
};
