// Scratch places for tests: a folder under the temp folder and a registry key under
// HKEY_CURRENT_USER, each removed with everything in it when the test ends.
#pragma once

#include "platform/Handle.h"

#include <string>
#include <string_view>

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, ending in a backslash.
    const std::string& Path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + std::string(name); }

private:
    std::string path_;
};

class ScratchRegKey {
public:
    ScratchRegKey();
    ~ScratchRegKey();
    ScratchRegKey(const ScratchRegKey&) = delete;
    ScratchRegKey& operator=(const ScratchRegKey&) = delete;

    // Path below HKEY_CURRENT_USER, without a leading backslash.
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Whole-file helpers for tests; they fail the current test when the file cannot be written or read.
void WriteFileText(const std::string& path, std::string_view bytes);
std::string ReadFileText(const std::string& path);

// A path as Windows sees it: a Unix path (as the build gives them) is reached through drive Z:.
std::string WindowsPathOf(std::string path);

// Creates the folder and its missing parents.
void MakeFolders(const std::string& folder);

// Deletes a folder tree (read-only files included). Returns false when anything is left.
bool RemoveTree(const std::string& path);
