#include "store/OptionTexts.h"

#include "store/OptionNames.h"

std::vector<std::string> ReadKeepList(const OptionsStore& store, std::string_view section) {
    std::vector<std::string> entries;
    for (const auto& line : store.GetSectionEntries(section)) {
        size_t eq = line.find('=');
        entries.push_back(eq == std::string::npos ? std::string() : line.substr(eq + 1));
    }
    return entries;
}

void WriteKeepList(OptionsStore& store, std::string_view section, const std::vector<std::string>& entries) {
    store.RemoveSection(section);
    for (size_t i = 0; i < entries.size(); ++i) {
        store.PutText(section, std::to_string(i), entries[i]);
    }
}

BossKeyEntry BossKeyEntry::FromLine(std::string_view line) {
    BossKeyEntry entry;
    size_t eq = line.find('=');
    entry.displayName = std::string(line.substr(0, eq));
    entry.hide = eq != std::string_view::npos && eq + 1 < line.size() && line[eq + 1] == '1';
    size_t comma = line.find(',');
    entry.className = comma == std::string_view::npos ? std::string() : std::string(line.substr(comma + 1));
    return entry;
}

std::vector<BossKeyEntry> ReadBossKeyEntries(const OptionsStore& store) {
    std::vector<BossKeyEntry> entries;
    for (const auto& line : store.GetSectionEntries(kSectionBossKeyHiddenPrograms)) {
        entries.push_back(BossKeyEntry::FromLine(line));
    }
    return entries;
}

void WriteBossKeyFlag(OptionsStore& store, std::string_view displayName, bool hide) {
    std::string value = store.GetText(kSectionBossKeyHiddenPrograms, displayName, "");
    std::string rest = value.size() > 2 ? value.substr(2) : std::string();
    store.PutText(kSectionBossKeyHiddenPrograms, displayName, (hide ? "1," : "0,") + rest);
}
