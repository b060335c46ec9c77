#include "app/EraseRun.h"

#include "engine/FolderWipe.h"
#include "engine/Plugins.h"
#include "engine/RunState.h"
#include "platform/Messages.h"
#include "store/OptionNames.h"
#include "store/OptionsStore.h"

bool RunInProgress = false;

std::vector<std::string> NotErasedLines(const std::vector<NotErasedEntry>& entries) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < entries.size() && i < kNotErasedLinesShown; ++i) {
        lines.push_back("Not erased: " + entries[i].what + " (" + entries[i].why + ")");
    }
    if (entries.size() > kNotErasedLinesShown) {
        lines.push_back("... and " + std::to_string(entries.size() - kNotErasedLinesShown) + " more");
    }
    return lines;
}

namespace {

void RunItem(const EraseItem& item, const EraseRunContext& context, HWND owner, bool boxes) {
    context.log.AppendLine(item.startLine);
    if (item.placeholder) {
        context.log.AppendLine(item.placeholder);
    }
    context.failed = false;
    item.routine(context);
    if (context.failed && item.failureText) {
        if (boxes) {
            ShowMessageBox(owner, item.failureText, kItemFailedCaption, MB_OK | MB_ICONERROR);
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

EraseRunEnd RunEraseSteps(ProgressLog& log, const std::string& optionsPath, HWND owner, bool boxes) {
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
    for (const EraseItem& item : kEraseItems) {
        if (options.GetFlag(item.section, item.key, item.enabledByDefault) && !StopRequested) {
            RunItem(item, context, owner, boxes);
        }
        ProcessMessages();
    }

    if (!StopRequested) {
        ErasePlugins(context.method, context.passes, log);
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
    for (const std::string& line : NotErasedLines(NotErasedEntries)) {
        log.AppendLine(line);
    }
    log.AppendLine(kAllTasksFinishedLine);
    log.AppendLine(summary);
    return {false, summary};
}
