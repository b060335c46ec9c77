// The plug-in files the erase-items dialog lists: every "*.qv" entry of the "Plug-ins" folder
// beside the executable, with its description and whether it is selected to run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct ListedPlugin {
    std::string name;        // the file name without its last three characters (".qv")
    std::string description; // [Information] Description, "" when missing
    bool selected = false;   // [Information] Selected, false when missing
};

// The "Plug-ins\" folder below the program's folder (which ends in a backslash).
std::string PluginListFolder(std::string_view programFolder);

// One entry per "*.qv" entry of the folder (folders with such names too), in the order the search
// returns them, names beginning with "." left out. Empty when the folder is missing.
std::vector<ListedPlugin> ListPluginFiles(std::string_view programFolder);

// Writes [Information] Selected ("1" or "0") into the plug-in file of that name. Raises
// OptionsWriteError when the file cannot be written.
void SavePluginSelection(std::string_view programFolder, std::string_view name, bool selected);
