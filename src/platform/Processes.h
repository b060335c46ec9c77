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

// Opens the process with terminate access only and terminates it. False when either step fails.
bool TerminateProcessById(DWORD id, UINT exitCode);

// The programs that hold the file open, by the names Windows gives them ("Microsoft Word"), through
// the Restart Manager (Windows Vista and later). Empty where Windows cannot tell: an older system,
// a holder it does not know, or any failure.
std::vector<std::string> ProgramsHoldingFile(const std::string& path);
