#include "engine/WindowsItems.h"

#include "gate/ErasePlan.h"
#include "gate/GateActs.h"
#include "engine/FolderWipe.h"
#include "engine/RunState.h"
#include "gate/SafetyGate.h"
#include "engine/SystemInfo.h"
#include "platform/Clipboard.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/RecycleBin.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "platform/WindowsVersion.h"

#include <shlobj.h>

namespace {

constexpr REGSAM kCleanAccess = KEY_READ | KEY_SET_VALUE;

} // namespace

bool IsTempFolderSafeToWipe(const std::string& folder) { return !FolderRefusal(folder); }

void EraseTempFolder(const std::string& method, int32_t passes, ProgressLog& log) {
    // The erase run builds this item's final line and totals from the counters, so they are reset
    // even when the folder cannot be searched: otherwise the previous item would be counted twice.
    ResetFileCounters();
    const std::string named = TempFolder();
    std::string folder = WithoutTrailingBackslash(named);
    if (auto why = FolderRefusal(folder)) {
        LogRefusal(log, named, *why, kPlaceholderLine);
        return;
    }
    WipeFolderContents(folder, method, passes, log);
}

bool EmptyRecycleBin() {
    try {
        return GateEmptyRecycleBins("Shell32.dll") != RecycleBinResult::LibraryMissing;
    } catch (...) {
        return true; // only a library that cannot be loaded is reported, as the shell's own answer is not
    }
}

namespace {

bool IsVistaOrLater() { return IsWindowsNtPlatform() && GetWindowsVersion().major >= 6; }

// Deletes every value of the key under HKEY_CURRENT_USER and of each of its sub-keys; the keys stay
// and a missing one is not created. Returns how many values went.
int64_t DeleteValuesOfKeyAndSubKeys(const std::string& keyPath) {
    RegKey key = OpenRegKey(HKEY_CURRENT_USER, keyPath);
    if (!key) {
        return 0;
    }
    int64_t erased = GateDeleteAllValues(HKEY_CURRENT_USER, keyPath);
    for (const auto& name : RegSubKeyNames(key.get())) {
        erased += GateDeleteAllValues(HKEY_CURRENT_USER, keyPath + "\\" + name);
    }
    return erased;
}

// The shortcuts of the Recent folder, as EraseRecentDocuments says.
void EraseRecentShortcuts(ProgressLog& log) {
    RegKey key = OpenRegKey(HKEY_CURRENT_USER, kShellFoldersKey);
    if (!key) {
        return;
    }
    // Without the value the search would run in the current drive's root.
    std::string folder =
        WithoutTrailingBackslash(ExpandEnvironmentText(GetRegString(key.get(), kRecentFolderValue).value_or("")));
    if (folder.empty()) {
        return;
    }
    auto shortcuts = ListFolder(folder + "\\*.lnk");
    ResetFileCounters();
    for (const auto& shortcut : shortcuts) {
        if (shortcut.IsFolder()) {
            continue; // a folder named like a shortcut is not a document trace
        }
        const std::string path = folder + "\\" + shortcut.name;
        if (GateDeleteFile(path)) {
            ErasedFileCount += 1;
            ReleasedByteCount += shortcut.size;
        } else {
            NoteNotErased(path, OpenFailureReason(path, GetLastError()));
        }
    }
    AddFileCountersToTotals();
    log.AppendLine(FileResultLine());
}

} // namespace

void EraseRecentDocuments(ProgressLog& log) {
    EraseRecentShortcuts(log);
    if (IsVistaOrLater() && OpenRegKey(HKEY_CURRENT_USER, kRecentDocsKey)) {
        ErasedRegistryCount = DeleteValuesOfKeyAndSubKeys(kRecentDocsKey);
        TotalErasedRegistryCount += ErasedRegistryCount;
        log.AppendLine(RegistryResultLine(ErasedRegistryCount));
    }
}

void EraseRunMRU(ProgressLog& log) {
    ErasedRegistryCount = 0;
    ErasedRegistryCount = GateDeleteAllValues(HKEY_CURRENT_USER, kRunMRUKey);
    log.AppendLine(RegistryResultLine(ErasedRegistryCount));
    TotalErasedRegistryCount += ErasedRegistryCount;
}

void EraseSearchMRU(ProgressLog& log) {
    ErasedRegistryCount = 0;
    if (RegKey key = OpenRegKey(HKEY_CURRENT_USER, kSearchMRUKey)) {
        for (const auto& name : RegSubKeyNames(key.get())) {
            ErasedRegistryCount += GateDeleteAllValues(HKEY_CURRENT_USER, std::string(kSearchMRUKey) + "\\" + name);
        }
    }
    if (IsVistaOrLater()) {
        ErasedRegistryCount += DeleteValuesOfKeyAndSubKeys(kWordWheelQueryKey);
    }
    log.AppendLine(RegistryResultLine(ErasedRegistryCount));
    TotalErasedRegistryCount += ErasedRegistryCount;
}

void EraseDialogMRU(ProgressLog& log) {
    RegKey key = OpenRegKey(HKEY_CURRENT_USER, kDialogMRUKey, kCleanAccess);
    bool lineWritten = false;
    if (key) {
        ErasedRegistryCount = GateDeleteAllValues(HKEY_CURRENT_USER, kDialogMRUKey);
        TotalErasedRegistryCount += ErasedRegistryCount;
        log.AppendLine(RegistryResultLine(ErasedRegistryCount));
        lineWritten = true;
        for (const auto& name : RegSubKeyNames(key.get())) {
            const std::string subKey = std::string(kDialogMRUKey) + "\\" + name;
            if (OpenRegKey(HKEY_CURRENT_USER, subKey)) {
                int64_t erased = GateDeleteAllValues(HKEY_CURRENT_USER, subKey);
                ErasedRegistryCount += erased;
                TotalErasedRegistryCount += erased;
                log.ReplaceLastLine(RegistryResultLine(ErasedRegistryCount));
            }
        }
    }
    if (!IsVistaOrLater()) {
        return;
    }
    for (const char* today : kTodaysDialogMRUKeys) {
        if (!OpenRegKey(HKEY_CURRENT_USER, today)) {
            continue;
        }
        const int64_t erased = DeleteValuesOfKeyAndSubKeys(today);
        ErasedRegistryCount = (lineWritten ? ErasedRegistryCount : 0) + erased;
        TotalErasedRegistryCount += erased;
        if (lineWritten) {
            log.ReplaceLastLine(RegistryResultLine(ErasedRegistryCount));
        } else {
            log.AppendLine(RegistryResultLine(ErasedRegistryCount));
            lineWritten = true;
        }
    }
}

void ClearClipboard(ProgressLog& log) {
    GateOtherChange("Empty the clipboard", [] { EmptyClipboardContents(); });
    // A preview lists the history's clearing only where Windows has one to clear.
    if (FindingPlan() && ClipboardHistory(ClipboardHistoryCall::Ask) != ClipboardHistoryAnswer::Cleared) {
        return;
    }
    ClipboardHistoryAnswer answer = ClipboardHistoryAnswer::Cleared;
    GateOtherChange(kClearClipboardHistoryWords, [&] { answer = ClipboardHistory(ClipboardHistoryCall::Clear); });
    if (answer == ClipboardHistoryAnswer::NotAvailable) {
        log.AppendLine(kNoClipboardHistoryLine);
    } else if (answer == ClipboardHistoryAnswer::Failed) {
        log.AppendLine(kClipboardHistoryFailedLine);
        NoteNotErased("the clipboard history", "Windows did not clear it");
    }
}

void SetClearPageFileAtShutdown() {
    if (GetOSFamily() != "NewWinNT") {
        return;
    }
    const std::string value = kClearPageFileValue;
    GateOtherChange("Set " + RegistryPathText(HKEY_LOCAL_MACHINE, kMemoryManagementKey, &value) +
                        " to 1: the page file is cleared when Windows shuts down",
                    [] {
                        if (RegKey key = CreateRegKey(HKEY_LOCAL_MACHINE, kMemoryManagementKey, KEY_SET_VALUE)) {
                            SetRegDword(key.get(), kClearPageFileValue, 1);
                        }
                    });
}
