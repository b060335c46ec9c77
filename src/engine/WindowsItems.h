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
// key or its Recent value nothing happens and no line is written.
void EraseRecentDocuments(ProgressLog& log);

// Delete every value of their key (the Search Assistant history: of each of its sub-keys; the
// Open/Save history: of the key and of each sub-key), count them into ErasedRegistryCount and the
// run total and report with RegistryResultLine(). The keys themselves stay; none is created.
void EraseRunMRU(ProgressLog& log);
void EraseSearchMRU(ProgressLog& log);
void EraseDialogMRU(ProgressLog& log);

void ClearClipboard();

// On the "NewWinNT" family only: sets ClearPageFileAtShutdown to 1, so Windows clears the page
// file at every shutdown from then on. Elsewhere nothing happens.
void SetClearPageFileAtShutdown();
