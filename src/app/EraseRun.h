// The erase run: the 26 built-in items in their fixed order, then the plug-ins, then the closing
// lines. The main window clears its log, runs the steps here and shows the box the run ends with.
#pragma once

#include "engine/ProgressLog.h"

#include <windows.h>

#include <cstdint>
#include <string>

// What an item's routine is handed.
struct EraseRunContext {
    std::string method;      // the wipe method text, as read from Options.ini
    int32_t passes;          // the random pass count
    std::string optionsPath; // Options.ini, for the keep lists
    ProgressLog& log;
    HWND owner; // owner of the one box an item may need: the recycle bin's load failure
};

// One row of the run: the switch in Options.ini, the lines around the routine, the routine.
struct EraseItem {
    const char* section;
    const char* key;
    bool enabledByDefault;
    const char* startLine;   // the completion line is this followed by kCompletedSuffix
    const char* placeholder; // nullptr when the row has none
    // The run, not the routine, writes the item's final line and adds its counts to the totals.
    bool finishedByRun;
    void (*routine)(const EraseRunContext&);
};

constexpr size_t kEraseItemCount = 26;
// In the order the run takes them.
extern const EraseItem kEraseItems[kEraseItemCount];

constexpr const char* kCompletedSuffix = " Completed";
constexpr const char* kStoppedByUserLine = "The erasing procedure is stopped by the user";
constexpr const char* kStoppedBoxText = "The erasing procedure stops.";
constexpr const char* kAllTasksFinishedLine = "All tasks finished successfully.";
constexpr const char* kRunEndCaption = "Information";
constexpr const char* kShell32LoadFailedCaption = "Error";

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
EraseRunEnd RunEraseSteps(ProgressLog& log, const std::string& optionsPath, HWND owner);
