// What the Windows and browser item tests share: files of a given size, the counters at known
// values, and the helper program started as another process (and, from support/Overrides.h,
// environment variables and registry keys set for one test and put back afterwards).
#pragma once

#include "engine/RunState.h"
#include "gate/ErasePlan.h"
#include "platform/FileWrites.h"
#include "platform/Files.h"
#include "platform/Handle.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "support/Overrides.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

// A file of size bytes (its folder created as needed). A size beyond what is written is set as the
// file's length, which leaves it sparse.
inline void MakeFile(const std::string& path, int64_t size) {
    MakeFolders(FolderOf(path));
    FileHandle file(
        CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << "cannot create " << path;
    if (size <= (1 << 20)) {
        std::string bytes(static_cast<size_t>(size), 'x');
        ASSERT_EQ(WriteFull(file.get(), bytes.data(), bytes.size()), bytes.size());
        return;
    }
    LARGE_INTEGER end;
    end.QuadPart = size;
    ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
}

// Sets the six counters of the erase run to known values, so a test sees what an item changed.
inline void SetCounters(int64_t files, int64_t bytes, int64_t registry, int64_t totalFiles, int64_t totalBytes,
                        int64_t totalRegistry) {
    ErasedFileCount = files;
    ReleasedByteCount = bytes;
    ErasedRegistryCount = registry;
    TotalErasedFileCount = totalFiles;
    TotalReleasedByteCount = totalBytes;
    TotalErasedRegistryCount = totalRegistry;
}

// The helper program (tests/helpers/QvTestHelper.cpp) beside the test program.
inline std::string ItemHelperPath() { return ExecutableDir() + "QvTestHelper.exe"; }

// What the helper exits with when "wait" ran out instead of being terminated.
constexpr DWORD kHelperNotTerminated = 3;

// Starts exe with the arguments and no window. Empty when it could not be started.
inline KernelHandle StartProcess(const std::string& exe, const std::string& arguments) {
    std::wstring command = L"\"" + Widen(exe) + L"\" " + Widen(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &info)) {
        return KernelHandle();
    }
    CloseHandle(info.hThread);
    return KernelHandle(info.hProcess);
}

// The exit code once the process has ended within timeoutMs; nullopt while it still runs.
inline std::optional<DWORD> ExitCodeWithin(HANDLE process, DWORD timeoutMs) {
    DWORD code = 0;
    if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0 || !GetExitCodeProcess(process, &code)) {
        return std::nullopt;
    }
    return code;
}

// Fills a key under HKEY_CURRENT_USER with the named values (all "x").
inline void FillKey(const std::string& path, std::initializer_list<const char*> names) {
    RegKey key = CreateRegKey(HKEY_CURRENT_USER, path);
    for (const char* name : names) {
        SetRegString(key.get(), name, "x");
    }
}

// How many values the key under HKEY_CURRENT_USER holds (0 when it is missing).
inline size_t ValueCount(const std::string& path) {
    RegKey key = OpenRegKey(HKEY_CURRENT_USER, path);
    return key ? RegValueNames(key.get()).size() : 0;
}

// What a preview of the item finds, each entry as "<kind> <what>".
template <typename Item> std::vector<std::string> PreviewedValues(Item item) {
    BeginFindingPlan();
    BeginPlanGroup("item");
    item();
    std::vector<std::string> values;
    for (const PlanGroup& group : EndFindingPlan()) {
        for (const PlanEntry& entry : group.entries) {
            values.push_back(std::to_string(entry.kind) + " " + entry.what);
        }
    }
    return values;
}
