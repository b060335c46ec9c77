#include "app/Shutdown.h"

#include "engine/SystemInfo.h"
#include "platform/Messages.h"
#include "platform/Power.h"

namespace {

void ForceEndOfSession(UINT flags) {
    std::string family = GetOSFamily();
    if (family == "NewWinNT" || family == "OldWinNt") {
        EnableShutdownPrivilege();
        ExitWindowsWithFlags(flags);
    } else if (family == "Win9x") {
        ExitWindowsWithFlags(flags);
    } else {
        // Task-modal: the main window takes no input while the message is up, as with an owned box.
        ShowMessageBox(nullptr, kUnsupportedWindowsText, "Information", MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
    }
}

} // namespace

void EnableShutdownPrivilege() { EnableTokenPrivilege("SeShutdownPrivilege"); }

void ForceShutdown() { ForceEndOfSession(kForceShutdownFlags); }

void ForceRestart() { ForceEndOfSession(kForceRestartFlags); }
