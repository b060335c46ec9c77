#include "engine/FolderWipe.h"

#include "engine/RunState.h"
#include "gate/ErasePlan.h"
#include "gate/GateActs.h"
#include "gate/SafetyGate.h"
#include "engine/WipeMethods.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"

#include <windows.h>

#include <algorithm>

bool WipeWalkedFile(const std::string& path, const std::string& method, int32_t passes, DWORD knownAttributes) {
    bool deleted = false;
    WipeControl control;
    control.walkedFile = true;
    control.knownAttributes = knownAttributes;
    control.deleted = &deleted;
    WipeFileByMethod(path, method, passes, control);
    return deleted;
}

bool EraseWalkedFile(const std::string& path, const std::string& method, int32_t passes, DWORD knownAttributes) {
    try {
        if (WipeWalkedFile(path, method, passes, knownAttributes)) {
            return true;
        }
    } catch (const WipeOpenError& error) {
        // A file that went between finding and acting is gone: neither counted nor listed.
        if (error.Error() != ERROR_FILE_NOT_FOUND && error.Error() != ERROR_PATH_NOT_FOUND) {
            NoteNotErased(path, error.Reason());
        }
        return false;
    }
    if (!StopRequested) {
        NoteNotErased(path, "could not be deleted");
    }
    return false;
}

std::optional<int64_t> SizeBeforeErasing(const std::string& path) {
    return FindingPlan() ? FileSizeByReading(path) : FileSizeByOpening(path);
}

NamedFileErase EraseNamedFile(const std::string& path, const std::string& method, int32_t passes, ProgressLog& log) {
    if (KeptByUser(path)) {
        return NamedFileErase::Absent; // kept by the user: not touched, not counted
    }
    DWORD attributes = GetAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
        return NamedFileErase::Absent; // a link is never wiped, so it is not counted either
    }
    std::optional<int64_t> size = SizeBeforeErasing(path);
    if (!size) {
        DWORD error = GetLastError();
        NoteNotErased(path, OpenFailureReason(path, error));
        return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? NamedFileErase::InUse
                                                                                 : NamedFileErase::NotErased;
    }
    if (!EraseWalkedFile(path, method, passes)) {
        return NamedFileErase::NotErased;
    }
    ReleasedByteCount += *size;
    ErasedFileCount += 1;
    log.ReplaceLastLine(FileResultLine());
    return NamedFileErase::Erased;
}

namespace {

// A folder a walk passes by: a kept one as kept (not listed), any other listed as refused, once.
void NoteWalkRefusal(const std::string& folder, const std::string& why) {
    if (why == kRefusalNeverErase) {
        AddPlanEntry({PlanEntry::Kept, folder});
        return;
    }
    const std::string reason = "refused: " + why;
    const bool listed = std::any_of(NotErasedEntries.begin(), NotErasedEntries.end(),
                                    [&](const NotErasedEntry& entry) { return entry.what == folder; });
    if (!listed) {
        NoteNotErased(folder, reason);
    }
}

// The folder's tree, then the folder itself to be removed once it is empty. clearAttributes: the
// folder's attributes as its parent's search gave them, cleared before it is removed (0 for the
// folder an item names).
void FindTree(const std::string& folder, DWORD clearAttributes, FolderPlan& plan);

} // namespace

bool FindFolderContents(const std::string& folder, FolderPlan& plan) {
    bool searched = false;
    auto entries = ListFolder(folder + "\\*.*", searched);
    for (const auto& entry : entries) {
        std::string path = folder + "\\" + entry.name;
        if (entry.IsLink() || KeptByUser(path)) {
            continue; // never followed, wiped through or removed; or kept by the user
        }
        if (entry.IsFolder()) {
            if (entry.name.front() == '.') {
                continue;
            }
            // Whatever led the walk here, it never goes into a protected folder, Quorvale's own, or
            // one the user keeps by another name; the first two are listed once, the walk goes on.
            if (std::optional<std::string> why = WalkRefusal(path)) {
                NoteWalkRefusal(path, *why);
                continue;
            }
            try {
                FindTree(path, entry.attributes, plan);
            } catch (...) {
                // A sub-folder that cannot be walked is left; the walk goes on.
            }
            continue;
        }
        plan.push_back({PlanStep::WipeFile, path, entry.size, entry.attributes});
    }
    return searched;
}

namespace {

void FindTree(const std::string& folder, DWORD clearAttributes, FolderPlan& plan) {
    DWORD attributes = GetAttributes(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return;
    }
    const std::string base = WithoutTrailingBackslash(folder);
    if (FindFolderContents(base, plan)) {
        plan.push_back({PlanStep::RemoveFolder, base, 0, clearAttributes});
    }
}

} // namespace

void FindFolderTree(const std::string& folder, FolderPlan& plan) { FindTree(folder, 0, plan); }

void ActOnFolderPlan(const FolderPlan& plan, const std::string& method, int32_t passes, ProgressLog& log) {
    for (const PlanStep& step : plan) {
        // A file the gate refuses keeps even its attributes.
        if (!FindingPlan() && (step.kind == PlanStep::RemoveFolder || !TargetRefusal(step.path, step.attributes))) {
            ClearGuardingAttributes(step.path, step.attributes);
        }
        if (step.kind == PlanStep::RemoveFolder) {
            GateRemoveFolder(step.path); // only an empty one goes
        } else if (EraseWalkedFile(step.path, method, passes, step.attributes)) {
            ReleasedByteCount += step.size;
            ErasedFileCount += 1;
            log.ReplaceLastLine(FileResultLine());
        }
    }
}

bool WipeFolderContents(const std::string& folder, const std::string& method, int32_t passes, ProgressLog& log) {
    FolderPlan plan;
    const bool searched = FindFolderContents(folder, plan);
    ActOnFolderPlan(plan, method, passes, log);
    return searched;
}

void WipeFolderTree(const std::string& folder, const std::string& method, int32_t passes, ProgressLog& log) {
    FolderPlan plan;
    FindFolderTree(folder, plan);
    ActOnFolderPlan(plan, method, passes, log);
}

std::string FormatByteSize(int64_t bytes) { return ByteSizeText(bytes, true); }

std::string FileResultLine() {
    return std::to_string(ErasedFileCount) + " files were erased, " + FormatByteSize(ReleasedByteCount) +
           " hard disk space was released.";
}

std::string RegistryResultLine(int64_t count) {
    return std::to_string(count) +
           (count == 0 || count == 1 ? " registry entry was erased." : " registry entries were erased.");
}

std::string RunSummaryLine(int64_t registryCount, int64_t fileCount, int64_t byteCount) {
    return std::to_string(registryCount) + " registry entries were erased. " + std::to_string(fileCount) +
           " files were erased, " + FormatByteSize(byteCount) + " hard disk space was released.";
}
