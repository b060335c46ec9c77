#include "support/Scratch.h"

#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

std::string UniqueName(const char* prefix) {
    static std::atomic<unsigned> counter{0};
    return std::string(prefix) + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) + "-" +
           std::to_string(counter++);
}

} // namespace

ScratchFolder::ScratchFolder() {
    path_ = TempFolder() + UniqueName("qvtest-") + "\\";
    CreateDirectoryW(WidePath(path_).c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

ScratchRegKey::ScratchRegKey() : path_("Software\\QuorvaleTests\\" + UniqueName("key-")) {
    CreateRegKey(HKEY_CURRENT_USER, path_);
}

ScratchRegKey::~ScratchRegKey() { DeleteRegTree(HKEY_CURRENT_USER, path_); }

void WriteFileText(const std::string& path, std::string_view bytes) {
    DWORD error = WriteWholeFile(path, bytes);
    if (error != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot write " << path << ": error " << error;
    }
}

std::string ReadFileText(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        ADD_FAILURE() << "cannot read " << path << ": error " << GetLastError();
    }
    return bytes;
}

std::string WindowsPathOf(std::string path) {
    if (!path.empty() && path.front() == '/') {
        path = "Z:" + path;
        for (auto& c : path) {
            if (c == '/') {
                c = '\\';
            }
        }
    }
    return path;
}

void MakeFolders(const std::string& folder) {
    for (size_t slash = folder.find('\\', 3); slash != std::string::npos; slash = folder.find('\\', slash + 1)) {
        CreateFolder(folder.substr(0, slash));
    }
    CreateFolder(folder);
}

bool RemoveTree(const std::string& path) {
    std::string folder = path;
    if (!folder.empty() && folder.back() != '\\') {
        folder += '\\';
    }
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(WidePath(folder + "*").c_str(), &data));
    if (find) {
        do {
            std::string name = Narrow(data.cFileName);
            if (name == "." || name == "..") {
                continue;
            }
            std::wstring child = WidePath(folder + name);
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTree(folder + name);
            } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                // A folder link is left alone: under Wine removing it can remove its target.
                continue;
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find.get(), &data));
    }
    find.reset();
    return RemoveDirectoryW(WidePath(folder).c_str()) != FALSE;
}
