// The index.dat databases of the Internet cache and the history: zeroed in place.
#include "gate/ErasePlan.h"
#include "gate/GateActs.h"
#include "engine/InternetExplorer.h"

#include "engine/FolderWipe.h"
#include "engine/RunState.h"
#include "engine/SystemInfo.h"
#include "platform/Files.h"
#include "platform/FileContent.h"
#include "platform/Shell.h"

#include <shlobj.h>

namespace {

// While finding: the index.dat that WipeIndexDatIn would zero, counted as it counts it.
bool FindIndexDat(const std::string& path, GatedFile& file, ProgressLog& log) {
    FileHandle reading = OpenForReading(path);
    const std::optional<uint8_t> first = reading ? ReadFirstByte(reading.get()) : std::nullopt;
    if (!first || *first == 0 || !file.Find()) {
        return false;
    }
    ReleasedByteCount += FileLength(reading.get());
    ErasedFileCount += 1;
    log.ReplaceLastLine(FileResultLine());
    return true;
}

// Zeroes folder\index.dat. Returns false when the walk of this folder ends here: the file is
// already clean (first byte 0) or cannot be opened, read or overwritten.
bool WipeIndexDatIn(const std::string& folder, ProgressLog& log) {
    const std::string path = folder + "index.dat";
    if (!FileExists(path)) {
        return true;
    }
    GatedFile file(path);
    if (FindingPlan()) {
        return FindIndexDat(path, file, log);
    }
    HANDLE handle = file.Open();
    if (!handle) {
        return false;
    }
    const std::optional<uint8_t> first = ReadFirstByte(handle);
    const int64_t length = FileLength(handle);
    if (!first || *first == 0 || length < 0) {
        return false;
    }
    ReleasedByteCount += length;
    if (!OverwriteWithZeros(handle, length)) {
        return false;
    }
    file.Close();
    ErasedFileCount += 1;
    log.ReplaceLastLine(FileResultLine());
    return true;
}

} // namespace

std::vector<std::string> IndexDatFolders(const std::string& osFamily, const std::string& cacheFolder,
                                         const std::string& historyFolder) {
    std::vector<std::string> folders;
    // An unknown special folder would otherwise become "\", the root of the current drive.
    auto add = [&folders](const std::string& folder, const char* subFolder) {
        if (!folder.empty()) {
            folders.push_back(WithTrailingBackslash(folder) + subFolder);
        }
    };
    if (osFamily == "NewWinNT") {
        add(cacheFolder, "Content.IE5");
        add(historyFolder, "History.IE5");
    } else if (osFamily == "Win9x") {
        add(cacheFolder, "");
        add(historyFolder, "");
    }
    return folders;
}

void WipeIndexDatTree(const std::string& folder, ProgressLog& log) {
    try {
        const std::string dir = WithTrailingBackslash(folder);
        if (!WipeIndexDatIn(dir, log)) {
            return;
        }
        for (const FolderEntry& entry : ListFolder(dir + "*.*")) {
            // Links are never followed: one pointing back up the tree would never end.
            if (entry.IsFolder() && !entry.IsLink() && entry.name.front() != '.') {
                WipeIndexDatTree(dir + entry.name, log);
            }
        }
    } catch (...) {
        // A failure ends the walk of this folder and its sub-folders only.
    }
}

void EraseIEIndexDat(ProgressLog& log) {
    ResetFileCounters();
    const std::vector<std::string> folders =
        IndexDatFolders(GetOSFamily(), SpecialFolderPath(CSIDL_INTERNET_CACHE), SpecialFolderPath(CSIDL_HISTORY));
    for (const std::string& folder : folders) {
        WipeIndexDatTree(folder, log);
    }
    AddFileCountersToTotals();
}
