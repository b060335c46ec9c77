#include "engine/EraseRun.h"

#include "engine/FolderWipe.h"
#include "engine/Plugins.h"
#include "engine/RunState.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "store/OptionNames.h"
#include "store/OptionsStore.h"

#include <algorithm>

bool RunInProgress = false;

std::vector<std::string> NotErasedLines(const std::vector<NotErasedEntry>& entries, size_t shown) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < entries.size() && i < shown; ++i) {
        lines.push_back(kNotErasedPrefix + entries[i].what + " (" + entries[i].why + ")");
    }
    if (entries.size() > shown) {
        lines.push_back("... and " + std::to_string(entries.size() - shown) + " more (" + kWholeListText + ")");
    }
    return lines;
}

std::string NotErasedBoxLine(size_t count) {
    return count == 1 ? "1 entry was not erased: the log lists it."
                      : std::to_string(count) + " entries were not erased: the log lists them.";
}

namespace {

void RunItem(const EraseItem& item, const EraseRunContext& context, const ItemFailure& onItemFailure) {
    BeginPlanGroup(item.startLine);
    context.log.AppendLine(item.startLine);
    if (item.placeholder) {
        context.log.AppendLine(item.placeholder);
    }
    context.failed = false;
    item.routine(context);
    if (context.failed && item.failureText) {
        if (onItemFailure) {
            onItemFailure(item.failureText);
        } else {
            NoteNotErased(item.startLine, item.failureText);
        }
    }
    if (item.finishedByRun) {
        context.log.ReplaceLastLine(FileResultLine());
    }
    if (!StopRequested) {
        context.log.AppendLine(std::string(item.startLine) + kCompletedSuffix);
    }
    context.log.AppendLine("");
    if (item.finishedByRun) {
        AddFileCountersToTotals();
    }
}

} // namespace

std::string RunItemText(int number, int count, std::string_view startLine) {
    constexpr std::string_view kEllipsis = " ...";
    if (startLine.size() >= kEllipsis.size() && startLine.substr(startLine.size() - kEllipsis.size()) == kEllipsis) {
        startLine.remove_suffix(kEllipsis.size());
    }
    return "Item " + std::to_string(number) + " of " + std::to_string(count) + ": " + std::string(startLine);
}

EraseRunEnd RunEraseSteps(ProgressLog& log, const std::string& optionsPath, const ItemFailure& onItemFailure,
                          const RunChoice* chosen, size_t notErasedShown, const ItemStart& onItemStart) {
    ResetItemCounters();
    NotErasedEntries.clear();
    TotalErasedFileCount = 0;
    TotalReleasedByteCount = 0;
    TotalErasedRegistryCount = 0;

    OptionsStore options(optionsPath);
    TakeNeverEraseList(optionsPath);
    EraseRunContext context{options.GetText(kSectionMiscellaneous, kKeySecurityLevel, kDefaultSecurityLevel),
                            options.GetNumber(kSectionMiscellaneous, kKeyRandomRepeatedTime, kDefaultRunPasses),
                            optionsPath, log};
    std::vector<bool> runs;
    for (const EraseItem& item : kEraseItems) {
        runs.push_back(chosen ? chosen->item(item) : options.GetFlag(item.section, item.key, item.enabledByDefault));
    }
    const bool withPlugins = FolderExists(PluginFolder());
    const int steps = static_cast<int>(std::count(runs.begin(), runs.end(), true)) + (withPlugins ? 1 : 0);
    int step = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        if (runs[i] && !StopRequested) {
            if (onItemStart) {
                onItemStart(++step, steps, kEraseItems[i].startLine);
            }
            RunItem(kEraseItems[i], context, onItemFailure);
        }
        ProcessMessages();
    }

    if (!StopRequested) {
        if (onItemStart && withPlugins) {
            onItemStart(++step, steps, kPluginStepLine);
        }
        ErasePlugins(context.method, context.passes, log, chosen && chosen->plugin ? &chosen->plugin : nullptr);
    }

    if (StopRequested) {
        log.AppendLine(kStoppedByUserLine);
        // A run stopped during its first file item still reports what that item erased.
        if (TotalErasedFileCount != 0) {
            log.AppendLine(RunSummaryLine(TotalErasedRegistryCount, TotalErasedFileCount, TotalReleasedByteCount));
        } else {
            log.AppendLine(RunSummaryLine(ErasedRegistryCount, ErasedFileCount, ReleasedByteCount));
        }
        return {true, kStoppedBoxText};
    }
    std::string summary = RunSummaryLine(TotalErasedRegistryCount, TotalErasedFileCount, TotalReleasedByteCount);
    log.AppendLine(kAllTasksFinishedLine);
    log.AppendLine(summary);
    // What is left follows the run's own closing lines.
    for (const std::string& line : NotErasedLines(NotErasedEntries, notErasedShown)) {
        log.AppendLine(line);
    }
    if (NotErasedEntries.empty()) {
        return {false, summary};
    }
    return {false, summary + "\r\n" + NotErasedBoxLine(NotErasedEntries.size())};
}

ErasePreview FindErasePreview(const std::string& optionsPath, const RunChoice* chosen, ProgressLog& log) {
    ErasePreview preview;
    if (RunInProgress) {
        preview.stopped = true; // a run, or another preview, is under way
        return preview;
    }
    // Blocks every trigger of a run while finding; Stop (closing the preview) ends the finding and
    // is not left for the next run.
    struct Finding {
        Finding() {
            RunInProgress = true;
            StopRequested = false;
            BeginFindingPlan();
        }
        ~Finding() {
            EndFindingPlan();
            StopRequested = false;
            RunInProgress = false;
        }
    } finding;
    EraseRunEnd end = RunEraseSteps(log, optionsPath, {}, chosen);
    preview.stopped = end.stopped;
    preview.groups = EndFindingPlan();
    preview.summary = RunSummaryLine(TotalErasedRegistryCount, TotalErasedFileCount, TotalReleasedByteCount);
    return preview;
}

namespace {

std::string Counted(int64_t count, const char* singular, const char* plural) {
    return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

} // namespace

std::string PlanGroupCounts(const PlanGroup& group) {
    int64_t files = 0, bytes = 0, folders = 0, registry = 0, rows = 0, actions = 0, notErased = 0, kept = 0;
    for (const PlanEntry& entry : group.entries) {
        switch (entry.kind) {
        case PlanEntry::File:
        case PlanEntry::CacheEntry:
            ++files;
            bytes += entry.size;
            break;
        case PlanEntry::Folder:
            ++folders;
            break;
        case PlanEntry::RegistryValue:
        case PlanEntry::RegistryKey:
            ++registry;
            break;
        case PlanEntry::DatabaseRows:
            rows += entry.size;
            break;
        case PlanEntry::Action:
            ++actions;
            bytes += entry.size;
            break;
        case PlanEntry::NotErasable:
            ++notErased;
            break;
        case PlanEntry::Kept:
            ++kept;
            break;
        }
    }
    std::vector<std::string> parts;
    if (files || bytes) {
        parts.push_back(Counted(files, "file", "files") + ", " + FormatByteSize(bytes));
    }
    if (folders) {
        parts.push_back(Counted(folders, "folder", "folders"));
    }
    if (registry) {
        parts.push_back(Counted(registry, "registry entry", "registry entries"));
    }
    if (rows) {
        parts.push_back(Counted(rows, "database row", "database rows"));
    }
    if (actions) {
        parts.push_back(Counted(actions, "action", "actions"));
    }
    if (notErased) {
        parts.push_back(std::to_string(notErased) + " not erased now");
    }
    if (kept) {
        parts.push_back(std::to_string(kept) + " kept");
    }
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : "; ") + part;
    }
    return text.empty() ? kNothingToEraseText : text;
}

std::string PlanEntryDetail(const PlanEntry& entry) {
    switch (entry.kind) {
    case PlanEntry::Folder:
        return "folder";
    case PlanEntry::RegistryKey:
        return "registry key";
    case PlanEntry::DatabaseRows:
        return Counted(entry.size, "row", "rows");
    case PlanEntry::NotErasable:
        return "(" + entry.why + ")";
    case PlanEntry::Kept:
        return kKeptDetail;
    case PlanEntry::Action:
        return entry.size ? FormatByteSize(entry.size) : std::string();
    default:
        return FormatByteSize(entry.size);
    }
}

std::string PreviewText(const ErasePreview& preview) {
    std::string text;
    for (const PlanGroup& group : preview.groups) {
        text += group.title + "\r\n";
        for (const PlanEntry& entry : group.entries) {
            const char* prefix = entry.kind == PlanEntry::NotErasable ? kNotErasedPrefix : "";
            const std::string detail = PlanEntryDetail(entry);
            text += "  " + std::string(prefix) + entry.what + (detail.empty() ? "" : "\t" + detail) + "\r\n";
        }
        text += "  " + PlanGroupCounts(group) + "\r\n\r\n";
    }
    return text + kPreviewTotalsText + "\r\n" + preview.summary + "\r\n";
}
