#include "settings/KeepListSources.h"

#include "engine/InternetExplorer.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/UrlCache.h"

#include <algorithm>

std::vector<std::string> CachedCookieFileNames() {
    std::vector<std::string> names;
    WalkUrlCache([&names](const UrlCacheEntry& entry) {
        if (entry.IsCookie()) {
            names.push_back(NameOf(entry.localFile));
        }
        return true;
    });
    return names;
}

std::vector<std::string> TypedAddresses() {
    std::vector<std::string> addresses;
    RegKey key = OpenRegKey(HKEY_CURRENT_USER, kTypedUrlsKey);
    if (!key) {
        return addresses;
    }
    for (const auto& name : RegValueNames(key.get())) {
        if (auto text = GetRegString(key.get(), name)) {
            addresses.push_back(*text);
        }
    }
    return addresses;
}

std::vector<std::string> EntriesNotKept(const std::vector<std::string>& found, const std::vector<std::string>& kept) {
    std::vector<std::string> left;
    for (const auto& entry : found) {
        if (std::find(kept.begin(), kept.end(), entry) == kept.end()) {
            left.push_back(entry);
        }
    }
    return left;
}
