// Reading and zeroing the content of a file opened with OpenForOverwrite (Files.h): the in-place
// pass of zeros that browser cache and index files get.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

// The byte at offset 0 (the file position moves); nullopt when the file is empty or cannot be read.
std::optional<uint8_t> ReadFirstByte(HANDLE file);

// Writes zero bytes over [0, length) in large blocks, then flushes them to the disk. Returns false
// when a write or the flush fails; what was written before stays written.
bool OverwriteWithZeros(HANDLE file, int64_t length);
// Writes count zero bytes at the file position, in large blocks, without flushing. Returns false
// when a write fails; what was written before stays written.
bool WriteZeros(HANDLE file, int64_t count);
