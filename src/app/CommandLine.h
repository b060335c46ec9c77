// The switches for scripts and the Task Scheduler: "/erase [<log file>]" runs an erase with the
// saved settings without waiting for anyone, "/shred <file>..." shreds the files named, "/preview
// <file>" writes what an erase would remove into the file and changes nothing. Each ends
// the program with an exit code a script can test, and says what it did on the console that
// started it, where there is one. "/shredder [<file>...]" is for people (a Send To shortcut): it
// opens the File Shredder window alone with the files listed, and shreds nothing until its button
// is clicked. "/?", "-h" and "/help" say how to call the program; any other
// first argument that looks like a switch is refused with the same text. "/startup" in any case,
// and a first argument that is no switch, start the program as usual.
#pragma once

#include <optional>
#include <string>
#include <vector>

// Exit codes of the switches.
constexpr int kExitAllErased = 0;    // everything found was erased
constexpr int kExitNotAllErased = 1; // something could not be erased (listed)
constexpr int kExitNotRun = 2;       // the run could not start, or was stopped
constexpr int kExitAnotherCopy = 3;  // another copy of Quorvale is running: nothing was done

constexpr const char* kAnotherCopyText = "Quorvale is already running: nothing was done.";

constexpr const char* kUsageText =
    "Usage: Quorvale.exe /erase [<log file>]   or   Quorvale.exe /shred <file>...   or   Quorvale.exe /preview <file>"
    "   or   Quorvale.exe /shredder [<file>...]";
// Said after kUsageText by "/?" and by an unknown switch.
constexpr const char* kExitCodesText = "Exit codes: 0 everything found was erased, 1 something could not be erased "
                                       "(listed), 2 the run could not start or was stopped, 3 another copy of "
                                       "Quorvale is running (nothing was done).";
// Said before the usage for a first argument that starts with "/" or "-" and is no known switch.
constexpr const char* kUnknownSwitchText = "Unknown switch ";

struct CommandRequest {
    // Usage: a switch with the wrong number of paths; the program says how to call it and ends.
    // Help: "/?", "-h" or "/help"; the program says how to call it and ends with 0.
    // UnknownSwitch: a first argument that starts with "/" or "-" and is no switch of the program
    // (held in paths); the program says so with the usage and ends with kExitNotRun.
    // ShredderWindow: "/shredder", the File Shredder window with the files (any number) listed.
    enum Kind { Erase, Shred, Preview, ShredderWindow, Usage, Help, UnknownSwitch } kind;
    // the log file (at most one), the files to shred or to list, or the preview's file
    std::vector<std::string> paths;
};

// The request of the arguments (after the program name); nullopt when they ask for none (no
// argument, "/startup" in any case, or a first argument that is no switch). Switches are matched
// without regard to case.
std::optional<CommandRequest> ParseCommand(const std::vector<std::string>& arguments);

// What the program says for a Help or UnknownSwitch request: the usage and the exit codes,
// after "Unknown switch <argument>" for an unknown one. Returns the exit code.
int AnswerHelpRequest(const CommandRequest& request);

class TFrmMain;

// Runs an erase in the main window without waiting for anyone (the /erase switch): the window's
// run, with no box for an item that could not do its work and none at its end. Writes the whole
// log, the account of what was not erased included, to logPath (UTF-8) unless it is empty, says the
// run's summary on the console, and returns the exit code.
int EraseFromCommandLine(TFrmMain& main, const std::string& logPath);

// Writes the text and a line end to the console of the program that started this one (or to the
// standard output it was handed); nothing where there is none.
void SayOnConsole(const std::string& text);

// Shreds each file with the saved wipe method, as the File Shredder does, and says on the console
// what could not be shredded and why. Returns kExitAllErased or kExitNotAllErased.
int ShredFromCommandLine(const std::vector<std::string>& files);

// Finds what an erase with the saved settings would remove and writes it into the file as UTF-8
// text (PreviewText), changing nothing else. Returns kExitAllErased, or kExitNotRun when the file
// cannot be written.
int PreviewFromCommandLine(const std::string& file);
