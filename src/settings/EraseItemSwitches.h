// The erase-item switches of "Options.ini": one bool per built-in item, with the default that the
// erase-items dialog and the erase run both use when the key is missing.
#pragma once

#include "settings/OptionNames.h"

#include <cstddef>

struct EraseItemSwitch {
    const char* section;
    const char* key;
    bool defaultValue;
};

// In the order in which the dialog and the erase run read them.
constexpr EraseItemSwitch kEraseItemSwitches[] = {
    {kSectionIE, "Cache", true},
    {kSectionIE, "History", true},
    {kSectionIE, "Cookies", true},
    {kSectionIE, "AddressBarHistory", true},
    {kSectionIE, "AutoPassword", false},
    {kSectionIE, "AutoFormData", false},
    {kSectionIE, "IndexDat", true},
    {kSectionFirefox, "Cache", true},
    {kSectionFirefox, "Cookies", true},
    {kSectionFirefox, "AutoFormData", true},
    {kSectionFirefox, "History", true},
    {kSectionNetscape, "Cache", true},
    {kSectionNetscape, "Cookies", true},
    {kSectionNetscape, "AutoFormData", true},
    {kSectionNetscape, "History", true},
    {kSectionOpera, "Cache", true},
    {kSectionOpera, "Cookies", true},
    {kSectionOpera, "AddressBarHistory", true},
    {kSectionWindows, "RecycleBin", true},
    {kSectionWindows, "TempFolder", true},
    {kSectionWindows, "RecentDoc", true},
    {kSectionWindows, "RunMenu", false},
    {kSectionWindows, "SearchMenu", false},
    {kSectionWindows, "DialogHistory", true},
    {kSectionWindows, "ClipBoard", true},
    {kSectionWindows, "SwapFile", false},
};
constexpr size_t kEraseItemSwitchCount = sizeof kEraseItemSwitches / sizeof kEraseItemSwitches[0];
