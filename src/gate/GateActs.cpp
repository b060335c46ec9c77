#include "gate/GateActs.h"

#include "gate/SafetyGate.h"
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
    if (refusal_) {
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

bool GatedFile::Truncate() { return file_ && RewindFile(file_.get()) && TruncateAtPosition(file_.get()); }

bool GatedFile::RenameTo(const std::string& target) {
    if (refusal_ || TargetRefusal(target, INVALID_FILE_ATTRIBUTES)) {
        return false;
    }
    if (mayDelete_ && file_) {
        return RenameOpenFile(file_.get(), target);
    }
    file_.reset();
    return RenameFile(path_, target);
}

bool GatedFile::Delete(const std::string& current) {
    if (refusal_) {
        return false;
    }
    bool marked = mayDelete_ && file_ && DeleteWhenClosed(file_.get());
    file_.reset();
    return marked || DeleteFileAt(current);
}

bool GateDeleteFile(const std::string& path) { return !TargetRefusal(path, GetAttributes(path)) && DeleteFileAt(path); }

bool GateRemoveFolder(const std::string& path) {
    return !TargetRefusal(path, GetAttributes(path)) && !FolderRefusal(path) && RemoveFolder(path);
}

bool GateDeleteRegValue(HKEY key, std::string_view name) { return DeleteRegValue(key, name); }

int64_t GateDeleteAllValues(HKEY key) {
    int64_t deleted = 0;
    for (const std::string& name : RegValueNames(key)) {
        if (DeleteRegValue(key, name)) {
            ++deleted;
        }
    }
    return deleted;
}

bool GateDeleteRegTree(HKEY root, const std::string& path) {
    return !RegistryRefusal(root, path, std::nullopt) && DeleteRegTree(root, path);
}

bool GateDeleteCacheEntry(const UrlCacheEntry& entry) {
    // The entry's removal deletes its local file too.
    return !IsNeverErased(entry.localFile) && DeleteUrlCacheEntryOf(entry);
}

RecycleBinResult GateEmptyRecycleBins(std::string_view library) { return EmptyRecycleBinsThrough(library); }
