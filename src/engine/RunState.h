// State of the erase run shared by the run, the wipe methods and the item routines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ProgressLog;

// Set by a click on Stop; polled by the run and the wipe methods.
extern bool StopRequested;

// Counts of the current item: files handed to a wipe method and the sum of their sizes, and
// registry values or keys erased. Item routines reset them when they begin.
extern int64_t ErasedFileCount;
extern int64_t ReleasedByteCount;
extern int64_t ErasedRegistryCount;

// Totals of the whole erase run; an item's counts are added when the item ends.
extern int64_t TotalErasedFileCount;
extern int64_t TotalReleasedByteCount;
extern int64_t TotalErasedRegistryCount;

// What the run could not erase, in the order met: the file or entry, and why (in use by another
// program, access denied, refused by the safety gate). Listed after the last item.
struct NotErasedEntry {
    std::string what;
    std::string why;
};
extern std::vector<NotErasedEntry> NotErasedEntries;
void NoteNotErased(const std::string& what, const std::string& why);
// Writes the safety gate's refusal into the item's lines, "Refused: <what> (<why>)" before the
// item's running line (which stays the last line), and into the account.
void LogRefusal(ProgressLog& log, const std::string& what, const std::string& why, const std::string& runningLine);
// Takes the "Never erase" list of Options.ini into the safety gate; every erase run and every
// shredding starts with it.
void TakeNeverEraseList(const std::string& optionsPath);
// Why a file could not be opened, from the Windows error of the open.
std::string OpenFailureReason(unsigned long error);
// The same for that file, naming the programs that hold it where Windows can tell ("in use by
// Microsoft Word").
std::string OpenFailureReason(const std::string& path, unsigned long error);
// Whether the reason says the file is in use by another program (named or not).
bool IsInUseReason(const std::string& why);

// Sets the item's file and byte counters to 0 (a file item's start), and adds them to the run
// totals (its end); the registry counter is left alone.
void ResetFileCounters();
void AddFileCountersToTotals();
// Sets the three item counters to 0.
void ResetItemCounters();
// Adds the item counters to the run totals.
void AddItemCountersToTotals();
