#include "platform/Files.h"

#include "platform/Handle.h"
#include "platform/Text.h"

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

bool ReadWholeFile(std::string_view path, std::string& bytes) {
    bytes.clear();
    FileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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

namespace {

DWORD WriteAll(HANDLE file, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!WriteFile(file, bytes.data() + done, want, &wrote, nullptr)) {
            return GetLastError();
        }
        if (wrote == 0) {
            return ERROR_WRITE_FAULT;
        }
        done += wrote;
    }
    return ERROR_SUCCESS;
}

} // namespace

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
        FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return GetLastError();
        }
        error = WriteAll(file.get(), bytes);
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
