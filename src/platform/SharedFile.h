// A file opened for reading and writing while other programs may read and write it too: the
// in-place overwrites of browser files that the browser (or WinINet in this very process) holds open.
#pragma once

#include "platform/Handle.h"

#include <cstdint>
#include <optional>
#include <string_view>

class SharedFile {
public:
    // Opens an existing file with read and write sharing. Nothing is created; attributes stay as
    // they are, so a read-only file does not open. Check IsOpen(); GetLastError() tells why not.
    explicit SharedFile(std::string_view path);

    bool IsOpen() const { return static_cast<bool>(handle_); }

    // The length in bytes; nullopt when the file is not open or the length cannot be read.
    std::optional<int64_t> Length() const;

    // The byte at offset 0; nullopt when the file is empty, not open or cannot be read.
    std::optional<uint8_t> FirstByte();

    // Writes zero bytes over [0, length) in large blocks, then flushes them to the disk. Returns
    // false when a write fails or writes nothing; what was written before stays written.
    bool OverwriteWithZeros(int64_t length);

    // Sets the length to 0. Returns false on failure (a file mapped into memory refuses).
    bool Truncate();

    // Closes the file now (the destructor closes it otherwise).
    void Close() { handle_.reset(); }

private:
    bool SeekToStart();

    FileHandle handle_;
};
