#include "app/Triggers.h"

#include "app/BossKey.h"
#include "app/Shutdown.h"
#include "platform/Registry.h"
#include "platform/Security.h"
#include "platform/ShellApplication.h"
#include "store/OptionNames.h"
#include "store/OptionTexts.h"

UINT ScheduleIntervalMs(int32_t customInterval) {
    switch (customInterval) {
    case 0:
        return 900000;
    case 1:
        return 1800000;
    case 2:
        return 3600000;
    case 3:
        return 28800000;
    default:
        return 86400000;
    }
}

bool StartupEraseRequested(const std::vector<std::string>& arguments, bool systemStartErase) {
    return systemStartErase && !arguments.empty() && arguments.front() == "/startup";
}

void StoreUserSid() {
    auto sid = CurrentUserSidText();
    if (!sid) {
        return;
    }
    // Without write access to the machine-wide key the value is simply not left; nothing in this
    // program reads it back.
    if (RegKey key = CreateRegKey(HKEY_LOCAL_MACHINE, "\\Software\\Quorvale", KEY_WRITE)) {
        SetRegString(key.get(), "SID", *sid);
    }
}

std::vector<std::string> EnabledBossKeyClassNames(const OptionsStore& options) {
    std::vector<std::string> classNames;
    for (const BossKeyEntry& entry : ReadBossKeyEntries(options)) {
        if (entry.hide) {
            classNames.push_back(entry.className);
        }
    }
    return classNames;
}

void PressBossKey(const std::string& optionsPath) {
    OptionsStore options(optionsPath);
    if (!options.GetFlag(kSectionMiscellaneous, kKeyEnableBosskey, false)) {
        return;
    }
    BossKeyClassNames = EnabledBossKeyClassNames(options);
    if (BossKeyClassNames.empty()) {
        return;
    }
    BossWindowsHidden = !BossWindowsHidden;
    EnumWindows(BossKeyWindowProc, static_cast<LPARAM>(BossKeyClassNames.size()));
}

bool EndOfSessionEraseWanted(const std::string& optionsPath) {
    return OptionsStore(optionsPath).GetFlag(kSectionMiscellaneous, kKeySystemShutdownErase, false);
}

void CarryOutAfterEraseAction(const std::string& optionsPath) {
    std::string action =
        OptionsStore(optionsPath).GetText(kSectionMiscellaneous, kKeySystemShutdownOption, kAfterEraseShowWindow);
    if (action == kAfterEraseShowWindow) {
        // When the shell cannot show its dialog the user shuts Windows down as usual; the program
        // still closes as after the dialog.
        ShellShutDownWindows();
    } else if (action == kAfterEraseShutdown) {
        ForceShutdown();
    } else {
        ForceRestart();
    }
}
