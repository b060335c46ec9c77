#include "platform/UrlCache.h"

#include "platform/Handle.h"
#include "platform/Text.h"

#include <wininet.h>

#include <vector>

namespace {

struct UrlCacheFindTraits {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::FindCloseUrlCache(h); }
};
using UrlCacheFind = unique_handle<UrlCacheFindTraits>;

// The record and the strings it points into share one buffer; the cache tells its size in bytes.
using EntryBuffer = std::vector<unsigned char>;

INTERNET_CACHE_ENTRY_INFOA* Info(EntryBuffer& buffer) {
    return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
}

UrlCacheEntry ToEntry(const INTERNET_CACHE_ENTRY_INFOA& info) {
    UrlCacheEntry entry;
    if (info.lpszSourceUrlName) {
        entry.cacheKey = info.lpszSourceUrlName;
        entry.sourceUrl = AnsiToUtf8(entry.cacheKey);
    }
    if (info.lpszLocalFileName) {
        entry.localFile = AnsiToUtf8(info.lpszLocalFileName);
    }
    entry.type = info.CacheEntryType;
    entry.size = static_cast<int64_t>((static_cast<uint64_t>(info.dwSizeHigh) << 32) | info.dwSizeLow);
    return entry;
}

bool IsEndOfCache(DWORD error) { return error == ERROR_NO_MORE_ITEMS || error == ERROR_INVALID_PARAMETER; }

// How many entries in a row a walk passes by because the cache reported their size but would not
// hand them over. A cache that does not move past such an entry would otherwise be asked forever.
constexpr int kMaxEntriesPassedBy = 64;

// Asks for the next entry in the buffer as it stands (the last entry's), then again with the size
// the cache wants as long as it wants more: most entries fit the last one's buffer, and each asking
// costs the cache a look through its index. An entry the cache will not hand over is passed by,
// and the entry after it asked for. Returns ERROR_SUCCESS with the entry in buffer, or the error
// that ended the asking.
DWORD FetchNext(HANDLE find, EntryBuffer& buffer) {
    for (int passedBy = 0;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        if (FindNextUrlCacheEntryA(find, buffer.empty() ? nullptr : Info(buffer), &size)) {
            return buffer.empty() ? ERROR_INVALID_DATA : ERROR_SUCCESS;
        }
        DWORD error = GetLastError();
        if (error == ERROR_INSUFFICIENT_BUFFER && size > buffer.size()) {
            buffer.assign(size, 0);
            continue;
        }
        if (IsEndOfCache(error) || ++passedBy > kMaxEntriesPassedBy) {
            return error;
        }
    }
}

} // namespace

UrlCacheWalkEnd WalkUrlCache(const std::function<bool(const UrlCacheEntry&)>& visit) {
    EntryBuffer buffer;
    UrlCacheFind find;
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        find.reset(FindFirstUrlCacheEntryA(nullptr, buffer.empty() ? nullptr : Info(buffer), &size));
        if (find && !buffer.empty()) {
            break;
        }
        DWORD error = find ? ERROR_INVALID_DATA : GetLastError();
        find.reset();
        if (error != ERROR_INSUFFICIENT_BUFFER || size <= buffer.size()) {
            return IsEndOfCache(error) ? UrlCacheWalkEnd::Finished : UrlCacheWalkEnd::Failed;
        }
        buffer.assign(size, 0);
    }
    for (;;) {
        if (!visit(ToEntry(*Info(buffer)))) {
            return UrlCacheWalkEnd::Stopped;
        }
        DWORD error = FetchNext(find.get(), buffer);
        if (error != ERROR_SUCCESS) {
            return IsEndOfCache(error) ? UrlCacheWalkEnd::Finished : UrlCacheWalkEnd::Failed;
        }
    }
}

bool DeleteUrlCacheEntryOf(const UrlCacheEntry& entry) { return DeleteUrlCacheEntryA(entry.cacheKey.c_str()) != FALSE; }
