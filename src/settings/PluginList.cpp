#include "settings/PluginList.h"

#include "platform/Files.h"
#include "settings/OptionsStore.h"

namespace {

constexpr const char* kSectionInformation = "Information";
constexpr const char* kKeyDescription = "Description";
constexpr const char* kKeySelected = "Selected";
constexpr const char* kPluginExtension = ".qv";

} // namespace

std::string PluginListFolder(std::string_view programFolder) {
    std::string folder(programFolder);
    if (folder.empty() || folder.back() != '\\') {
        folder += '\\';
    }
    return folder + "Plug-ins\\";
}

std::vector<ListedPlugin> ListPluginFiles(std::string_view programFolder) {
    std::vector<ListedPlugin> plugins;
    const std::string folder = PluginListFolder(programFolder);
    for (const FolderEntry& entry : ListFolder(folder + "*" + kPluginExtension)) {
        if (entry.name.empty() || entry.name.front() == '.') {
            continue;
        }
        OptionsStore file(folder + entry.name);
        ListedPlugin plugin;
        plugin.name = entry.name.size() > 3 ? entry.name.substr(0, entry.name.size() - 3) : std::string();
        plugin.description = file.GetText(kSectionInformation, kKeyDescription, "");
        plugin.selected = file.GetFlag(kSectionInformation, kKeySelected, false);
        plugins.push_back(std::move(plugin));
    }
    return plugins;
}

void SavePluginSelection(std::string_view programFolder, std::string_view name, bool selected) {
    OptionsStore file(PluginListFolder(programFolder) + std::string(name) + kPluginExtension);
    file.PutFlag(kSectionInformation, kKeySelected, selected);
}
