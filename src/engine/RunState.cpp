#include "engine/RunState.h"

#include "engine/ProgressLog.h"
#include "gate/ErasePlan.h"
#include "gate/SafetyGate.h"
#include "platform/Processes.h"
#include "store/OptionNames.h"
#include "store/OptionTexts.h"
#include "store/OptionsStore.h"

#include <windows.h>

bool StopRequested = false;

namespace {

constexpr const char* kInUseBy = "in use by ";

} // namespace

int64_t ErasedFileCount = 0;
int64_t ReleasedByteCount = 0;
int64_t ErasedRegistryCount = 0;

int64_t TotalErasedFileCount = 0;
int64_t TotalReleasedByteCount = 0;
int64_t TotalErasedRegistryCount = 0;

std::vector<NotErasedEntry> NotErasedEntries;

void NoteNotErased(const std::string& what, const std::string& why) {
    NotErasedEntries.push_back({what, why});
    AddPlanEntry({PlanEntry::NotErasable, what, 0, why});
}

void LogRefusal(ProgressLog& log, const std::string& what, const std::string& why, const std::string& runningLine) {
    std::string shown = what;
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = '?';
        }
    }
    log.ReplaceLastLine("Refused: " + shown + " (" + why + ")");
    NoteNotErased(shown, "refused: " + why);
    log.AppendLine(runningLine);
}

void TakeNeverEraseList(const std::string& optionsPath) {
    SetNeverErase(ReadKeepList(OptionsStore(optionsPath), kSectionNeverErase));
}

std::string OpenFailureReason(const std::string& path, unsigned long error) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
        std::string names;
        for (const std::string& name : ProgramsHoldingFile(path)) {
            names += (names.empty() ? "" : ", ") + name;
        }
        if (!names.empty()) {
            return kInUseBy + names;
        }
    }
    return OpenFailureReason(error);
}

bool IsInUseReason(const std::string& why) { return why.rfind(kInUseBy, 0) == 0; }

std::string OpenFailureReason(unsigned long error) {
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return std::string(kInUseBy) + "another program";
    case ERROR_ACCESS_DENIED:
        return "access denied";
    case ERROR_WRITE_PROTECT:
        return "write-protected";
    case ERROR_BAD_DEVICE:
        return "not a disk file";
    default:
        return "Windows error " + std::to_string(error);
    }
}

void ResetFileCounters() {
    ErasedFileCount = 0;
    ReleasedByteCount = 0;
}

void AddFileCountersToTotals() {
    TotalErasedFileCount += ErasedFileCount;
    TotalReleasedByteCount += ReleasedByteCount;
}

void ResetItemCounters() {
    ErasedFileCount = 0;
    ReleasedByteCount = 0;
    ErasedRegistryCount = 0;
}

void AddItemCountersToTotals() {
    TotalErasedFileCount += ErasedFileCount;
    TotalReleasedByteCount += ReleasedByteCount;
    TotalErasedRegistryCount += ErasedRegistryCount;
}
