// Internet Explorer's URL cache (temporary Internet files and cookies) through WinINet: walk the
// entries, delete one. WinINet keeps its index in the ANSI code page, so the A calls are its own form.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// The entry type flag that marks a cookie.
constexpr DWORD kCookieCacheEntryFlag = 0x00100000;

struct UrlCacheEntry {
    std::string sourceUrl; // UTF-8
    std::string localFile; // UTF-8 path of the cached copy; "" when the entry has none
    DWORD type = 0;        // CacheEntryType flags
    int64_t size = 0;      // high half * 2^32 + low half
    std::string cacheKey;  // the source URL in the cache's own bytes, for DeleteUrlCacheEntryOf

    bool IsCookie() const { return (type & kCookieCacheEntryFlag) != 0; }
};

enum class UrlCacheWalkEnd {
    Finished, // no more entries (ERROR_NO_MORE_ITEMS or ERROR_INVALID_PARAMETER), an empty cache included
    Stopped,  // visit returned false
    Failed,   // the enumeration failed with another error
};

// Visits every entry of the URL cache in the cache's order (no search pattern). Each entry is asked
// for with the last entry's buffer first, then with a buffer of the size the cache reported; an
// entry that then cannot be fetched is passed by and the walk goes on (Failed only after many such
// entries in a row). visit returns false to end the walk before the next entry is asked for.
// Entries may be deleted while the walk runs.
UrlCacheWalkEnd WalkUrlCache(const std::function<bool(const UrlCacheEntry&)>& visit);

// DeleteUrlCacheEntryA: removes the entry from the index and its local file from the disk.
// Returns false when the cache refused; GetLastError() then tells why.
bool DeleteUrlCacheEntryOf(const UrlCacheEntry& entry);
