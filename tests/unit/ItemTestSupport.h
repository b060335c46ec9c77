// What the Windows and browser item tests share: environment variables and registry keys set for
// one test and put back afterwards, files of a given size, the counters at known values, and the
// helper program started as another process.
#pragma once

#include "engine/RunState.h"
#include "platform/FileWrites.h"
#include "platform/Files.h"
#include "platform/Handle.h"
#include "platform/Registry.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// Sets (or, with nullopt, removes) an environment variable of this process until destroyed.
class EnvironmentOverride {
public:
    EnvironmentOverride(const char* name, const std::optional<std::string>& value) : name_(Widen(name)) {
        DWORD needed = GetEnvironmentVariableW(name_.c_str(), nullptr, 0);
        if (needed > 0) {
            std::wstring old(needed, L'\0');
            old.resize(GetEnvironmentVariableW(name_.c_str(), old.data(), needed));
            saved_ = old;
        }
        SetEnvironmentVariableW(name_.c_str(), value ? Widen(*value).c_str() : nullptr);
    }
    ~EnvironmentOverride() { SetEnvironmentVariableW(name_.c_str(), saved_ ? saved_->c_str() : nullptr); }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
    std::wstring name_;
    std::optional<std::wstring> saved_;
};

// A registry key tree as it stood when constructed (or its absence), put back when destroyed, so a
// test may fill or remove the real keys that Windows and the items use.
class RegistryTreeRestore {
public:
    RegistryTreeRestore(HKEY root, std::string path) : root_(root), path_(std::move(path)) {
        if (RegKey key = OpenRegKey(root_, path_)) {
            saved_ = Capture(key.get());
        }
    }
    ~RegistryTreeRestore() {
        DeleteRegTree(root_, path_);
        if (saved_) {
            Rebuild(root_, path_, *saved_);
        }
    }
    RegistryTreeRestore(const RegistryTreeRestore&) = delete;
    RegistryTreeRestore& operator=(const RegistryTreeRestore&) = delete;

private:
    struct Value {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };
    struct Tree {
        std::vector<Value> values;
        std::vector<std::pair<std::string, Tree>> children;
    };

    static Tree Capture(HKEY key) {
        Tree tree;
        for (const auto& name : RegValueNames(key)) {
            Value value{Widen(name), 0, {}};
            DWORD size = 0;
            RegQueryValueExW(key, value.name.c_str(), nullptr, &value.type, nullptr, &size);
            value.data.resize(size);
            RegQueryValueExW(key, value.name.c_str(), nullptr, &value.type, value.data.data(), &size);
            tree.values.push_back(std::move(value));
        }
        for (const auto& name : RegSubKeyNames(key)) {
            if (RegKey child = OpenRegKey(key, name)) {
                tree.children.emplace_back(name, Capture(child.get()));
            }
        }
        return tree;
    }
    static void Rebuild(HKEY parent, const std::string& path, const Tree& tree) {
        RegKey key = CreateRegKey(parent, path);
        if (!key) {
            ADD_FAILURE() << "cannot restore registry key " << path;
            return;
        }
        for (const auto& value : tree.values) {
            RegSetValueExW(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                           static_cast<DWORD>(value.data.size()));
        }
        for (const auto& [name, child] : tree.children) {
            Rebuild(key.get(), name, child);
        }
    }

    HKEY root_;
    std::string path_;
    std::optional<Tree> saved_;
};

// Creates the folder and its missing parents.
inline void MakeFolders(const std::string& folder) {
    for (size_t slash = folder.find('\\', 3); slash != std::string::npos; slash = folder.find('\\', slash + 1)) {
        CreateFolder(folder.substr(0, slash));
    }
    CreateFolder(folder);
}

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
inline std::string ItemHelperPath() {
    return ExecutableDir() + "QvTestHelper.exe";
}

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
