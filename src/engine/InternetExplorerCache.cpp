// Temporary Internet files and cookies: the URL cache walk, and the zero pass their files get.
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

// Counts the entry, zeroes its file and removes it from the cache. An entry whose file cannot be
// opened is still removed and counted.
void EraseCacheEntry(const UrlCacheEntry& entry, ProgressLog& log) {
    if (IsNeverErased(entry.localFile)) {
        return; // its file is kept by the user, and the entry with it
    }
    ReleasedByteCount += entry.size;
    ErasedFileCount += 1;
    ZeroAndTruncateFile(entry.localFile);
    GateDeleteCacheEntry(entry);
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
    if (StopRequested) {
        return;
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
