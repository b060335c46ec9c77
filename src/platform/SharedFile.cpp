#include "platform/SharedFile.h"

#include "platform/Text.h"

#include <algorithm>
#include <vector>

namespace {

constexpr DWORD kZeroBlockSize = 64 * 1024;

} // namespace

SharedFile::SharedFile(std::string_view path)
    : handle_(CreateFileW(WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}

std::optional<int64_t> SharedFile::Length() const {
    LARGE_INTEGER size;
    if (!handle_ || !GetFileSizeEx(handle_.get(), &size)) {
        return std::nullopt;
    }
    return size.QuadPart;
}

bool SharedFile::SeekToStart() {
    LARGE_INTEGER zero{};
    return SetFilePointerEx(handle_.get(), zero, nullptr, FILE_BEGIN) != FALSE;
}

std::optional<uint8_t> SharedFile::FirstByte() {
    uint8_t byte = 0;
    DWORD read = 0;
    if (!handle_ || !SeekToStart() || !ReadFile(handle_.get(), &byte, 1, &read, nullptr) || read != 1) {
        return std::nullopt;
    }
    return byte;
}

bool SharedFile::OverwriteWithZeros(int64_t length) {
    if (!handle_ || !SeekToStart()) {
        return false;
    }
    const std::vector<char> zeros(static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(length, 0), kZeroBlockSize)));
    int64_t left = length;
    while (left > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<int64_t>(left, kZeroBlockSize));
        DWORD written = 0;
        if (!WriteFile(handle_.get(), zeros.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        left -= written;
    }
    return FlushFileBuffers(handle_.get()) != FALSE;
}

bool SharedFile::Truncate() {
    return handle_ && SeekToStart() && SetEndOfFile(handle_.get()) != FALSE;
}
