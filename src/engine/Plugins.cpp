// The plug-in step of the erase run: every selected plug-in file of the folder, in turn.
#include "engine/Plugins.h"

#include "engine/FolderWipe.h"
#include "engine/RunState.h"
#include "gate/ErasePlan.h"
#include "platform/Messages.h"
#include "platform/Files.h"
#include "store/IniDocument.h"
#include "store/OptionsStore.h"

namespace {

// Always in this order, whatever the order in the file.
constexpr const char* kPluginMethods[] = {kDelRegKey, kDelRegValue, kDelFolder, kDelFiles};

size_t CharacterCount(const std::string& text) {
    size_t count = 0;
    for (char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

// A method value is read up to the store's cap. When it reaches the cap, the entry the cut may
// have fallen into is dropped: the rest of a cut name or pattern ("C:\Data\*.tmp" cut to
// "C:\Data\*") could name other files than the plug-in meant.
std::string WholeEntries(const std::string& entryList) {
    if (CharacterCount(entryList) < IniDocument::kMaxValueChars) {
        return entryList;
    }
    size_t semicolon = entryList.rfind(';');
    return semicolon == std::string::npos ? std::string() : entryList.substr(0, semicolon + 1);
}

void RunPlugin(const OptionsStore& plugin, const std::string& method, int32_t passes, ProgressLog& log) {
    ResetItemCounters();
    const std::string description = plugin.GetText(kPluginInformationSection, kPluginDescriptionKey, "");
    BeginPlanGroup(description + " ...");
    log.AppendLine(description + " ...");
    log.AppendLine(kPluginStartLine);
    for (const char* methodKey : kPluginMethods) {
        if (plugin.HasKey(kPluginMethodSection, methodKey) && !StopRequested) {
            std::string entryList = WholeEntries(plugin.GetText(kPluginMethodSection, methodKey, ""));
            RunPluginMethod(methodKey, entryList, method, passes, log);
        }
    }
    log.ReplaceLastLine(RunSummaryLine(ErasedRegistryCount, ErasedFileCount, ReleasedByteCount));
    if (!StopRequested) {
        log.AppendLine(description + " ... Completed");
    }
    log.AppendLine("");
    AddItemCountersToTotals();
}

} // namespace

std::string PluginFolder() { return ExecutableDir() + kPluginFolderName; }

void ErasePlugins(const std::string& method, int32_t passes, ProgressLog& log, const PluginChoice* chosen) {
    ErasePluginsIn(PluginFolder(), method, passes, log, chosen);
}

void ErasePluginsIn(const std::string& folder, const std::string& method, int32_t passes, ProgressLog& log,
                    const PluginChoice* chosen) {
    bool searched = false;
    const std::vector<FolderEntry> entries = ListFolder(folder + "*.*", searched);
    if (!searched) {
        return;
    }
    log.AppendLine(kPluginStepLine);
    log.AppendLine("");
    for (const auto& entry : entries) {
        ProcessMessages();
        if (entry.name.front() == '.') {
            continue;
        }
        // A sub-folder or a file that cannot be read has no "Selected" and is passed over.
        OptionsStore plugin(folder + entry.name);
        const std::optional<bool> choice = chosen ? (*chosen)(entry.name) : std::nullopt;
        if (!choice.value_or(plugin.GetFlag(kPluginInformationSection, kPluginSelectedKey, false)) || StopRequested) {
            continue;
        }
        RunPlugin(plugin, method, passes, log);
    }
    if (!StopRequested) {
        log.AppendLine(kPluginStepCompletedLine);
    }
    log.AppendLine("");
}
