#include "engine/SystemInfo.h"

#include "gate/ErasePlan.h"
#include "platform/WindowsVersion.h"
#include "platform/Files.h"
#include "platform/Processes.h"
#include "platform/Text.h"

std::string GetOSFamily() {
    WindowsVersion version = GetWindowsVersion();
    std::string family;
    if (version.major == 5 || version.major == 6) {
        family = "NewWinNT";
    }
    if (version.major == 4 && (version.minor == 10 || version.minor == 90)) {
        family = "Win9x";
    }
    if (version.major == 4 && version.minor == 0) {
        family = "OldWinNt";
    }
    return family;
}

bool KillProcessByName(const std::string& name) {
    auto processes = RunningProcesses();
    if (!processes) {
        return false;
    }
    std::string wanted = AsciiUpper(name);
    bool lastResult = false;
    for (const auto& process : *processes) {
        std::string exe = AsciiUpper(process.exeFile);
        if (AsciiUpper(NameOf(exe)) == wanted || exe == wanted) {
            if (FindingPlan()) {
                AddPlanEntry({PlanEntry::Action, "End the running program " + process.exeFile});
                continue;
            }
            lastResult = TerminateProcessById(process.id, 0);
        }
    }
    return lastResult;
}
