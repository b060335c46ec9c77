// The folder wipe and the result lines that every item writes into the progress log.
#pragma once

#include "engine/ProgressLog.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The last line of the log while a file item has erased nothing yet.
constexpr const char* kPlaceholderLine = "0 file was erased.";

// One step of erasing a folder tree, found before anything is touched: a file to wipe (with its size
// and attributes from the folder search), or a folder to remove once what it held is gone.
struct PlanStep {
    enum Kind { WipeFile, RemoveFolder } kind;
    std::string path;
    int64_t size;
    DWORD attributes; // to be cleared where they guard the entry (read-only, hidden, system)
};
using FolderPlan = std::vector<PlanStep>;

// Finds what WipeFolderTree would do, in the order it does it, and changes nothing: every file of
// the tree, and every folder after its contents. Links, folders whose name begins with ".",
// Quorvale's own folders and what is marked Never erase are left out. A folder that is missing, a
// link or a file adds nothing.
void FindFolderTree(const std::string& folder, FolderPlan& plan);
// The same for the folder's contents only (folder without a trailing backslash). Returns whether
// the folder could be searched at all.
bool FindFolderContents(const std::string& folder, FolderPlan& plan);
// Carries the plan out: each file wiped and counted once it is gone (EraseWalkedFile), each folder
// removed if it is empty by then.
void ActOnFolderPlan(const FolderPlan& plan, const std::string& method, int32_t passes, ProgressLog& log);

// Wipes every file of the tree with the method, counting each that is gone into ErasedFileCount
// and ReleasedByteCount and replacing the log's last line with FileResultLine() after it. Folders whose name begins
// with "." are passed by; a folder is removed when it ends up empty. Links (junctions, symbolic links) are never
// followed, wiped or removed; a file with more than one hard link is only unlinked, never overwritten.
void WipeFolderTree(const std::string& folder, const std::string& method, int32_t passes, ProgressLog& log);

// The walk of WipeFolderTree without removing the folder itself (folder without a trailing
// backslash). Returns whether the folder could be searched at all. Both find first, then act.
bool WipeFolderContents(const std::string& folder, const std::string& method, int32_t passes, ProgressLog& log);

// Wipes one file met in a folder walk (the caller has already counted it and passed links by).
// A file with more than one hard link is only unlinked: overwriting it would destroy the same
// data under its other names; once StopRequested is set it is left as it is. Any other file goes
// to WipeFileByMethod, whose WipeOpenError reaches the caller. knownAttributes: the attributes a
// folder search gave, or INVALID_FILE_ATTRIBUTES. Returns whether the file is gone.
bool WipeWalkedFile(const std::string& path, const std::string& method, int32_t passes,
                    DWORD knownAttributes = INVALID_FILE_ATTRIBUTES);

// Wipes one file met by an item (WipeWalkedFile) and says whether it is gone, the only case in
// which the item counts it. A file that could not be erased is noted in the run's account with
// the reason (NoteNotErased), unless Stop left it.
bool EraseWalkedFile(const std::string& path, const std::string& method, int32_t passes,
                     DWORD knownAttributes = INVALID_FILE_ATTRIBUTES);

// The size of a file an item names, found by opening it for reading and writing as its wipe will
// (for reading only while an erase plan is being found). nullopt when it cannot be opened so.
std::optional<int64_t> SizeBeforeErasing(const std::string& path);

// What became of a file an item names (cookies.txt, a browser's database journal).
enum class NamedFileErase { Erased, Absent, InUse, NotErased };
// A file the item names: sized by opening it for reading and writing, wiped (EraseWalkedFile),
// and only then counted into ErasedFileCount and ReleasedByteCount, with FileResultLine() as the
// log's last line. A missing file, a folder or a link is Absent and left alone; one that cannot
// be opened is noted in the run's account and InUse when another program holds it.
NamedFileErase EraseNamedFile(const std::string& path, const std::string& method, int32_t passes, ProgressLog& log);

// "<n> files were erased, <size> hard disk space was released." from the item counters.
std::string FileResultLine();
// "<n> registry entry was erased." for 0 and 1, "<n> registry entries were erased." otherwise.
std::string RegistryResultLine(int64_t count);
// "<R> registry entries were erased. <F> files were erased, <size> hard disk space was released."
std::string RunSummaryLine(int64_t registryCount, int64_t fileCount, int64_t byteCount);

// "0 Byte", "1 Byte", "<n> Bytes", then "0.00 KB", "MB", "GB" with the user's decimal separator.
std::string FormatByteSize(int64_t bytes);
