#include "platform/Processes.h"

#include "platform/Handle.h"
#include "platform/Text.h"

#include <restartmanager.h>
#include <tlhelp32.h>

#include <algorithm>

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

namespace {

// The user of the token's process; empty on failure.
std::vector<BYTE> TokenUserOf(HANDLE process) {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &opened)) {
        return {};
    }
    KernelHandle token(opened);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (size == 0 || !GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) {
        return {};
    }
    return user;
}

} // namespace

ProcessOwner OwnerOfProcess(DWORD id) {
    // The limited right (Windows Vista and later) reaches more processes; Windows XP refuses it as
    // an unknown right, and then takes the full one.
    constexpr DWORD kQueryLimitedInformation = 0x1000;
    KernelHandle process(OpenProcess(kQueryLimitedInformation, FALSE, id));
    if (!process) {
        process.reset(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id));
    }
    if (!process) {
        return ProcessOwner::Unknown;
    }
    std::vector<BYTE> theirs = TokenUserOf(process.get());
    std::vector<BYTE> ours = TokenUserOf(GetCurrentProcess());
    if (theirs.empty() || ours.empty()) {
        return ProcessOwner::Unknown;
    }
    PSID theirSid = reinterpret_cast<TOKEN_USER*>(theirs.data())->User.Sid;
    PSID ourSid = reinterpret_cast<TOKEN_USER*>(ours.data())->User.Sid;
    return EqualSid(theirSid, ourSid) ? ProcessOwner::ThisUser : ProcessOwner::OtherUser;
}

bool TerminateProcessById(DWORD id, UINT exitCode) {
    KernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, id));
    return process && TerminateProcess(process.get(), exitCode);
}

std::vector<std::string> ProgramsHoldingFile(const std::string& path) {
    using StartSession = DWORD(WINAPI*)(DWORD*, DWORD, WCHAR*);
    using EndSession = DWORD(WINAPI*)(DWORD);
    using RegisterResources = DWORD(WINAPI*)(DWORD, UINT, LPCWSTR*, UINT, RM_UNIQUE_PROCESS*, UINT, LPCWSTR*);
    using GetList = DWORD(WINAPI*)(DWORD, UINT*, UINT*, RM_PROCESS_INFO*, DWORD*);
    std::vector<std::string> names;
    Module restartManager(LoadLibraryW(L"rstrtmgr.dll"));
    if (!restartManager) {
        return names;
    }
    auto start = GetProcedure<StartSession>(restartManager.get(), "RmStartSession");
    auto end = GetProcedure<EndSession>(restartManager.get(), "RmEndSession");
    auto registerResources = GetProcedure<RegisterResources>(restartManager.get(), "RmRegisterResources");
    auto getList = GetProcedure<GetList>(restartManager.get(), "RmGetList");
    DWORD session = 0;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    if (!start || !end || !registerResources || !getList || start(&session, 0, key) != ERROR_SUCCESS) {
        return names;
    }
    const std::wstring wide = Widen(path);
    LPCWSTR files[] = {wide.c_str()};
    std::vector<RM_PROCESS_INFO> holders(8);
    UINT needed = 0;
    UINT count = static_cast<UINT>(holders.size());
    DWORD reasons = 0;
    if (registerResources(session, 1, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS &&
        getList(session, &needed, &count, holders.data(), &reasons) == ERROR_SUCCESS) {
        for (UINT i = 0; i < count && i < holders.size(); ++i) {
            std::string name = Narrow(holders[i].strAppName);
            if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
                names.push_back(name);
            }
        }
    }
    end(session);
    return names;
}
