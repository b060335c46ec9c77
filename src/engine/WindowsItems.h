// The Windows items of the erase run: the temporary-files folder, the recycle bin, the Recent
// documents, the Run, search and Open/Save dialog histories, the clipboard and the page file.
#pragma once

#include "engine/ProgressLog.h"

#include <cstdint>
#include <string>

// Keys the items clean, under HKEY_CURRENT_USER.
constexpr const char* kShellFoldersKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kRecentFolderValue = "Recent";
constexpr const char* kRunMRUKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
constexpr const char* kSearchMRUKey = "\\Software\\Microsoft\\Search Assistant\\ACMru";
constexpr const char* kDialogMRUKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU";
// Where Windows Vista and later keep the same histories, under HKEY_CURRENT_USER: the Open and Save
// dialogs' (by item ID lists: what was opened or saved per extension, which program last saved
// where, the dialogs' sizes, their first folder), Explorer's search box, and the Recent documents
// list that Start and Explorer show.
constexpr const char* kTodaysDialogMRUKeys[] = {
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSavePidlMRU",
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedPidlMRU",
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedPidlMRULegacy",
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\CIDSizeMRU",
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\FirstFolder",
};
constexpr const char* kWordWheelQueryKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\WordWheelQuery";
constexpr const char* kRecentDocsKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";

// The page-file setting, under HKEY_LOCAL_MACHINE.
constexpr const char* kMemoryManagementKey = "\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
constexpr const char* kClearPageFileValue = "ClearPageFileAtShutdown";

// What the erase run shows in an "Error" box when EmptyRecycleBin returns false.
constexpr const char* kShell32LoadFailedText = "Failed to load Shell32.dll.";

// Wipes every file below Windows' temporary-files folder with the method, counting each into
// ErasedFileCount and ReleasedByteCount (both set to 0 first) and keeping FileResultLine() as the
// log's last line; emptied sub-folders are removed, the folder itself stays. The erase run writes
// the item's final line and adds the counts to the run totals. A temporary-files folder that is a
// drive root, the Windows folder or the user's profile folder (where Windows falls back to when
// TMP and TEMP are not set) is left alone.
void EraseTempFolder(const std::string& method, int32_t passes, ProgressLog& log);

// False for a folder EraseTempFolder must never walk: a drive or share root, the Windows folder
// or the user's profile folder.
bool IsTempFolderSafeToWipe(const std::string& folder);

// Empties the recycle bins of all drives without asking. Returns false when Shell32.dll cannot be
// loaded; the caller then shows kShell32LoadFailedText (the engine shows no window).
bool EmptyRecycleBin();

// Deletes (without overwriting) the "*.lnk" files of the user's Recent folder, counts them into
// the file counters and the run totals and appends one FileResultLine(). Without the Shell Folders
// key or its Recent value no file is looked for and no line is written. On Vista and later the
// values of the RecentDocs key and of each of its sub-keys go too, counted into
// ErasedRegistryCount and the run total with a RegistryResultLine() of their own after the files'
// line, when that key is there.
void EraseRecentDocuments(ProgressLog& log);

// Delete every value of their key (the Search Assistant history: of each of its sub-keys; the
// Open/Save history: of the key and of each sub-key), count them into ErasedRegistryCount and the
// run total and report with RegistryResultLine(). The keys themselves stay; none is created. On
// Vista and later the search history also takes the values of WordWheelQuery and of its sub-keys,
// and the Open/Save history those of each of kTodaysDialogMRUKeys and of their sub-keys, in the
// same line (the Open/Save history writes it once any of its keys is there).
void EraseRunMRU(ProgressLog& log);
void EraseSearchMRU(ProgressLog& log);
void EraseDialogMRU(ProgressLog& log);

// Empties the clipboard, then clears Windows' clipboard history (Windows 10 1809 and later; the
// items the user pinned stay, as Windows defines it). Where this Windows has no clipboard history
// the item says so in kNoClipboardHistoryLine; where Windows answers that it did not clear it, in
// kClipboardHistoryFailedLine, and the history is noted as not erased. Nothing is counted. While a
// plan is being found both are recorded as actions, the history's only where it can be cleared.
constexpr const char* kClearClipboardHistoryWords = "Clear the clipboard history (pinned items stay)";
constexpr const char* kNoClipboardHistoryLine = "This Windows keeps no clipboard history to clear.";
constexpr const char* kClipboardHistoryFailedLine = "The clipboard history could not be cleared.";
void ClearClipboard(ProgressLog& log);

// On the "NewWinNT" family only: sets ClearPageFileAtShutdown to 1, so Windows clears the page
// file at every shutdown from then on. Elsewhere nothing happens.
void SetClearPageFileAtShutdown();
