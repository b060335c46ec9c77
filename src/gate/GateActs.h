// What the safety gate does once it lets a target pass. This is the only code that opens a file to
// overwrite it, truncates, renames or deletes a file, removes a folder, or deletes a registry value
// or key, a URL-cache entry or the recycle bins' contents: every caller above goes through here,
// and the ctest "gate" fails when another file calls the platform's functions that do it. Each act
// asks the gate first (TargetRefusal, RegistryRefusal); a refused act changes nothing. While an
// erase plan is being found (FindingPlan), each act that the gate lets pass is recorded in the
// plan and reported as done, and nothing is changed.
#pragma once

#include "platform/Handle.h"
#include "platform/RecycleBin.h"
#include "platform/UrlCache.h"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// A file to be overwritten, truncated, renamed and deleted, and the one handle all of it goes
// through while it is open.
class GatedFile {
public:
    // knownAttributes: the file's attributes from a folder search, INVALID_FILE_ATTRIBUTES when
    // they are to be looked up.
    explicit GatedFile(std::string path, DWORD knownAttributes = INVALID_FILE_ATTRIBUTES)
        : path_(std::move(path)), attributes_(knownAttributes) {}

    // Opens the file to be overwritten unless it is open already: with the right to rename and
    // delete it through the handle, or, where another program holds it without letting it be
    // deleted, for writing only. nullptr when the gate refuses it (Refusal() tells why), when
    // Windows refuses (GetLastError() tells why), or when what opened is no disk file (a device
    // name: ERROR_BAD_DEVICE).
    HANDLE Open();
    // While finding: records the file and its size in the plan when the gate lets it pass and it
    // can be opened for reading. False otherwise (Refusal(), or GetLastError() for a file another
    // program holds). Nothing is opened for writing.
    bool Find();
    void Close() { file_.reset(); }
    bool IsOpen() const { return static_cast<bool>(file_); }
    // Whether the handle may rename and delete the file.
    bool MayDelete() const { return mayDelete_; }
    // Why the gate refused the file at Open, or nullopt.
    const std::optional<std::string>& Refusal() const { return refusal_; }

    // Sets the open file's length to 0.
    bool Truncate();
    // Renames the file (refusing an existing name): through the handle where it may, else by name
    // with the handle closed.
    bool RenameTo(const std::string& target);
    // Deletes the file, known by name as current: through the handle where it may, else (or when
    // that fails) by name once the handle is closed. True when it is gone.
    bool Delete(const std::string& current);

private:
    std::string path_;
    DWORD attributes_;
    FileHandle file_;
    bool mayDelete_ = false;
    bool asked_ = false;
    std::optional<std::string> refusal_;
};

// What became of a rewrite: done, refused by the gate (refusal tells why), or stopped by Windows
// (error: why the file could not be opened or written).
struct RewriteResult {
    bool done = false;
    std::optional<std::string> refusal;
    DWORD error = ERROR_SUCCESS;
};
// Rewrites a file in place with content, so that no byte of what it held stays readable on the disk:
// the same file (not a new one renamed over it, which would leave the old clusters behind) gets
// content from its start, the rest of its old length is overwritten with zeros and flushed to the
// disk, and only then is it cut to content's length. The gate refuses what TargetRefusal refuses, a
// folder, a link (not followed, whatever the folder search said) and what is no disk file (a device
// name: ERROR_BAD_DEVICE). A file another program is writing is not opened (its error); a read-only
// one neither (ERROR_ACCESS_DENIED): its attributes are the user's. Written but not wholly (a full
// disk) is not done: the file is then longer than content, and error tells why. While finding, a
// file the gate lets pass and that can be read is recorded as the action "Rewrite <path> <detail>"
// and reported as done; nothing is opened for writing.
RewriteResult GateRewriteFile(const std::string& path, std::string_view content, const std::string& detail);

// Deletes one file by name (a shortcut, a washer's fill file). False when the gate refuses it or
// Windows could not delete it.
bool GateDeleteFile(const std::string& path);
// Removes an empty folder. False when the gate refuses it or Windows could not remove it.
bool GateRemoveFolder(const std::string& path);

// "HKEY_CURRENT_USER\<path>", or with "\<value name>" after it: how a plan and the "Never erase"
// list name a registry key or value.
std::string RegistryPathText(HKEY root, const std::string& keyPath, const std::string* valueName = nullptr);

// Deletes one value of a key. False when it was missing, kept, or could not be deleted.
bool GateDeleteRegValue(HKEY root, const std::string& keyPath, const std::string& name);
// Deletes every value of the key; returns how many were deleted (a value that stays is not
// counted).
int64_t GateDeleteAllValues(HKEY root, const std::string& keyPath);
// Deletes a key (root and path below it) with its sub-keys. False when the gate refuses the key
// (a root, a program's or Windows' own keys) or it was missing or not wholly deleted.
bool GateDeleteRegTree(HKEY root, const std::string& path);

// Removes an entry from the URL cache, and its local file with it. False when either stays.
bool GateDeleteCacheEntry(const UrlCacheEntry& entry);

// Empties the recycle bins of every drive through the library's SHEmptyRecycleBinA.
RecycleBinResult GateEmptyRecycleBins(std::string_view library);
