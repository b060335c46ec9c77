// The plug-in files the erase-items dialog lists: every "*.qv" entry of the plug-in folder, with
// its description and whether it is selected to run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct ListedPlugin {
    std::string name;        // the file name without its last three characters (".qv")
    std::string description; // [Information] Description, "" when missing
    bool selected = false;   // [Information] Selected, false when missing
};

// One entry per "*.qv" entry of the plug-in folder (ending in a backslash), folders with such
// names too, in the order the search returns them, names beginning with "." left out. Empty when
// the folder is missing.
std::vector<ListedPlugin> ListPluginFiles(std::string_view folder);

// Writes [Information] Selected ("1" or "0") into the plug-in file of that name in the folder.
// Raises OptionsWriteError when the file cannot be written.
void SavePluginSelection(std::string_view folder, std::string_view name, bool selected);
