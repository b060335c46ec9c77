// What the keep-list dialogs offer on their left: the cookies in Internet Explorer's URL cache and
// the typed addresses Windows keeps, less the entries already kept.
#pragma once

#include <string>
#include <vector>

// The file name (without folder) of the local file of every cookie entry of the URL cache, in the
// cache's order; two cookies whose files have the same name give the name twice.
std::vector<std::string> CachedCookieFileNames();

// The text of every text value under the user's typed-address key, in the registry's order; empty
// when the key is missing.
std::vector<std::string> TypedAddresses();

// The found entries that equal no kept entry (exact comparison, with case), in their order.
std::vector<std::string> EntriesNotKept(const std::vector<std::string>& found, const std::vector<std::string>& kept);
