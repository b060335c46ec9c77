#include "platform/FileWrites.h"

#include "platform/Text.h"

FileHandle CreateFileForWriting(std::string_view path) {
    return FileHandle(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

DWORD WriteFull(HANDLE file, const void* data, DWORD size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    DWORD total = 0;
    while (total < size) {
        DWORD written = 0;
        if (!WriteFile(file, bytes + total, size - total, &written, nullptr) || written == 0) {
            break;
        }
        total += written;
    }
    return total;
}

bool FlushFileToDisk(HANDLE file) { return FlushFileBuffers(file) != FALSE; }
