#include "tools/ShredderRules.h"

#include "gate/SafetyGate.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "platform/Volumes.h"
#include "store/OptionNames.h"

#include <algorithm>

namespace {

bool StartsWithDriveLetter(const std::string& path) {
    if (path.size() < 2 || path[1] != ':') {
        return false;
    }
    char c = path[0];
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

std::string PassLabel(int pass) {
    const char* ending = "th";
    int lastTwo = pass % 100;
    if (lastTwo < 11 || lastTwo > 13) {
        switch (pass % 10) {
        case 1:
            ending = "st";
            break;
        case 2:
            ending = "nd";
            break;
        case 3:
            ending = "rd";
            break;
        default:
            break;
        }
    }
    return std::to_string(pass) + ending + " pass";
}

std::string ReadOnlyDriveStatus(const std::string& path) { return "Drive " + path.substr(0, 2) + " is read only"; }

ShredderSettings ReadShredderSettings(const OptionsStore& options) {
    return {options.GetText(kSectionMiscellaneous, kKeySecurityLevel, kDefaultSecurityLevel),
            options.GetNumber(kSectionMiscellaneous, kKeyRandomRepeatedTime, kDefaultShredderPasses)};
}

std::optional<std::string> ShredRefusal(const std::string& path) {
    DWORD attributes = GetAttributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return kStatusLink; // checked first: clearing its attributes would change the target's
    }
    if (IsNeverErased(path)) {
        return kStatusNeverErase;
    }
    if (!FileExists(path)) {
        return kStatusFileMissing; // a folder is no file to shred: its attributes stay as they are
    }
    // Only a file the gate lets pass loses its guarding attributes.
    if (!TargetRefusal(path, attributes)) {
        SetAttributes(path, 0);
    }
    bool writable = FileOpensForWriting(path);
    if (!StartsWithDriveLetter(path)) {
        return kStatusNoDriveLetter;
    }
    if (IsDriveReadOnly(path[0])) {
        return ReadOnlyDriveStatus(path);
    }
    if (!writable) {
        return kStatusNotWritable;
    }
    return std::nullopt;
}

std::string PassProgressText(const PassProgress& progress) {
    const int64_t percent = progress.length > 0 ? progress.done * 100 / progress.length : 100;
    return "Pass " + std::to_string(progress.pass) + " of " + std::to_string(progress.passCount) + ": " +
           std::to_string(percent) + "%";
}

ListedPaths PathsToList(const std::vector<std::string>& paths, const std::vector<std::string>& listed) {
    ListedPaths taken;
    auto holds = [](const std::vector<std::string>& list, const std::string& path) {
        return std::any_of(list.begin(), list.end(),
                           [&](const std::string& other) { return EqualsNoCase(other, path); });
    };
    for (const std::string& given : paths) {
        const std::string path = FullPathOf(given);
        if (FolderExists(path)) {
            ++taken.folders;
        } else if (!holds(listed, path) && !holds(taken.files, path)) {
            taken.files.push_back(path);
        }
    }
    return taken;
}

std::string FoldersNotAddedText(int folders) {
    return (folders == 1 ? std::string("1 folder was") : std::to_string(folders) + " folders were") +
           " not added: only files are shredded.";
}
