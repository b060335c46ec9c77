#include "platform/FileWrites.h"

#include "platform/Text.h"

#include <algorithm>

FileHandle CreateFileForWriting(std::string_view path) {
    return FileHandle(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

size_t WriteFull(HANDLE file, const void* data, size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    size_t total = 0;
    while (total < size) {
        DWORD written = 0;
        DWORD want = static_cast<DWORD>(std::min<size_t>(size - total, 1u << 30));
        if (!WriteFile(file, bytes + total, want, &written, nullptr) || written == 0) {
            break;
        }
        total += written;
    }
    return total;
}

bool FlushFileToDisk(HANDLE file) { return FlushFileBuffers(file) != FALSE; }
