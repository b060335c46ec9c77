// The erase items for the traces Windows Vista to 11 keep beside the older ones: Explorer's
// address bar, the program-launch counters, jump lists, the user's crash reports, the PowerShell
// history, the thumbnail and icon caches, the ShellBags and the DNS cache. Each keeps what the user
// set up: pins, folder views, the desktop's icons, default programs.
#pragma once

#include "engine/ProgressLog.h"

#include <cstdint>
#include <optional>
#include <string>

// Keys under HKEY_CURRENT_USER.
constexpr const char* kTypedPathsKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\TypedPaths";
constexpr const char* kUserAssistKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist";
// The ShellBags: each place's list of browsed folders (BagMRU) and their views (Bags).
struct ShellBagPlace {
    const char* browsed;
    const char* views;
};
constexpr ShellBagPlace kShellBagPlaces[] = {
    {"\\Software\\Microsoft\\Windows\\Shell\\BagMRU", "\\Software\\Microsoft\\Windows\\Shell\\Bags"},
    {"\\Software\\Microsoft\\Windows\\ShellNoRoam\\BagMRU", "\\Software\\Microsoft\\Windows\\ShellNoRoam\\Bags"},
    {"\\Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\BagMRU",
     "\\Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\Bags"},
    {"\\Software\\Classes\\Wow6432Node\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\BagMRU",
     "\\Software\\Classes\\Wow6432Node\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\Bags"},
};

// Folders and files below the user's application-data folders.
constexpr const char* kCrashReportFolders[] = {
    "Microsoft\\Windows\\WER\\ReportArchive",
    "Microsoft\\Windows\\WER\\ReportQueue",
    "CrashDumps",
}; // below %LocalAppData%
constexpr const char* kPowerShellHistory =
    "Microsoft\\Windows\\PowerShell\\PSReadLine\\ConsoleHost_history.txt";   // below %AppData%
constexpr const char* kExplorerCacheFolder = "Microsoft\\Windows\\Explorer"; // below %LocalAppData%
constexpr const char* kExplorerCachePatterns[] = {"thumbcache_*.db", "iconcache_*.db"};

// The programs whose jump lists are cleared, by the AppUserModelID they give Windows: File
// Explorer (Quick Access and its recent files), Chrome, Edge, Word, Excel, PowerPoint and Windows
// Media Player.
constexpr const char* kJumpListPrograms[] = {
    "Microsoft.Windows.Explorer",
    "Chrome",
    "MSEdge",
    "Microsoft.Office.WINWORD.EXE.15",
    "Microsoft.Office.EXCEL.EXE.15",
    "Microsoft.Office.POWERPNT.EXE.15",
    "Microsoft.Windows.MediaPlayer32",
};

// Lines and plan words of the items that count nothing.
constexpr const char* kNoJumpListsLine = "This Windows keeps no jump lists to clear.";
constexpr const char* kDnsFlushedLine = "Windows' DNS cache was flushed.";
constexpr const char* kNoDnsCacheLine = "This Windows has no DNS cache to flush.";
constexpr const char* kDnsDeniedLine = "Windows' DNS cache was not flushed: this account lacks the rights to do it.";
constexpr const char* kDnsFailedLine = "Windows' DNS cache could not be flushed.";
constexpr const char* kFlushDnsWords = "Flush Windows' DNS cache (the host names this PC looked up)";

// Every value of TypedPaths (the folders typed into Explorer's address bar), counted into
// ErasedRegistryCount and the run total, with a RegistryResultLine(). The key stays; a missing one
// is not created.
void EraseExplorerTypedPaths(ProgressLog& log);

// Every value of each "UserAssist\{GUID}\Count" key (how often and when each program was started),
// counted and reported as above. The "Settings" key and the keys themselves stay.
void EraseProgramLaunchCounters(ProgressLog& log);

// Removes the recent and frequent entries of the jump lists of kJumpListPrograms through Windows'
// own call, which keeps what the user pinned; no jump-list file is ever deleted (they hold the
// pins too). Nothing is counted: a line says how many lists were cleared; one that Windows did
// not clear has its line and is noted as not erased; where this Windows has no jump lists,
// kNoJumpListsLine. A plan lists each clearing only where it can be done.
void ClearJumpLists(ProgressLog& log);

// The user's crash reports: everything inside each of kCrashReportFolders (the report folders with
// their files; the three folders and WER itself stay), wiped with the method. Counted into the
// item's file counters; the run writes the final line. A folder that is missing adds nothing; one
// that is a file or is reached through a link is refused with its reason and not entered.
void EraseCrashReports(const std::string& method, int32_t passes, ProgressLog& log);

// PowerShell's command history (PSReadLine's ConsoleHost_history.txt), wiped with the method and
// counted as above.
void ErasePowerShellHistory(const std::string& method, int32_t passes, ProgressLog& log);

// Explorer's thumbnail and icon caches (kExplorerCachePatterns in kExplorerCacheFolder), each
// wiped with the method where it can be opened and counted as above. One that Explorer holds is
// left and noted as not erased with the program that holds it; Explorer is never ended.
void EraseThumbnailCaches(const std::string& method, int32_t passes, ProgressLog& log);

// The ShellBags of kShellBagPlaces: every browsed folder (each sub-key of BagMRU and its values,
// but not NodeSlot and NodeSlots, which Windows needs to number new folders) and the views of
// those folders (each sub-key of Bags), keeping "AllFolders" (the views set for all folders of a
// kind) and the desktop's bag (the one BagMRU's NodeSlot names and any holding a "Desktop" key,
// where the desktop's icon layout lives). Each key or value that goes counts once, reported with
// one RegistryResultLine(); nothing is created.
void EraseShellBags(ProgressLog& log);

// Flushes Windows' DNS resolver cache through the resolver's own call. Nothing is counted; one line
// says how it went (kDnsFlushedLine, kNoDnsCacheLine, kDnsDeniedLine, kDnsFailedLine), and a
// flush that did not happen is noted as not erased with its reason.
void FlushDnsCacheItem(ProgressLog& log);

// Why a trace folder below base (a full folder path ending in a backslash) must not be entered:
// a part of its way that is a link (never followed) or a file. nullopt when it may, including when
// it is missing.
std::optional<std::string> TraceFolderRefusal(const std::string& base, const std::string& below);
