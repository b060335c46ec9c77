// History, typed addresses, AutoComplete form data and passwords: the registry and COM items.
#include "gate/ErasePlan.h"
#include "gate/GateActs.h"
#include "engine/InternetExplorer.h"

#include "engine/FolderWipe.h"
#include "engine/RunState.h"
#include "engine/SystemInfo.h"
#include "platform/WindowsVersion.h"
#include "platform/Registry.h"
#include "platform/UrlHistory.h"
#include "platform/UserAccount.h"
#include "store/OptionNames.h"
#include "store/OptionTexts.h"

namespace {

void EraseProtectedStorageFormData() {
    const std::string userName = CurrentUserName();
    if (userName.empty()) {
        return;
    }
    const std::string keyPath = ProtectedStorageFormDataKey(userName);
    RegKey key = OpenRegKey(HKEY_LOCAL_MACHINE, keyPath);
    if (!key) {
        return;
    }
    const std::vector<std::string> subKeys = RegSubKeyNames(key.get());
    key.reset();
    for (const std::string& subKey : subKeys) {
        GateDeleteRegTree(HKEY_LOCAL_MACHINE, keyPath + "\\" + subKey);
    }
}

} // namespace

void EraseIEHistory() {
    // Windows without the history object (or with one that refuses) simply keeps its history.
    GateOtherChange("Clear Internet Explorer's history store", [] { ClearUrlHistory(); });
}

void EraseIETypedURLs(const std::string& optionsPath, ProgressLog& log) {
    KillProcessByName("iexplore.exe");
    ErasedRegistryCount = 0;
    if (OpenRegKey(HKEY_CURRENT_USER, kTypedUrlsKey, KEY_READ | KEY_WRITE)) {
        const int64_t erased = GateDeleteAllValues(HKEY_CURRENT_USER, kTypedUrlsKey);
        TotalErasedRegistryCount += erased;
        log.AppendLine(RegistryResultLine(erased));
    }
    const std::vector<std::string> keepList = ReadKeepList(OptionsStore(optionsPath), kSectionIEAddressBar);
    // The kept addresses are written back after the erase; finding writes nothing.
    if (keepList.empty() || FindingPlan()) {
        return;
    }
    if (RegKey key = CreateRegKey(HKEY_CURRENT_USER, kTypedUrlsKey)) {
        for (size_t i = 0; i < keepList.size(); ++i) {
            SetRegString(key.get(), "url" + std::to_string(i + 1), keepList[i]);
        }
    }
}

std::string ProtectedStorageFormDataKey(const std::string& userName) {
    return "\\SOFTWARE\\Microsoft\\Protected Storage System Provider\\" + userName +
           "\\Data\\e161255a-37c3-11d2-bcaa-00c04fd929db\\e161255a-37c3-11d2-bcaa-00c04fd929db";
}

void EraseIEFormData(ProgressLog& log, const std::string& programFolder) {
    if (IsWindowsNtPlatform()) {
        std::optional<ServicePlaceRefusal> refusal;
        GateOtherChange("Erase AutoComplete form data through the form data service", [&] {
            StopSiblingService();
            refusal = StartSiblingService(programFolder);
            StopSiblingService();
        });
        if (refusal) {
            const std::string why = ServiceNotInstalledWhy(*refusal);
            log.AppendLine(std::string("Refused: ") + kFormDataWhat + " (" + why + ")");
            NoteNotErased(kFormDataWhat, "refused: " + why);
        }
        return;
    }
    EraseProtectedStorageFormData();
}

void EraseIEPasswords(ProgressLog& log) {
    ErasedRegistryCount = 0;
    if (OpenRegKey(HKEY_CURRENT_USER, kAutoCompletePasswordsKey, KEY_READ | KEY_WRITE)) {
        ErasedRegistryCount = GateDeleteAllValues(HKEY_CURRENT_USER, kAutoCompletePasswordsKey);
        log.ReplaceLastLine(std::to_string(ErasedRegistryCount) + " registry entries were erased.");
    }
    TotalErasedRegistryCount += ErasedRegistryCount;
}
