// The four plug-in methods: registry keys and values deleted, folder matches and single files wiped.
#include "gate/ErasePlan.h"
#include "gate/GateActs.h"
#include "engine/Plugins.h"

#include "engine/FolderWipe.h"
#include "engine/RunState.h"
#include "gate/SafetyGate.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Text.h"

#include <shlobj.h>

#include <algorithm>
#include <vector>
#include <cstring>
#include <optional>

namespace {

struct RegistryEntry {
    HKEY root;
    std::string keyPath; // may be empty: the name is then directly below the root
    std::string name;
};

std::optional<RegistryEntry> SplitRegistryEntry(const std::string& entry) {
    size_t first = entry.find('\\');
    if (first == std::string::npos) {
        return std::nullopt;
    }
    size_t last = entry.rfind('\\');
    HKEY root = RegRootNamed(std::string_view(entry).substr(0, first));
    if (!root) {
        return std::nullopt;
    }
    std::string keyPath = first == last ? std::string() : entry.substr(first + 1, last - first - 1);
    return RegistryEntry{root, keyPath, entry.substr(last + 1)};
}

struct FileEntry {
    std::string folder; // placeholder expanded
    std::string last;   // file name or search pattern
};

FileEntry SplitFileEntry(const std::string& entry) {
    size_t last = entry.rfind('\\');
    if (last == std::string::npos) {
        return {std::string(), entry};
    }
    return {ExpandPluginPath(entry.substr(0, last)), entry.substr(last + 1)};
}

void ShowRunningLine(ProgressLog& log) {
    log.ReplaceLastLine(RunSummaryLine(ErasedRegistryCount, ErasedFileCount, ReleasedByteCount));
}

// An entry the safety gate refuses: its line in the plug-in's group, and nothing done.
bool Refused(const std::string& entry, const std::optional<std::string>& why, ProgressLog& log) {
    if (why) {
        LogRefusal(log, entry, *why, RunSummaryLine(ErasedRegistryCount, ErasedFileCount, ReleasedByteCount));
    }
    return why.has_value();
}

std::string SubKeyPath(const RegistryEntry& parts) {
    return parts.keyPath.empty() ? parts.name : parts.keyPath + "\\" + parts.name;
}

// Whether the entry's sub-key or value is there. One in a key that exists but cannot be read is
// listed as not erased, with the reason; one that is missing writes nothing.
bool RegistryEntryPresent(const RegistryEntry& parts, bool value, const std::string& what) {
    RegKey key = OpenRegKey(parts.root, parts.keyPath, KEY_READ);
    if (!key) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            NoteNotErased(what, OpenFailureReason(error));
        }
        return false;
    }
    return value ? RegValueExists(key.get(), parts.name) : RegSubKeyExists(key.get(), parts.name);
}

// A registry key or value counts once it is gone. One the user keeps (or that holds what the user
// keeps) is neither counted nor listed; one Windows would not delete is listed with the reason.
void CountRegistryDelete(bool deleted, const std::string& what, ProgressLog& log) {
    if (deleted) {
        ErasedRegistryCount += 1;
        ShowRunningLine(log);
    } else if (!IsNeverErased(what) && !HoldsNeverErasedKey(what)) {
        NoteNotErased(what, OpenFailureReason(GetLastError()));
    }
}

void DeleteRegistryKey(const std::string& entry, ProgressLog& log) {
    auto parts = SplitRegistryEntry(entry);
    // An entry ending in "\" names no sub-key: it never stands for its key path or a whole root.
    if (!parts || parts->name.empty()) {
        return;
    }
    const std::string subKey = SubKeyPath(*parts);
    const std::string what = RegistryPathText(parts->root, subKey);
    if (!RegistryEntryPresent(*parts, false, what) ||
        Refused(entry, RegistryRefusal(parts->root, subKey, std::nullopt), log)) {
        return;
    }
    CountRegistryDelete(GateDeleteRegTree(parts->root, subKey), what, log);
}

void DeleteRegistryValue(const std::string& entry, ProgressLog& log) {
    auto parts = SplitRegistryEntry(entry);
    if (!parts) {
        return;
    }
    const std::string what = RegistryPathText(parts->root, parts->keyPath, &parts->name);
    if (!RegistryEntryPresent(*parts, true, what) ||
        Refused(entry, RegistryRefusal(parts->root, parts->keyPath, parts->name), log)) {
        return;
    }
    CountRegistryDelete(GateDeleteRegValue(parts->root, parts->keyPath, parts->name), what, log);
}

// One file named literally. One that cannot be opened for reading and writing (read-only, locked)
// is skipped and not counted. The read-only attribute is tested as well, since an administrator's
// open for writing may succeed where a user's fails.
void WipeNamedFile(const std::string& entry, const std::string& method, int32_t passes, ProgressLog& log) {
    if (Refused(entry, WrittenEntryRefusal(entry), log)) {
        return;
    }
    FileEntry parts = SplitFileEntry(entry);
    if (Refused(entry, ExpandedEntryRefusal(entry, parts.folder), log)) {
        return;
    }
    std::string path = JoinPath(parts.folder, parts.last);
    // An entry that names nothing writes nothing; a device's name is always refused.
    if (GetAttributes(path) == INVALID_FILE_ATTRIBUTES && !IsDeviceName(parts.last)) {
        return;
    }
    if (Refused(entry, PathRefusal(path), log)) {
        return;
    }
    DWORD attributes = GetAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
        return;
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        NoteNotErased(path, "read-only");
        return;
    }
    std::optional<int64_t> size = SizeBeforeErasing(path);
    if (!size) {
        NoteNotErased(path, OpenFailureReason(path, GetLastError()));
        return;
    }
    if (EraseWalkedFile(path, method, passes)) {
        ErasedFileCount += 1;
        ReleasedByteCount += *size;
        ShowRunningLine(log);
    }
}

// Every match of the pattern in the folder: files wiped, sub-folders wiped and removed. The folder
// itself stays.
void WipeFolderMatches(const std::string& entry, const std::string& method, int32_t passes, ProgressLog& log) {
    if (Refused(entry, WrittenEntryRefusal(entry), log)) {
        return;
    }
    FileEntry parts = SplitFileEntry(entry);
    if (Refused(entry, ExpandedEntryRefusal(entry, parts.folder), log)) {
        return;
    }
    // An entry whose search finds nothing writes nothing; a device's name is always refused.
    const std::vector<FolderEntry> matches = ListFolder(JoinPath(parts.folder, parts.last));
    if (std::none_of(matches.begin(), matches.end(),
                     [](const FolderEntry& match) { return match.name.front() != '.'; }) &&
        !IsDeviceName(parts.last)) {
        return;
    }
    if (Refused(entry, PathRefusal(JoinPath(parts.folder, parts.last)), log)) {
        return;
    }
    // The folder an entry names may be a link (the profile's "Application Data" on Vista and later):
    // the gate has judged where it leads. What the search finds below it is never followed.
    DWORD attributes = GetAttributes(parts.folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return;
    }
    for (const auto& match : matches) {
        std::string path = JoinPath(parts.folder, match.name);
        if (match.name.front() == '.' || match.IsLink() || KeptByUser(path)) {
            continue; // a kept file or folder is passed by, as in every walk
        }
        // A wildcard may match a protected folder, Quorvale's own, or a kept one by another name.
        if (match.IsFolder()) {
            if (std::optional<std::string> why = WalkRefusal(path)) {
                if (why != kRefusalNeverErase) {
                    Refused(path, why, log);
                }
                continue;
            }
        }
        // Only what the gate lets pass loses its guarding attributes.
        if (!FindingPlan() && (match.IsFolder() || !TargetRefusal(path, match.attributes))) {
            ClearGuardingAttributes(path, match.attributes);
        }
        if (match.IsFolder()) {
            try {
                WipeFolderTree(path, method, passes, log);
            } catch (...) {
                // A sub-folder that cannot be walked is left; the next match goes on.
            }
            continue;
        }
        if (EraseWalkedFile(path, method, passes, match.attributes)) {
            ErasedFileCount += 1;
            ReleasedByteCount += match.size;
            ShowRunningLine(log);
        }
    }
}

} // namespace

std::vector<std::string> SplitPluginEntries(const std::string& entryList) {
    std::vector<std::string> entries;
    size_t start = 0;
    for (size_t semicolon = entryList.find(';'); semicolon != std::string::npos;
         semicolon = entryList.find(';', start)) {
        entries.push_back(entryList.substr(start, semicolon - start));
        start = semicolon + 1;
    }
    entries.push_back(entryList.substr(start));
    return entries;
}

void RunPluginMethod(const std::string& methodKey, const std::string& entryList, const std::string& method,
                     int32_t passes, ProgressLog& log) {
    for (const std::string& entry : SplitPluginEntries(entryList)) {
        if (entry.empty()) {
            continue; // names nothing (a list ending in ";")
        }
        if (EqualsNoCase(methodKey, kDelRegKey)) {
            DeleteRegistryKey(entry, log);
        } else if (EqualsNoCase(methodKey, kDelRegValue)) {
            DeleteRegistryValue(entry, log);
        } else if (EqualsNoCase(methodKey, kDelFolder)) {
            WipeFolderMatches(entry, method, passes, log);
        } else if (EqualsNoCase(methodKey, kDelFiles)) {
            WipeNamedFile(entry, method, passes, log);
        }
    }
}

std::string ExpandPluginPath(const std::string& folderPart) {
    struct Placeholder {
        const char* text;
        std::string folder;
    };
    const Placeholder placeholders[] = {
        {"%AppData%", FolderOfVariable("%AppData%")},           {"%LocalAppData%", LocalAppDataFolder()},
        {"%ProgramFiles%", FolderOfVariable("%ProgramFiles%")}, {"%Windows%", SpecialFolderPath(CSIDL_WINDOWS)},
        {"%UserProfile%", FolderOfVariable("%userprofile%")},
    };
    for (const auto& placeholder : placeholders) {
        size_t length = std::strlen(placeholder.text);
        if (folderPart.compare(0, length, placeholder.text) != 0) {
            continue;
        }
        // An empty folder would turn the rest into a path from the drive's root; the gate refuses
        // the placeholder left as written (ExpandedEntryRefusal).
        if (placeholder.folder.empty()) {
            return folderPart;
        }
        // The placeholder and the backslash meant to follow it.
        size_t removed = std::min(length + 1, folderPart.size());
        return WithTrailingBackslash(placeholder.folder) + folderPart.substr(removed);
    }
    return folderPart;
}
