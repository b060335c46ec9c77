#include "gate/ErasePlan.h"

#include "gate/SafetyGate.h"

#include <unordered_set>

namespace {

bool finding = false;
std::vector<PlanGroup> groups;
// The files and folders the plan removes, as named: a folder is removed only once all in it is.
std::unordered_set<std::string> removed;

} // namespace

bool FindingPlan() { return finding; }

void BeginFindingPlan() {
    groups.clear();
    removed.clear();
    finding = true;
}

std::vector<PlanGroup> EndFindingPlan() {
    finding = false;
    removed.clear();
    std::vector<PlanGroup> found;
    found.swap(groups);
    return found;
}

void BeginPlanGroup(const std::string& title) {
    if (finding) {
        groups.push_back({title, {}});
    }
}

void AddPlanEntry(PlanEntry entry) {
    if (!finding) {
        return;
    }
    if (groups.empty()) {
        groups.push_back({});
    }
    if (entry.kind == PlanEntry::File || entry.kind == PlanEntry::Folder) {
        removed.insert(entry.what);
    }
    groups.back().entries.push_back(std::move(entry));
}

bool PlannedForRemoval(const std::string& path) { return removed.count(path) > 0; }

bool KeptByUser(const std::string& path) {
    if (!IsNeverErased(path)) {
        return false;
    }
    AddPlanEntry({PlanEntry::Kept, path});
    return true;
}
