// Plug-ins: INI-format files in the "Plug-ins\" folder beside the program, each naming registry
// keys and values to delete and folder contents and files to wipe. The erase run ends with the
// selected ones; the erase-items dialog lists and selects the "*.qv" files among them.
#pragma once

#include "engine/ProgressLog.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

constexpr const char* kPluginFolderName = "Plug-ins\\";
constexpr const char* kPluginExtension = ".qv";

// Sections and keys of a plug-in file.
constexpr const char* kPluginInformationSection = "Information";
constexpr const char* kPluginDescriptionKey = "Description";
constexpr const char* kPluginSelectedKey = "Selected";
constexpr const char* kPluginMethodSection = "Method";
constexpr const char* kDelRegKey = "DelRegKey";
constexpr const char* kDelRegValue = "DelRegValue";
constexpr const char* kDelFolder = "DelFolder";
constexpr const char* kDelFiles = "DelFiles";

// The lines of the plug-in step around the plug-ins' own lines.
constexpr const char* kPluginStepLine = "Erasing Plug-ins Information ...";
constexpr const char* kPluginStepCompletedLine = "Erasing Plug-ins Information ... Completed";
// The running line of a plug-in before it has erased anything.
constexpr const char* kPluginStartLine = "0 file was erased, 0 regitry entry was erased.";

// The plug-in folder beside the program, ending in a backslash.
std::string PluginFolder();

// By a plug-in's file name in the folder: whether it runs, or std::nullopt to leave that to its
// "Selected".
using PluginChoice = std::function<std::optional<bool>(const std::string& fileName)>;

// The plug-in step of the erase run, over PluginFolder().
void ErasePlugins(const std::string& method, int32_t passes, ProgressLog& log, const PluginChoice* chosen = nullptr);

// Runs every entry of the folder (ending in a backslash) whose "Selected" is true, in the order the
// folder search gives, whatever its name: description line, running line (RunSummaryLine of the
// plug-in's counters), completion line, empty line, and the counters added to the run totals.
// Without the folder nothing is written. Window messages run before each entry; StopRequested is
// tested before each plug-in and each method, and leaves out the completion lines.
// chosen, when given, may say otherwise for each entry.
void ErasePluginsIn(const std::string& folder, const std::string& method, int32_t passes, ProgressLog& log,
                    const PluginChoice* chosen = nullptr);

// The entries of a method's list: cut at every ";", nothing trimmed, the text after the last ";"
// (or the whole list) last.
std::vector<std::string> SplitPluginEntries(const std::string& entryList);

// Applies the method named by methodKey (kDelRegKey, kDelRegValue, kDelFolder, kDelFiles) to each
// entry of the list in order. Registry entries are "ROOT\key path\name" with one of the five
// predefined roots (any case); file entries are "folder\name", the folder possibly starting with a
// placeholder (ExpandPluginPath). Counts go into the item counters, each followed by the running
// line; whatever cannot be found, opened or deleted is skipped silently, and what the safety gate
// refuses gets its line with the reason. A link (junction or
// symbolic link) is never wiped through, and a file with other hard links is only unlinked.
void RunPluginMethod(const std::string& methodKey, const std::string& entryList, const std::string& method,
                     int32_t passes, ProgressLog& log);

// Replaces one leading "%AppData%", "%LocalAppData%", "%ProgramFiles%", "%Windows%" or
// "%UserProfile%" (exact case) and the character after it by that folder with a trailing backslash.
// A folder Windows does not know (a variable not set, or set to nothing) leaves the placeholder as
// written, and the safety gate refuses the entry (ExpandedEntryRefusal), as it does one whose folder
// is not a full path.
std::string ExpandPluginPath(const std::string& folderPart);
