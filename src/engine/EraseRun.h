// The erase run: the erase items in their fixed order, then the plug-ins, then the closing lines.
// The main window clears its log, runs the steps here and shows the box the run ends with.
#pragma once

#include "engine/EraseItems.h"
#include "engine/Plugins.h"
#include "engine/ProgressLog.h"
#include "engine/RunState.h"
#include "gate/ErasePlan.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

constexpr const char* kStoppedByUserLine = "The erasing procedure is stopped by the user";
constexpr const char* kStoppedBoxText = "The erasing procedure stops.";
constexpr const char* kAllTasksFinishedLine = "All tasks finished successfully.";

// The account of what the run could not erase, written after the last item and before
// kAllTasksFinishedLine: "Not erased: <what> (<why>)" for the first `shown` entries, then, when
// some were left out, "... and N more" and where the whole list is written (kWholeListText).
// The window's log shows the first kNotErasedLinesShown; a run whose log goes to a file writes
// them all (kAllNotErasedLines).
constexpr size_t kNotErasedLinesShown = 20;
constexpr size_t kAllNotErasedLines = static_cast<size_t>(-1);
constexpr const char* kWholeListText = "Quorvale.exe /erase <log file> writes the whole list";
std::vector<std::string> NotErasedLines(const std::vector<NotErasedEntry>& entries,
                                        size_t shown = kNotErasedLinesShown);
// The line the run's closing box adds under the summary when anything was not erased (or was
// refused): "N entries were not erased: the log lists them."
std::string NotErasedBoxLine(size_t count);

// True from the start of an erase run until its summary line is written; the run's closing box
// comes after. A run never starts while another is under way: every trigger tests this first.
extern bool RunInProgress;

struct EraseRunEnd {
    bool stopped = false;
    // kStoppedBoxText, or the summary line, followed by NotErasedBoxLine on a line of its own when
    // anything was not erased.
    std::string boxText;
};

// The run after its log was cleared: sets the six counters to 0, reads the wipe method and pass
// count, runs every enabled row (start line, placeholder, routine, completion line unless stopped,
// empty line; window messages run after every row, enabled or not), runs the plug-ins unless
// stopped, and writes the closing lines. Says how the run ended; the caller shows the box.
// onItemFailure: hears of an item that could not do its work, with its row's failureText, as soon as
// the item has ended (the main window shows it in an error box); a run given none (the /erase
// switch, the preview) lists the failure among what was not erased instead.
// chosen: which rows and plug-ins run; nullptr for those ticked in Options.ini and the plug-in files.
// notErasedShown: how many entries of the account the log lists (NotErasedLines).
using ItemFailure = std::function<void(std::string_view failureText)>;
struct RunChoice {
    std::function<bool(const EraseItem&)> item;
    PluginChoice plugin; // may be empty: the plug-ins selected in their files
};
// onItemStart: hears of each step as it starts (the enabled rows, then the plug-in step when the
// plug-in folder is there), with its number from 1, the number of steps and its start line; the main
// window shows where the run is.
using ItemStart = std::function<void(int number, int count, std::string_view startLine)>;
EraseRunEnd RunEraseSteps(ProgressLog& log, const std::string& optionsPath, const ItemFailure& onItemFailure = {},
                          const RunChoice* chosen = nullptr, size_t notErasedShown = kNotErasedLinesShown,
                          const ItemStart& onItemStart = {});

// "Item 3 of 61: Erasing Temptory Files Directory" for a step's start line (its closing " ..."
// left out).
std::string RunItemText(int number, int count, std::string_view startLine);

// What an erase run would remove now, found by the run's own steps with every act of the safety
// gate recorded instead of done: nothing is changed. One group per row and plug-in, in run order.
struct ErasePreview {
    std::vector<PlanGroup> groups;
    std::string summary; // the summary line the run would end with
    bool stopped = false;
};
ErasePreview FindErasePreview(const std::string& optionsPath, const RunChoice* chosen, ProgressLog& log);

// What a group holds, in a few words: "3 files, 12.00 KB; 2 registry entries" and so on, or
// kNothingToEraseText.
constexpr const char* kNothingToEraseText = "Nothing to erase";
std::string PlanGroupCounts(const PlanGroup& group);
// The detail of an entry beside its path: its size, "12 rows", "folder", "registry key", or for one
// that cannot be erased now "Not erased: (<why>)".
std::string PlanEntryDetail(const PlanEntry& entry);
// Each entry as kNotErasedPrefix + what + " (" + why + ")" when it cannot be erased now.
constexpr const char* kNotErasedPrefix = "Not erased: ";
// The detail of an entry the user marked "Never erase".
constexpr const char* kKeptDetail = "kept (marked Never erase)";
constexpr const char* kPreviewTotalsText = "An erase now would end with:";
// The preview as text: each group's title, its entries ("  <what>", then a tab and the detail
// where there is one), its counts, an empty line; then kPreviewTotalsText and the summary line.
std::string PreviewText(const ErasePreview& preview);
