// An erase found before it happens. While a plan is being found, every act of the safety gate and
// every other change an item would make (ending a browser, emptying the clipboard, a setting it
// writes) is recorded here instead of done, and reported to the item as done. The items' own code
// thus finds exactly what it would erase, in the order it would erase it, and changes nothing.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct PlanEntry {
    enum Kind { File, Folder, RegistryValue, RegistryKey, CacheEntry, DatabaseRows, Action, NotErasable, Kept };
    PlanEntry(Kind kind, std::string what, int64_t size = 0, std::string why = {}, std::string file = {})
        : kind(kind), what(std::move(what)), size(size), why(std::move(why)), file(std::move(file)) {}

    // The path "Never erase" keeps this entry by: a cache entry's file, else what the entry names.
    const std::string& KeptBy() const { return file.empty() ? what : file; }

    Kind kind;
    std::string what; // a full path, a registry path, a cache URL, or what an action does
    int64_t size;     // bytes of a file, a value or a cache entry; rows of a database
    std::string why;  // NotErasable: why it cannot be erased now
    std::string file; // CacheEntry: the entry's file in the cache folder
};

// What one item or plug-in would do, in its order.
struct PlanGroup {
    std::string title; // the item's start line, or the plug-in's
    std::vector<PlanEntry> entries;
};

// Whether the path (a file, folder, or registry key or value) is marked "Never erase"; while finding,
// such a path is recorded as kept.
bool KeptByUser(const std::string& path);

// While finding: whether the plan removes the file or folder (named as the walk named it).
bool PlannedForRemoval(const std::string& path);

// Whether the run only finds. Every act checks this before it changes anything.
bool FindingPlan();

// Starts finding: the acts from here on are recorded, not done.
void BeginFindingPlan();
// Stops finding and hands over what was found.
std::vector<PlanGroup> EndFindingPlan();

// Starts the group of the next item or plug-in while finding; does nothing otherwise.
void BeginPlanGroup(const std::string& title);
// Records an entry in the current group while finding; does nothing otherwise.
void AddPlanEntry(PlanEntry entry);

// Does a change that is not a deletion (the clipboard emptied, a setting written, a program ended)
// or, while finding, records it as an action with its words. Returns whether the change ran.
template <typename Change> bool GateOtherChange(const std::string& words, Change change) {
    if (FindingPlan()) {
        AddPlanEntry({PlanEntry::Action, words});
        return false;
    }
    change();
    return true;
}
