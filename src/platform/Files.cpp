#include "platform/Files.h"

#include "platform/FileWrites.h"
#include "platform/Handle.h"
#include "platform/Text.h"

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <vector>

std::string ExecutablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) {
            return {};
        }
        if (n < buffer.size()) {
            return Narrow(std::wstring_view(buffer.data(), n));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string ExecutableDir() {
    std::string path = ExecutablePath();
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".\\") : path.substr(0, slash + 1);
}

std::string FullPathOf(std::string_view path) {
    const std::wstring wide = Widen(path);
    DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return std::string(path);
    }
    std::wstring full(needed, L'\0');
    DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return std::string(path);
    }
    full.resize(length);
    return Narrow(full);
}

bool ReadWholeFile(std::string_view path, std::string& bytes) {
    bytes.clear();
    // Shares every access, so that reading never stands in the way of a program writing, renaming
    // or deleting the file (a wipe holds its file with the right to rename and delete it).
    FileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    char chunk[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) {
            DWORD error = GetLastError();
            bytes.clear();
            SetLastError(error);
            return false;
        }
        if (got == 0) {
            return true;
        }
        bytes.append(chunk, got);
    }
}

DWORD WriteWholeFile(std::string_view path, std::string_view bytes) {
    std::wstring target = WidePath(path);
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        return ERROR_ACCESS_DENIED;
    }
    // The new content goes to a file beside the old one and replaces it in one step, so a failed
    // or interrupted write leaves the old content whole.
    std::wstring temporary = target + L".new~";
    DWORD error = ERROR_SUCCESS;
    {
        FileHandle file(
            CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return GetLastError();
        }
        if (WriteFull(file.get(), bytes.data(), bytes.size()) != bytes.size()) {
            error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WRITE_FAULT;
        }
        if (error == ERROR_SUCCESS && !FlushFileBuffers(file.get())) {
            error = GetLastError();
        }
    }
    if (error == ERROR_SUCCESS &&
        !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
    }
    if (error != ERROR_SUCCESS) {
        DeleteFileW(temporary.c_str());
    }
    return error;
}

bool FileExists(std::string_view path) {
    DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(std::string_view path) {
    DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string TempFolder() {
    wchar_t buffer[MAX_PATH + 2];
    DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH + 1) {
        return {};
    }
    return Narrow(std::wstring_view(buffer, n));
}

std::vector<FolderEntry> ListFolder(std::string_view pattern) {
    bool searched = false;
    return ListFolder(pattern, searched);
}

std::vector<FolderEntry> ListFolder(std::string_view pattern, bool& searched) {
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(WidePath(pattern).c_str(), &data));
    searched = static_cast<bool>(find);
    if (!find) {
        return entries;
    }
    do {
        if (std::wcscmp(data.cFileName, L".") == 0 || std::wcscmp(data.cFileName, L"..") == 0) {
            continue;
        }
        int64_t size = (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entries.push_back({Narrow(data.cFileName), data.dwFileAttributes, size});
    } while (FindNextFileW(find.get(), &data));
    return entries;
}

DWORD GetAttributes(std::string_view path) { return GetFileAttributesW(WidePath(path).c_str()); }

bool SetAttributes(std::string_view path, DWORD attributes) {
    return SetFileAttributesW(WidePath(path).c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL) != FALSE;
}

void ClearGuardingAttributes(std::string_view path, DWORD knownAttributes) {
    constexpr DWORD kGuarding = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (knownAttributes != INVALID_FILE_ATTRIBUTES && (knownAttributes & kGuarding)) {
        SetAttributes(path, 0);
    }
}

bool DeleteFileAt(std::string_view path) { return DeleteFileW(WidePath(path).c_str()) != FALSE; }

bool RemoveFolder(std::string_view path) { return RemoveDirectoryW(WidePath(path).c_str()) != FALSE; }

bool LinkFile(std::string_view existing, std::string_view link) {
    return CreateHardLinkW(WidePath(link).c_str(), WidePath(existing).c_str(), nullptr) != FALSE;
}

bool RenameFile(std::string_view from, std::string_view to) {
    return MoveFileW(WidePath(from).c_str(), WidePath(to).c_str()) != FALSE;
}

bool CreateFolder(std::string_view path) { return CreateDirectoryW(WidePath(path).c_str(), nullptr) != FALSE; }

namespace {

std::optional<int64_t> SizeOfOpened(std::string_view path, DWORD access, DWORD sharing) {
    FileHandle file(
        CreateFileW(WidePath(path).c_str(), access, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.get(), &size)) {
        return std::nullopt;
    }
    return size.QuadPart;
}

} // namespace

std::optional<int64_t> FileSizeByOpening(std::string_view path) {
    return SizeOfOpened(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
}

FileHandle OpenForReading(std::string_view path) {
    return FileHandle(CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::optional<int64_t> FileSizeByReading(std::string_view path) {
    return SizeOfOpened(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
}

std::string WithTrailingBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') {
        folder += '\\';
    }
    return folder;
}

std::string WithoutTrailingBackslash(std::string path) {
    if (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '\\') {
        path += '\\';
    }
    return path.append(name);
}

std::string FolderOf(std::string_view path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string NameOf(std::string_view path) {
    size_t slash = path.find_last_of('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

FileHandle OpenForOverwrite(std::string_view path) {
    return FileHandle(CreateFileW(WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
}

FileHandle OpenForOverwriteAndDelete(std::string_view path) {
    return FileHandle(CreateFileW(WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
}

namespace {

// What ntdll takes to rename an open file; Windows XP has no documented call for it.
struct UnicodeString {
    USHORT Length;
    USHORT MaximumLength;
    PWSTR Buffer;
};
struct IoStatusBlock {
    union {
        LONG Status;
        PVOID Pointer;
    };
    ULONG_PTR Information;
};
struct FileRenameInformation {
    BOOLEAN ReplaceIfExists;
    HANDLE RootDirectory;
    ULONG FileNameLength;
    WCHAR FileName[1];
};
constexpr int kFileRenameInformationClass = 10;
constexpr int kFileDispositionInformationClass = 13;

using NtSetInformationFileFn = LONG(WINAPI*)(HANDLE, IoStatusBlock*, PVOID, ULONG, int);
using RtlDosPathNameToNtPathNameFn = BOOLEAN(WINAPI*)(PCWSTR, UnicodeString*, PCWSTR*, PVOID);
using RtlFreeUnicodeStringFn = void(WINAPI*)(UnicodeString*);
using RtlNtStatusToDosErrorFn = ULONG(WINAPI*)(LONG);

struct NtFileCalls {
    NtSetInformationFileFn setInformation = nullptr;
    RtlDosPathNameToNtPathNameFn toNtPath = nullptr;
    RtlFreeUnicodeStringFn freeString = nullptr;
    RtlNtStatusToDosErrorFn toDosError = nullptr;

    NtFileCalls() {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        if (ntdll) {
            setInformation = GetProcedure<NtSetInformationFileFn>(ntdll, "NtSetInformationFile");
            toNtPath = GetProcedure<RtlDosPathNameToNtPathNameFn>(ntdll, "RtlDosPathNameToNtPathName_U");
            freeString = GetProcedure<RtlFreeUnicodeStringFn>(ntdll, "RtlFreeUnicodeString");
            toDosError = GetProcedure<RtlNtStatusToDosErrorFn>(ntdll, "RtlNtStatusToDosError");
        }
    }
    bool Available() const { return setInformation && toNtPath && freeString && toDosError; }

    // Sets one information class on the file; false with the Windows error set on failure.
    bool Set(HANDLE file, void* information, ULONG size, int informationClass) const {
        IoStatusBlock status{};
        LONG result = setInformation(file, &status, information, size, informationClass);
        if (result < 0) {
            SetLastError(toDosError(result));
            return false;
        }
        return true;
    }
};

const NtFileCalls& NtFile() {
    static const NtFileCalls calls;
    return calls;
}

} // namespace

bool RenameOpenFile(HANDLE file, std::string_view newPath) {
    const NtFileCalls& nt = NtFile();
    if (!nt.Available()) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return false;
    }
    UnicodeString ntPath{};
    if (!nt.toNtPath(WidePath(newPath).c_str(), &ntPath, nullptr, nullptr)) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    std::vector<BYTE> buffer(offsetof(FileRenameInformation, FileName) + ntPath.Length);
    auto* rename = reinterpret_cast<FileRenameInformation*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = ntPath.Length;
    std::memcpy(rename->FileName, ntPath.Buffer, ntPath.Length);
    nt.freeString(&ntPath);
    return nt.Set(file, rename, static_cast<ULONG>(buffer.size()), kFileRenameInformationClass);
}

bool DeleteWhenClosed(HANDLE file) {
    const NtFileCalls& nt = NtFile();
    if (!nt.Available()) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return false;
    }
    BOOLEAN deleteFile = TRUE;
    return nt.Set(file, &deleteFile, sizeof deleteFile, kFileDispositionInformationClass);
}

int64_t FileLength(HANDLE file) {
    LARGE_INTEGER size;
    return GetFileSizeEx(file, &size) ? size.QuadPart : -1;
}

bool RewindFile(HANDLE file) {
    LARGE_INTEGER zero{};
    return SetFilePointerEx(file, zero, nullptr, FILE_BEGIN) != FALSE;
}

bool TruncateAtPosition(HANDLE file) { return SetEndOfFile(file) != FALSE; }

bool MoveFilePosition(HANDLE file, int64_t offset) {
    LARGE_INTEGER position;
    position.QuadPart = offset;
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != FALSE;
}

FileHandle OpenForRewrite(std::string_view path) {
    return FileHandle(CreateFileW(WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

DWORD AttributesOfOpenFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information;
    return GetFileInformationByHandle(file, &information) ? information.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

std::optional<DWORD> LinkCountOfOpenFile(HANDLE file) {
    // GetFileInformationByHandle also asks for the volume's serial number, which Wine answers with a
    // trip to its mount manager, another process, for every file; the standard information the
    // count comes with needs none. Windows XP has only the first.
    struct StandardInfo { // FILE_STANDARD_INFO
        LARGE_INTEGER allocationSize;
        LARGE_INTEGER endOfFile;
        DWORD numberOfLinks;
        BOOLEAN deletePending;
        BOOLEAN directory;
    };
    constexpr int kFileStandardInfo = 1;
    using InformationQuery = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
    static const auto query =
        GetProcedure<InformationQuery>(GetModuleHandleW(L"kernel32.dll"), "GetFileInformationByHandleEx");
    if (query) {
        StandardInfo standard{};
        if (!query(file, kFileStandardInfo, &standard, sizeof standard)) {
            return std::nullopt;
        }
        return standard.numberOfLinks;
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(file, &information)) {
        return std::nullopt;
    }
    return information.nNumberOfLinks;
}

std::string LongPathOf(const std::string& path) {
    // The longest existing part, made long; the rest appended as it stands.
    std::string existing = WithoutTrailingBackslash(path);
    std::string rest;
    while (!existing.empty() && GetAttributes(existing) == INVALID_FILE_ATTRIBUTES) {
        const size_t slash = existing.rfind('\\');
        if (slash == std::string::npos || slash < 2) {
            return path;
        }
        rest = existing.substr(slash) + rest;
        existing.resize(slash);
    }
    const std::wstring wide = WidePath(existing);
    const DWORD needed = GetLongPathNameW(wide.c_str(), nullptr, 0);
    if (needed == 0) {
        return path;
    }
    std::wstring longName(needed, L'\0');
    const DWORD length = GetLongPathNameW(wide.c_str(), longName.data(), needed);
    if (length == 0 || length >= needed) {
        return path;
    }
    longName.resize(length);
    std::string result = Narrow(longName);
    // The long-path prefix WidePath may have added comes back in the answer.
    if (result.rfind("\\\\?\\UNC\\", 0) == 0) {
        result = "\\\\" + result.substr(8);
    } else if (result.rfind("\\\\?\\", 0) == 0) {
        result = result.substr(4);
    }
    return result + rest + (path.size() > 3 && path.back() == '\\' ? "\\" : "");
}

std::optional<FileIdentity> IdentityOf(std::string_view path) {
    FileHandle handle(CreateFileW(WidePath(path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!handle || !GetFileInformationByHandle(handle.get(), &information) ||
        (information.nFileIndexHigh == 0 && information.nFileIndexLow == 0)) {
        return std::nullopt;
    }
    return FileIdentity{information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
}
