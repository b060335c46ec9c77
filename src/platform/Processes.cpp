#include "platform/Processes.h"

#include "platform/Handle.h"
#include "platform/Text.h"

#include <tlhelp32.h>

namespace {

using SnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using ProcessWalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32W*);

struct ToolHelp {
    SnapshotFn snapshot = nullptr;
    ProcessWalkFn first = nullptr;
    ProcessWalkFn next = nullptr;
};

const ToolHelp& LoadToolHelp() {
    static const ToolHelp functions = [] {
        ToolHelp t;
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        if (kernel) {
            t.snapshot = GetProcedure<SnapshotFn>(kernel, "CreateToolhelp32Snapshot");
            t.first = GetProcedure<ProcessWalkFn>(kernel, "Process32FirstW");
            t.next = GetProcedure<ProcessWalkFn>(kernel, "Process32NextW");
        }
        return t;
    }();
    return functions;
}

} // namespace

std::optional<std::vector<ProcessEntry>> RunningProcesses() {
    const ToolHelp& toolHelp = LoadToolHelp();
    if (!toolHelp.snapshot || !toolHelp.first || !toolHelp.next) {
        return std::nullopt;
    }
    // The snapshot handle is closed with CloseHandle and reports failure as INVALID_HANDLE_VALUE.
    FileHandle snapshot(toolHelp.snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return std::nullopt;
    }
    std::vector<ProcessEntry> processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = toolHelp.first(snapshot.get(), &entry); more; more = toolHelp.next(snapshot.get(), &entry)) {
        processes.push_back({entry.th32ProcessID, Narrow(entry.szExeFile)});
    }
    return processes;
}

bool TerminateProcessById(DWORD id, UINT exitCode) {
    KernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, id));
    return process && TerminateProcess(process.get(), exitCode);
}
