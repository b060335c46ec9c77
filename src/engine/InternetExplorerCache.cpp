// Temporary Internet files and cookies: the URL cache walk, and the zero pass their files get.
#include "gate/ErasePlan.h"
#include "gate/GateActs.h"
#include "gate/SafetyGate.h"
#include "engine/InternetExplorer.h"

#include "engine/FolderWipe.h"
#include "engine/RunState.h"
#include "platform/Messages.h"
#include "platform/Files.h"
#include "platform/FileContent.h"
#include "platform/UrlCache.h"
#include "store/OptionNames.h"
#include "store/OptionTexts.h"

#include <algorithm>

namespace {

// Zeroes the entry's file, removes the entry from the cache, and counts it once it is gone. An entry
// whose file cannot be opened is still removed and counted; one the cache will not let go (a
// program holds it) is listed as not erased; one that went meanwhile is neither.
void EraseCacheEntry(const UrlCacheEntry& entry, ProgressLog& log) {
    if (KeptByUser(entry.localFile)) {
        return; // its file is kept by the user, and the entry with it
    }
    ZeroAndTruncateFile(entry.localFile);
    if (!GateDeleteCacheEntry(entry)) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) {
            // WinINet refuses a locked entry with "access denied": it is in use.
            NoteNotErased(
                entry.sourceUrl,
                OpenFailureReason(entry.localFile, error == ERROR_ACCESS_DENIED ? ERROR_SHARING_VIOLATION : error));
        }
        return;
    }
    ReleasedByteCount += entry.size;
    ErasedFileCount += 1;
    log.ReplaceLastLine(FileResultLine());
}

void BeginFileItem(ProgressLog& log) {
    ResetFileCounters();
    log.AppendLine(kPlaceholderLine);
}

bool IsKept(const std::vector<std::string>& keepList, const UrlCacheEntry& cookie) {
    const std::string name = NameOf(cookie.localFile);
    return std::find(keepList.begin(), keepList.end(), name) != keepList.end();
}

} // namespace

void ZeroAndTruncateFile(const std::string& path) {
    ProcessMessages();
    if (StopRequested || FindingPlan()) {
        return; // a preview only lists the file, with its entry
    }
    try {
        if (!FileExists(path)) {
            return;
        }
        GatedFile file(path);
        HANDLE handle = file.Open();
        const int64_t length = handle ? FileLength(handle) : -1;
        if (length < 0 || !OverwriteWithZeros(handle, length)) {
            return;
        }
        ProcessMessages();
        if (StopRequested) {
            return;
        }
        file.Truncate();
    } catch (...) {
        // A file that cannot be zeroed or truncated is left as the failure left it.
    }
}

void EraseIECache(ProgressLog& log) {
    BeginFileItem(log);
    try {
        UrlCacheWalkEnd end = WalkUrlCache([&log](const UrlCacheEntry& entry) {
            if (!entry.IsCookie()) {
                EraseCacheEntry(entry, log);
            }
            ProcessMessages();
            return !StopRequested;
        });
        if (end != UrlCacheWalkEnd::Stopped) {
            AddFileCountersToTotals();
        }
    } catch (...) {
        // The item ends where the walk failed; what was erased stays counted on the log line.
    }
}

void EraseIECookies(const std::string& optionsPath, ProgressLog& log) {
    const std::vector<std::string> keepList = ReadKeepList(OptionsStore(optionsPath), kSectionIECookies);
    BeginFileItem(log);
    try {
        WalkUrlCache([&](const UrlCacheEntry& entry) {
            if (entry.IsCookie() && !IsKept(keepList, entry)) {
                EraseCacheEntry(entry, log);
            }
            return true;
        });
        AddFileCountersToTotals();
    } catch (...) {
        // As for the cache item.
    }
}
