// The erase run: the erase items in their fixed order, then the plug-ins, then the closing lines.
// The main window clears its log, runs the steps here and shows the box the run ends with.
#pragma once

#include "engine/EraseItems.h"
#include "engine/ProgressLog.h"
#include "engine/RunState.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

constexpr const char* kStoppedByUserLine = "The erasing procedure is stopped by the user";
constexpr const char* kStoppedBoxText = "The erasing procedure stops.";
constexpr const char* kAllTasksFinishedLine = "All tasks finished successfully.";
constexpr const char* kRunEndCaption = "Information";
// The caption of the box shown when an item could not do its work (its row's failureText).
constexpr const char* kItemFailedCaption = "Error";

// The account of what the run could not erase, written after the last item and before
// kAllTasksFinishedLine: "Not erased: <what> (<why>)" for the first kNotErasedLinesShown entries,
// then "... and N more".
constexpr size_t kNotErasedLinesShown = 20;
std::vector<std::string> NotErasedLines(const std::vector<NotErasedEntry>& entries);

// True from the start of an erase run until its summary line is written; the run's closing box
// comes after. A run never starts while another is under way: every trigger tests this first.
extern bool RunInProgress;

struct EraseRunEnd {
    bool stopped = false;
    std::string boxText; // kStoppedBoxText, or the summary line
};

// The run after its log was cleared: sets the six counters to 0, reads the wipe method and pass
// count, runs every enabled row (start line, placeholder, routine, completion line unless stopped,
// empty line; window messages run after every row, enabled or not), runs the plug-ins unless
// stopped, and writes the closing lines. Says how the run ended; the caller shows the box.
// boxes: whether an item that could not do its work shows its error box (owned by owner); a run
// that no one watches (the /erase switch) lists the failure among what was not erased instead.
EraseRunEnd RunEraseSteps(ProgressLog& log, const std::string& optionsPath, HWND owner, bool boxes = true);
