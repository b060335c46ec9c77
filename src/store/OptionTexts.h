// The text forms kept in "Options.ini": keep lists and boss-key program entries.
#pragma once

#include "store/OptionsStore.h"

#include <string>
#include <string_view>
#include <vector>

// A keep list ("IECookies", "IEAddressBar"): the entries are the texts after the first "=" of each
// line of the section, in file order; the keys are not used.
std::vector<std::string> ReadKeepList(const OptionsStore& store, std::string_view section);
// Removes the section, then writes the entries numbered "0", "1", ... (an empty list leaves no section).
void WriteKeepList(OptionsStore& store, std::string_view section, const std::vector<std::string>& entries);

// One line of "BossKeyHiddenPrograms": display name=flag,class name.
struct BossKeyEntry {
    std::string displayName; // text before the first "="
    bool hide = false;       // the character right after that "=" is "1"
    std::string className;   // text after the first "," of the line

    static BossKeyEntry FromLine(std::string_view line);
};

std::vector<BossKeyEntry> ReadBossKeyEntries(const OptionsStore& store);
// Rewrites the flag of one entry, keeping the rest of its value (the old flag and comma dropped).
void WriteBossKeyFlag(OptionsStore& store, std::string_view displayName, bool hide);
