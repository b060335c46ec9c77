#include "app/Triggers.h"

#include "app/UnitMoveWindow.h"
#include "platform/ShellApplication.h"
#include "store/OptionNames.h"
#include "store/OptionTexts.h"

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
