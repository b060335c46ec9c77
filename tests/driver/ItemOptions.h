// Options.ini texts for tests and benchmarks that run some erase items and no others.
#pragma once

#include "engine/EraseItems.h"

#include <set>
#include <string>
#include <utility>

// Options.ini with every erase item switched off except the given ones (section and key), in the
// run's order, then [Miscellaneous] with the given lines.
inline std::string OptionsWithOnly(const std::set<std::pair<std::string, std::string>>& on,
                                   const std::string& miscellaneous = "") {
    std::string text;
    std::string section;
    for (const EraseItem& item : kEraseItems) {
        if (section != item.section) {
            section = item.section;
            text += "[" + section + "]\r\n";
        }
        text += std::string(item.key) + "=" + (on.count({item.section, item.key}) ? "1" : "0") + "\r\n";
    }
    return text + "[Miscellaneous]\r\n" + miscellaneous;
}
