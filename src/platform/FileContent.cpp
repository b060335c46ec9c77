#include "platform/FileContent.h"

#include "platform/FileWrites.h"
#include "platform/Files.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int64_t kZeroBlockSize = 256 * 1024;

} // namespace

std::optional<uint8_t> ReadFirstByte(HANDLE file) {
    uint8_t byte = 0;
    DWORD read = 0;
    if (!RewindFile(file) || !ReadFile(file, &byte, 1, &read, nullptr) || read != 1) {
        return std::nullopt;
    }
    return byte;
}

bool OverwriteWithZeros(HANDLE file, int64_t length) {
    return RewindFile(file) && WriteZeros(file, length) && FlushFileBuffers(file) != FALSE;
}

bool WriteZeros(HANDLE file, int64_t count) {
    const std::vector<char> zeros(static_cast<size_t>(std::clamp<int64_t>(count, 0, kZeroBlockSize)));
    for (int64_t left = count; left > 0;) {
        const size_t block = static_cast<size_t>(std::min(left, kZeroBlockSize));
        if (WriteFull(file, zeros.data(), block) != block) {
            return false;
        }
        left -= static_cast<int64_t>(block);
    }
    return true;
}
