// Writing files in large blocks: create, write whole blocks, flush.
#pragma once

#include "platform/Handle.h"

#include <cstddef>
#include <string_view>

// Creates the file, or truncates it when it exists, for writing; others may read it meanwhile.
// Returns an empty handle on failure, with GetLastError() telling why.
FileHandle CreateFileForWriting(std::string_view path);

// Writes all size bytes at the file position, looping over partial writes. Returns how many were
// written: fewer than size when a write fails or writes nothing (a full disk), GetLastError() then
// telling why.
size_t WriteFull(HANDLE file, const void* data, size_t size);

// Sends what the system still caches of the file to the disk. Returns false on failure.
bool FlushFileToDisk(HANDLE file);
