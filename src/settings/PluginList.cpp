#include "settings/PluginList.h"

#include "engine/Plugins.h"
#include "platform/Files.h"
#include "store/OptionsStore.h"

std::vector<ListedPlugin> ListPluginFiles(std::string_view folder) {
    std::vector<ListedPlugin> plugins;
    const std::string prefix(folder);
    for (const FolderEntry& entry : ListFolder(prefix + "*" + kPluginExtension)) {
        if (entry.name.empty() || entry.name.front() == '.') {
            continue;
        }
        OptionsStore file(prefix + entry.name);
        ListedPlugin plugin;
        plugin.name = entry.name.size() > 3 ? entry.name.substr(0, entry.name.size() - 3) : std::string();
        plugin.description = file.GetText(kPluginInformationSection, kPluginDescriptionKey, "");
        plugin.selected = file.GetFlag(kPluginInformationSection, kPluginSelectedKey, false);
        plugins.push_back(std::move(plugin));
    }
    return plugins;
}

void SavePluginSelection(std::string_view folder, std::string_view name, bool selected) {
    OptionsStore file(std::string(folder) + std::string(name) + kPluginExtension);
    file.PutFlag(kPluginInformationSection, kPluginSelectedKey, selected);
}
