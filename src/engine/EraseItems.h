// The erase items: the built-in rows of an erase run in their fixed order, each with its switch in
// Options.ini, the lines written around it and the routine that erases it. The first 26 are the
// early browsers and Windows; today's browsers follow, then today's Windows and other programs.
#pragma once

#include "engine/ProgressLog.h"

#include <cstddef>
#include <cstdint>
#include <string>

// What an item's routine is handed.
struct EraseRunContext {
    std::string method;      // the wipe method text, as read from Options.ini
    int32_t passes;          // the random pass count
    std::string optionsPath; // Options.ini, for the keep lists
    ProgressLog& log;
    // Set by a routine that could not do its work at all (the recycle bin when Shell32.dll does
    // not load); the run then shows the row's failure box.
    mutable bool failed = false;
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
    // The error box the run shows when the routine reports failure; nullptr for rows that cannot fail.
    const char* failureText = nullptr;
};

constexpr size_t kEraseItemCount = 61;
// In the order the run takes them.
extern const EraseItem kEraseItems[kEraseItemCount];

constexpr const char* kCompletedSuffix = " Completed";
