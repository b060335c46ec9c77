// Running processes, through the ToolHelp snapshot (looked up in kernel32 at first use).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct ProcessEntry {
    DWORD id;
    std::string exeFile; // as the snapshot gives it: a file name, or on some systems a full path
};

// The running processes; nullopt when the system offers no ToolHelp snapshot.
std::optional<std::vector<ProcessEntry>> RunningProcesses();

// Whose a running process is, as far as this program may ask Windows.
enum class ProcessOwner {
    ThisUser,  // runs under the account this program runs under
    OtherUser, // runs under another account
    Unknown,   // the process or its token could not be opened (another user's, a protected or elevated
               // process, a process that has ended, or a system without access tokens: Windows 9x)
};
// Compares the user of the process's access token with this program's. Unknown on any failure.
ProcessOwner OwnerOfProcess(DWORD id);

// Opens the process with terminate access only and terminates it. False when either step fails.
bool TerminateProcessById(DWORD id, UINT exitCode);

// The programs that hold the file open, by the names Windows gives them ("Microsoft Word"), through
// the Restart Manager (Windows Vista and later). Empty where Windows cannot tell: an older system,
// a holder it does not know, or any failure.
std::vector<std::string> ProgramsHoldingFile(const std::string& path);
