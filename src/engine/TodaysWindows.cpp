#include "engine/TodaysWindows.h"

#include "engine/FolderWipe.h"
#include "engine/RunState.h"
#include "gate/ErasePlan.h"
#include "gate/GateActs.h"
#include "gate/SafetyGate.h"
#include "platform/DnsCache.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/JumpLists.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Text.h"

#include <algorithm>
#include <vector>

namespace {

// Ends an item that counts registry entries: its line and the run total.
void FinishRegistryItem(int64_t erased, ProgressLog& log) {
    ErasedRegistryCount = erased;
    TotalErasedRegistryCount += erased;
    log.AppendLine(RegistryResultLine(erased));
}

bool IsOneOf(const std::string& name, const std::vector<std::string>& names) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& kept) { return EqualsNoCase(name, kept); });
}

// The views of a place to keep: AllFolders, the bag BagMRU's root names (the desktop's, at the top
// of the shell's namespace), and any bag that holds the desktop's icon layout.
bool IsKeptBag(const ShellBagPlace& place, const std::string& bag, const std::vector<std::string>& kept) {
    if (IsOneOf(bag, kept)) {
        return true;
    }
    RegKey key = OpenRegKey(HKEY_CURRENT_USER, std::string(place.views) + "\\" + bag);
    return key && RegSubKeyExists(key.get(), "Desktop");
}

int64_t EraseShellBagsOf(const ShellBagPlace& place) {
    int64_t erased = 0;
    std::vector<std::string> keptBags{"AllFolders"};
    if (RegKey browsed = OpenRegKey(HKEY_CURRENT_USER, place.browsed)) {
        if (std::optional<DWORD> slot = GetRegDword(browsed.get(), "NodeSlot")) {
            keptBags.push_back(std::to_string(*slot));
        }
        for (const std::string& value : RegValueNames(browsed.get())) {
            if (!IsOneOf(value, {"NodeSlot", "NodeSlots"}) &&
                GateDeleteRegValue(HKEY_CURRENT_USER, place.browsed, value)) {
                ++erased;
            }
        }
        for (const std::string& folder : RegSubKeyNames(browsed.get())) {
            if (GateDeleteRegTree(HKEY_CURRENT_USER, std::string(place.browsed) + "\\" + folder)) {
                ++erased;
            }
        }
    }
    if (RegKey views = OpenRegKey(HKEY_CURRENT_USER, place.views)) {
        for (const std::string& bag : RegSubKeyNames(views.get())) {
            if (!IsKeptBag(place, bag, keptBags) &&
                GateDeleteRegTree(HKEY_CURRENT_USER, std::string(place.views) + "\\" + bag)) {
                ++erased;
            }
        }
    }
    return erased;
}

// The folder below the local application-data folder, or "" with the refusal in the log when it
// must not be entered (or when there is no local application-data folder to find it in).
std::string TraceFolder(const std::string& base, const std::string& below, ProgressLog& log) {
    if (base.empty()) {
        LogRefusal(log, "%LocalAppData%\\" + below, "%LocalAppData% names no full folder", FileResultLine());
        return {};
    }
    const std::string folder = base + below;
    if (std::optional<std::string> why = TraceFolderRefusal(base, below)) {
        LogRefusal(log, folder, *why, FileResultLine());
        return {};
    }
    return FolderExists(folder) ? folder : std::string();
}

} // namespace

std::optional<std::string> TraceFolderRefusal(const std::string& base, const std::string& below) {
    std::string path = WithoutTrailingBackslash(base);
    size_t start = 0;
    while (start < below.size()) {
        size_t end = below.find('\\', start);
        if (end == std::string::npos) {
            end = below.size();
        }
        path += "\\" + below.substr(start, end - start);
        start = end + 1;
        const DWORD attributes = GetAttributes(path);
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            return std::nullopt; // missing: nothing to enter
        }
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            return "reached through a link, which is never followed";
        }
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return "a file where a folder was expected";
        }
    }
    return FolderRefusal(path);
}

void EraseExplorerTypedPaths(ProgressLog& log) {
    FinishRegistryItem(GateDeleteAllValues(HKEY_CURRENT_USER, kTypedPathsKey), log);
}

void EraseProgramLaunchCounters(ProgressLog& log) {
    int64_t erased = 0;
    if (RegKey key = OpenRegKey(HKEY_CURRENT_USER, kUserAssistKey)) {
        for (const std::string& name : RegSubKeyNames(key.get())) {
            const std::string counters = std::string(kUserAssistKey) + "\\" + name + "\\Count";
            if (!EqualsNoCase(name, "Settings") && OpenRegKey(HKEY_CURRENT_USER, counters)) {
                erased += GateDeleteAllValues(HKEY_CURRENT_USER, counters);
            }
        }
    }
    FinishRegistryItem(erased, log);
}

void ClearJumpLists(ProgressLog& log) {
    if (ClearJumpList(kJumpListPrograms[0], JumpListCall::Ask) == JumpListAnswer::NotAvailable) {
        if (!FindingPlan()) {
            log.AppendLine(kNoJumpListsLine);
        }
        return;
    }
    int cleared = 0;
    for (const char* program : kJumpListPrograms) {
        JumpListAnswer answer = JumpListAnswer::Cleared;
        GateOtherChange(std::string("Clear the recent and frequent entries of the jump list of ") + program +
                            " (pinned entries stay)",
                        [&] { answer = ClearJumpList(program, JumpListCall::Clear); });
        if (answer == JumpListAnswer::Cleared) {
            ++cleared;
        } else if (!FindingPlan()) {
            log.AppendLine(std::string("The jump list of ") + program + " could not be cleared.");
            NoteNotErased(std::string("the jump list of ") + program, "Windows did not clear it");
        }
    }
    if (!FindingPlan()) {
        log.AppendLine("The recent and frequent entries of " + std::to_string(cleared) +
                       " jump lists were cleared; pinned entries stay.");
    }
}

void EraseCrashReports(const std::string& method, int32_t passes, ProgressLog& log) {
    ResetFileCounters();
    const std::string local = LocalAppDataFolder();
    for (const char* below : kCrashReportFolders) {
        const std::string folder = TraceFolder(local, below, log);
        if (!folder.empty()) {
            WipeFolderContents(folder, method, passes, log);
        }
    }
}

void ErasePowerShellHistory(const std::string& method, int32_t passes, ProgressLog& log) {
    ResetFileCounters();
    const std::string roaming = AppDataFolder();
    const std::string below = FolderOf(kPowerShellHistory);
    if (roaming.empty()) {
        LogRefusal(log, std::string("%AppData%\\") + kPowerShellHistory, "%AppData% names no full folder",
                   FileResultLine());
        return;
    }
    if (!TraceFolder(roaming, below, log).empty()) {
        EraseNamedFile(roaming + kPowerShellHistory, method, passes, log);
    }
}

void EraseThumbnailCaches(const std::string& method, int32_t passes, ProgressLog& log) {
    ResetFileCounters();
    const std::string folder = TraceFolder(LocalAppDataFolder(), kExplorerCacheFolder, log);
    if (folder.empty()) {
        return;
    }
    for (const char* pattern : kExplorerCachePatterns) {
        for (const FolderEntry& entry : ListFolder(JoinPath(folder, pattern))) {
            if (!entry.IsFolder() && !entry.IsLink()) {
                EraseNamedFile(JoinPath(folder, entry.name), method, passes, log);
            }
        }
    }
}

void EraseShellBags(ProgressLog& log) {
    int64_t erased = 0;
    for (const ShellBagPlace& place : kShellBagPlaces) {
        erased += EraseShellBagsOf(place);
    }
    FinishRegistryItem(erased, log);
}

void FlushDnsCacheItem(ProgressLog& log) {
    DnsFlushAnswer answer = DnsFlushAnswer::Flushed;
    GateOtherChange(kFlushDnsWords, [&] { answer = FlushDnsCache(); });
    if (FindingPlan()) {
        return;
    }
    switch (answer) {
    case DnsFlushAnswer::Flushed:
        log.AppendLine(kDnsFlushedLine);
        break;
    case DnsFlushAnswer::NotAvailable:
        log.AppendLine(kNoDnsCacheLine);
        break;
    case DnsFlushAnswer::Denied:
        log.AppendLine(kDnsDeniedLine);
        NoteNotErased("Windows' DNS cache", "this account lacks the rights to flush it");
        break;
    case DnsFlushAnswer::Failed:
        log.AppendLine(kDnsFailedLine);
        NoteNotErased("Windows' DNS cache", "Windows did not flush it");
        break;
    }
}
