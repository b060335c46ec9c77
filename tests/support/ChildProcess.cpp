#include "support/ChildProcess.h"

#include "platform/Files.h"
#include "platform/Processes.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <vector>

ChildProcess::ChildProcess(const std::string& commandLine, const std::string& folder) {
    std::wstring command = Widen(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring wideFolder = Widen(folder);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : wideFolder.c_str(), &startup, &info)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << GetLastError();
        return;
    }
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
}

ChildProcess::~ChildProcess() {
    if (Running()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

bool ChildProcess::Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

DWORD ChildProcess::Wait(DWORD timeoutMs) {
    if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) {
        return STILL_ACTIVE;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

bool ChildProcess::WaitListed(DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    do {
        auto running = RunningProcesses();
        if (running) {
            for (const ProcessEntry& entry : *running) {
                if (entry.id == id_) {
                    return true;
                }
            }
        }
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

std::string RunAndCapture(const std::string& commandLine, DWORD timeoutMs, DWORD* exitCode) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        ADD_FAILURE() << "cannot create a pipe";
        return {};
    }
    KernelHandle reader(readEnd);
    KernelHandle writer(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    std::wstring command = Widen(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << GetLastError();
        return {};
    }
    CloseHandle(info.hThread);
    KernelHandle process(info.hProcess);
    writer.reset();
    std::string output;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(reader.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        output.append(buffer, got);
    }
    WaitForSingleObject(process.get(), timeoutMs);
    if (exitCode && !GetExitCodeProcess(process.get(), exitCode)) {
        *exitCode = STILL_ACTIVE;
    }
    return output;
}

std::string UnixPathOf(const std::string& windowsPath) {
    using UnixNameFn = char*(CDECL*)(LPCWSTR);
    auto toUnix = GetProcedure<UnixNameFn>(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (!toUnix) {
        return {};
    }
    char* name = toUnix(Widen(windowsPath).c_str());
    if (!name) {
        return {};
    }
    std::string path = name;
    HeapFree(GetProcessHeap(), 0, name);
    return path;
}

namespace {

bool WaitForPresence(const std::string& path, bool present, int timeoutMs = 10000) {
    for (int i = 0; i < timeoutMs / 50; ++i, Sleep(50)) {
        if ((GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES) == present) {
            return true;
        }
    }
    return false;
}

} // namespace

bool RunUnixShell(const std::string& command) {
    static int serial = 0;
    std::string marker = TempFolder() + "qv-unix-shell-" + std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(++serial) + ".done";
    std::string unixMarker = UnixPathOf(marker);
    if (unixMarker.empty()) {
        return false;
    }
    // Wine starts a Unix program when given one; "Z:" is the Unix root. The helper starts it, as
    // the handles Wine returns for a Unix child are not real ones.
    std::string quoted;
    for (char c : "(" + command + "); touch '" + unixMarker + "'") {
        if (c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    ChildProcess shell("\"" + TestProgramFolder() + "QvTestHelper.exe\" unix-shell Z:\\bin\\sh -c \"" + quoted + "\"");
    bool ended = WaitForPresence(marker, true, 30000);
    DeleteFileW(WidePath(marker).c_str());
    return ended;
}

bool MakeUnixSymlink(const std::string& target, const std::string& link) {
    std::string unixTarget = UnixPathOf(target);
    std::string unixLink = UnixPathOf(link);
    if (unixTarget.empty() || unixLink.empty() || !RunUnixShell("ln -s '" + unixTarget + "' '" + unixLink + "'")) {
        return false;
    }
    return WaitForPresence(link, true);
}

void RemoveUnixSymlink(const std::string& link) {
    std::string unixLink = UnixPathOf(link);
    if (!unixLink.empty() && RunUnixShell("rm '" + unixLink + "'")) {
        WaitForPresence(link, false);
    }
}

std::string TestProgramFolder() { return ExecutableDir(); }
