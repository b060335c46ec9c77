// What the file shredder decides for each file, apart from its window: the pass labels of its
// status cell, the settings it reads, and the checks a file must pass before it is wiped.
#pragma once

#include "engine/WipeMethods.h"
#include "store/OptionsStore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Status texts of the "Result" column.
constexpr const char* kStatusAdded = " ";
constexpr const char* kStatusFileMissing = "File not exists";
constexpr const char* kStatusNotWritable = "This file could not be written.";
constexpr const char* kStatusNoDriveLetter = "Path has no drive letter";
// A symbolic link is never wiped through (its target may be any file), so it is not shredded.
constexpr const char* kStatusLink = "This file is a link; it was not shredded.";
constexpr const char* kStatusNeverErase = "This file is marked Never erase; it was not shredded.";
constexpr const char* kStatusStopped = "Stopped";
constexpr const char* kStatusCompleted = "Completed";

// "1st pass", "2nd pass", "3rd pass", "4th pass", ... "11th pass" to "13th pass", "21st pass", ...
std::string PassLabel(int pass);

// "Drive E: is read only" for a path on E:.
std::string ReadOnlyDriveStatus(const std::string& path);

struct ShredderSettings {
    std::string method;
    int32_t passes;
};
// "SecurityLevel" (default "DoD") and "RandomRepeatedTime" (default 3) of [Miscellaneous].
ShredderSettings ReadShredderSettings(const OptionsStore& options);

// Clears the file's attributes and checks, in this order, that it exists, that its path starts
// with a drive letter, that the drive can be written and that the file opens for writing.
// Returns the status that refuses the file, or nullopt when it may be wiped.
std::optional<std::string> ShredRefusal(const std::string& path);

// The line under the list while a file is wiped: "Pass 2 of 3: 45%" (the whole percent of the
// pass's bytes written).
std::string PassProgressText(const PassProgress& progress);

// What the list takes of paths given to the window (dropped from Explorer, or named on the command
// line): each file once, as a full path, in the order given; folders are not taken (the shredder
// shreds files, as its own "Select files" does) and only counted. A path that names nothing is
// taken: its row then says "File not exists".
struct ListedPaths {
    std::vector<std::string> files;
    int folders = 0;
};
ListedPaths PathsToList(const std::vector<std::string>& paths, const std::vector<std::string>& listed);

// The line that says folders were left out: "1 folder was not added: only files are shredded."
std::string FoldersNotAddedText(int folders);
