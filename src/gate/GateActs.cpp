#include "gate/GateActs.h"

#include "gate/ErasePlan.h"
#include "gate/SafetyGate.h"
#include "platform/FileContent.h"
#include "platform/FileWrites.h"
#include "platform/Files.h"
#include "platform/Registry.h"

HANDLE GatedFile::Open() {
    if (file_) {
        return file_.get();
    }
    if (!asked_) {
        asked_ = true;
        refusal_ = TargetRefusal(path_, attributes_);
    }
    // While finding nothing is opened for writing, whatever asks.
    if (refusal_ || FindingPlan()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    file_ = OpenForOverwriteAndDelete(path_);
    mayDelete_ = static_cast<bool>(file_);
    if (!file_ && GetLastError() == ERROR_SHARING_VIOLATION) {
        file_ = OpenForOverwrite(path_);
    }
    if (!file_) {
        return nullptr;
    }
    // A device (a name such as NUL or COM1 that slipped through) is no file to overwrite.
    if (GetFileType(file_.get()) != FILE_TYPE_DISK) {
        file_.reset();
        mayDelete_ = false;
        SetLastError(ERROR_BAD_DEVICE);
        return nullptr;
    }
    return file_.get();
}

bool GatedFile::Find() {
    asked_ = true;
    refusal_ = TargetRefusal(path_, attributes_);
    if (refusal_) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    std::optional<int64_t> size = FileSizeByReading(path_);
    if (!size) {
        return false;
    }
    AddPlanEntry({PlanEntry::File, path_, *size});
    return true;
}

bool GatedFile::Truncate() { return file_ && RewindFile(file_.get()) && TruncateAtPosition(file_.get()); }

bool GatedFile::RenameTo(const std::string& target) {
    if (refusal_ || FindingPlan() || TargetRefusal(target, INVALID_FILE_ATTRIBUTES)) {
        return false;
    }
    if (mayDelete_ && file_) {
        return RenameOpenFile(file_.get(), target);
    }
    file_.reset();
    return RenameFile(path_, target);
}

bool GatedFile::Delete(const std::string& current) {
    if (refusal_ || FindingPlan()) {
        return false;
    }
    bool marked = mayDelete_ && file_ && DeleteWhenClosed(file_.get());
    file_.reset();
    return marked || DeleteFileAt(current);
}

namespace {

constexpr const char* kFolderRefusal = "a folder";
constexpr const char* kLinkRefusal = "a link";

std::optional<std::string> RewriteRefusal(const std::string& path, DWORD attributes) {
    if (auto refusal = TargetRefusal(path, attributes)) {
        return refusal;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return kFolderRefusal;
    }
    return std::nullopt;
}

// Writes content over the start of the open file, zeros over the rest of its old length, flushes,
// then ends the file after content. ERROR_SUCCESS, or the error of the step that failed.
DWORD RewriteOpenFile(HANDLE file, std::string_view content) {
    const int64_t oldLength = FileLength(file);
    if (oldLength < 0 || !RewindFile(file)) {
        return GetLastError();
    }
    const int64_t newLength = static_cast<int64_t>(content.size());
    if (WriteFull(file, content.data(), content.size()) != content.size() || !WriteZeros(file, oldLength - newLength) ||
        !FlushFileToDisk(file)) {
        return GetLastError();
    }
    if (!MoveFilePosition(file, newLength) || !TruncateAtPosition(file) || !FlushFileToDisk(file)) {
        return GetLastError();
    }
    return ERROR_SUCCESS;
}

} // namespace

RewriteResult GateRewriteFile(const std::string& path, std::string_view content, const std::string& detail) {
    RewriteResult result;
    result.refusal = RewriteRefusal(path, GetAttributes(path));
    if (result.refusal) {
        return result;
    }
    if (FindingPlan()) {
        if (!FileSizeByReading(path)) {
            result.error = GetLastError();
            return result;
        }
        AddPlanEntry({PlanEntry::Action, "Rewrite " + path + (detail.empty() ? "" : " " + detail)});
        result.done = true;
        return result;
    }
    FileHandle file = OpenForRewrite(path);
    if (!file) {
        result.error = GetLastError();
        return result;
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        result.error = ERROR_BAD_DEVICE;
        return result;
    }
    // Opened as itself, a link shows what it is, whatever the folder search said.
    const DWORD attributes = AttributesOfOpenFile(file.get());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        result.error = GetLastError();
        return result;
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        result.refusal = kLinkRefusal;
        return result;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        result.refusal = kFolderRefusal;
        return result;
    }
    result.error = RewriteOpenFile(file.get(), content);
    result.done = result.error == ERROR_SUCCESS;
    return result;
}

bool GateDeleteFile(const std::string& path) {
    if (FindingPlan()) {
        GatedFile file(path, GetAttributes(path));
        return file.Find(); // asks the gate itself
    }
    return !TargetRefusal(path, GetAttributes(path)) && DeleteFileAt(path);
}

bool GateRemoveFolder(const std::string& path) {
    if (TargetRefusal(path, GetAttributes(path)) || FolderRefusal(path)) {
        return false;
    }
    if (FindingPlan()) {
        // Removed only when all in it is: a kept, refused or held file, or a link, keeps it.
        for (const FolderEntry& entry : ListFolder(WithoutTrailingBackslash(path) + "\\*")) {
            if (entry.name != "." && entry.name != ".." &&
                !PlannedForRemoval(WithoutTrailingBackslash(path) + "\\" + entry.name)) {
                return false;
            }
        }
        AddPlanEntry({PlanEntry::Folder, path});
        return true;
    }
    return RemoveFolder(path);
}

std::string RegistryPathText(HKEY root, const std::string& keyPath, const std::string* valueName) {
    std::string text = RegRootName(root);
    size_t start = keyPath.find_first_not_of('\\');
    if (start != std::string::npos) {
        text += "\\" + keyPath.substr(start);
    }
    if (valueName) {
        text += "\\" + *valueName;
    }
    return text;
}

namespace {

// Deletes one value of the open key, or records it while finding.
bool DeleteValueOf(HKEY root, const std::string& keyPath, HKEY key, const std::string& name) {
    const std::string where = RegistryPathText(root, keyPath, &name);
    if (KeptByUser(where)) {
        return false;
    }
    if (FindingPlan()) {
        std::optional<RegValue> value = GetRegValue(key, name);
        if (!value) {
            return false;
        }
        AddPlanEntry({PlanEntry::RegistryValue, where, static_cast<int64_t>(value->bytes.size())});
        return true;
    }
    return DeleteRegValue(key, name);
}

RegKey OpenForValueDeletes(HKEY root, const std::string& keyPath) {
    return OpenRegKey(root, keyPath, FindingPlan() ? KEY_READ : KEY_READ | KEY_SET_VALUE);
}

} // namespace

bool GateDeleteRegValue(HKEY root, const std::string& keyPath, const std::string& name) {
    RegKey key = OpenForValueDeletes(root, keyPath);
    return key && DeleteValueOf(root, keyPath, key.get(), name);
}

int64_t GateDeleteAllValues(HKEY root, const std::string& keyPath) {
    RegKey key = OpenForValueDeletes(root, keyPath);
    if (!key) {
        return 0;
    }
    int64_t deleted = 0;
    for (const std::string& name : RegValueNames(key.get())) {
        if (DeleteValueOf(root, keyPath, key.get(), name)) {
            ++deleted;
        }
    }
    return deleted;
}

bool GateDeleteRegTree(HKEY root, const std::string& path) {
    const std::string where = RegistryPathText(root, path);
    if (RegistryRefusal(root, path, std::nullopt) || KeptByUser(where)) {
        return false;
    }
    if (HoldsNeverErasedKey(where)) {
        AddPlanEntry({PlanEntry::Kept, where}); // what it holds would go with it
        return false;
    }
    if (FindingPlan()) {
        if (!OpenRegKey(root, path)) {
            return false;
        }
        AddPlanEntry({PlanEntry::RegistryKey, where});
        return true;
    }
    return DeleteRegTree(root, path);
}

bool GateDeleteCacheEntry(const UrlCacheEntry& entry) {
    if (IsNeverErased(entry.localFile)) {
        return false;
    }
    if (FindingPlan()) {
        AddPlanEntry({PlanEntry::CacheEntry, entry.sourceUrl, entry.size, {}, entry.localFile});
        return true;
    }
    if (!DeleteUrlCacheEntryOf(entry)) {
        return false;
    }
    // The entry's removal deletes its file too, but only while the file's write time is the one the
    // cache recorded: one written since (by the zero pass) is left behind, and goes here.
    if (entry.localFile.empty() || GetAttributes(entry.localFile) == INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    return GateDeleteFile(entry.localFile);
}

RecycleBinResult GateEmptyRecycleBins(std::string_view library) {
    if (FindingPlan()) {
        if (auto contents = QueryRecycleBinsThrough(library); contents && contents->items > 0) {
            AddPlanEntry({PlanEntry::Action, "The recycle bins' " + std::to_string(contents->items) + " items",
                          contents->bytes});
        }
        return RecycleBinResult::Emptied;
    }
    return EmptyRecycleBinsThrough(library);
}
