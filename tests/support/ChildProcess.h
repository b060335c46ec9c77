// Child processes for tests, always terminated when the test ends, and the Unix side of Wine
// (links can only be made from Linux).
#pragma once

#include "platform/Handle.h"

#include <string>

class ChildProcess {
public:
    // Starts the command line (program path first). Fails the test when it cannot start.
    explicit ChildProcess(const std::string& commandLine, const std::string& folder = "");
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Running() const;
    // Waits for the end; returns its exit code, or STILL_ACTIVE after the timeout.
    DWORD Wait(DWORD timeoutMs);
    // Waits until the process shows in the system's process list, where programs that end others by
    // name look for it; false when it has not within the timeout.
    bool WaitListed(DWORD timeoutMs = 10000) const;
    DWORD Id() const { return id_; }

private:
    KernelHandle process_;
    DWORD id_ = 0;
};

// Runs a command line to its end with its standard output captured; returns the output. exitCode,
// when given, receives the exit code (STILL_ACTIVE when it had not ended within the timeout).
std::string RunAndCapture(const std::string& commandLine, DWORD timeoutMs = 30000, DWORD* exitCode = nullptr);

// The Unix path of a Windows path under Wine; "" when not running under Wine.
std::string UnixPathOf(const std::string& windowsPath);

// Runs a Unix command through /bin/sh under Wine ("ln -s a b") and waits up to 30 s for it to end.
// Returns false when it could not be started or did not end in time. Wine hands no usable process
// back for a Unix program (64-bit Wine gives no handle at all) nor its exit code, so the end is seen
// through a marker file the shell writes last; callers check the command's effect themselves.
bool RunUnixShell(const std::string& command);

// Makes a Unix symbolic link at link (a Windows path) to target, as a user's ln -s would, and waits
// until Windows sees it. False when it cannot be made here (the caller skips its test).
bool MakeUnixSymlink(const std::string& target, const std::string& link);
// Removes a link made by MakeUnixSymlink, leaving its target alone, and waits until it has gone.
void RemoveUnixSymlink(const std::string& link);

// The folder of the running test program, ending in a backslash (helper programs lie beside it).
std::string TestProgramFolder();
