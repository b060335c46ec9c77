// Files and folders through the W functions, with UTF-8 names.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The folder of the running executable, always ending in one backslash.
std::string ExecutableDir();

// Full path of the running executable.
std::string ExecutablePath();

// Reads the whole file into bytes. On failure returns false and leaves bytes empty;
// GetLastError() then tells why (ERROR_FILE_NOT_FOUND for a missing file).
bool ReadWholeFile(std::string_view path, std::string& bytes);

// Replaces the file's content with bytes, creating the file when it is missing. The bytes go to a
// new file that then takes the old one's place, so on failure the old content is still whole.
// Returns ERROR_SUCCESS, or the Windows error (ERROR_ACCESS_DENIED for a read-only file).
DWORD WriteWholeFile(std::string_view path, std::string_view bytes);

bool FileExists(std::string_view path);
bool FolderExists(std::string_view path);

// Windows' folder for temporary files, ending in a backslash.
std::string TempFolder();
