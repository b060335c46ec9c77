#include "gate/ErasePlan.h"

#include "gate/SafetyGate.h"

namespace {

bool finding = false;
std::vector<PlanGroup> groups;

} // namespace

bool FindingPlan() { return finding; }

void BeginFindingPlan() {
    groups.clear();
    finding = true;
}

std::vector<PlanGroup> EndFindingPlan() {
    finding = false;
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
    groups.back().entries.push_back(std::move(entry));
}

bool KeptByUser(const std::string& path) {
    if (!IsNeverErased(path)) {
        return false;
    }
    AddPlanEntry({PlanEntry::Kept, path});
    return true;
}
