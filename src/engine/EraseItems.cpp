#include "engine/EraseItems.h"

#include "engine/FolderWipe.h"
#include "engine/InternetExplorer.h"
#include "engine/OtherBrowsers.h"
#include "engine/WindowsItems.h"
#include "store/OptionNames.h"

namespace {

using Context = EraseRunContext;

void EmptyRecycleBinItem(const Context& c) {
    if (!EmptyRecycleBin()) {
        c.failed = true;
    }
}

} // namespace

// clang-format off
const EraseItem kEraseItems[kEraseItemCount] = {
    {kSectionIE, "Cache", true, "Erasing Internet Explorer Cache ...", nullptr, false,
     [](const Context& c) { EraseIECache(c.log); }},
    {kSectionIE, "History", true, "Erasing Internet Explorer History ...", nullptr, false,
     [](const Context&) { EraseIEHistory(); }},
    {kSectionIE, "Cookies", true, "Erasing Internet Explorer Cookies ...", nullptr, false,
     [](const Context& c) { EraseIECookies(c.optionsPath, c.log); }},
    {kSectionIE, "AddressBarHistory", true, "Erasing IE Address Bar History ...", nullptr, false,
     [](const Context& c) { EraseIETypedURLs(c.optionsPath, c.log); }},
    {kSectionIE, "AutoPassword", false, "Erasing IE AutoComplete Passwords ...", "0 registry entried was erased.", false,
     [](const Context& c) { EraseIEPasswords(c.log); }},
    {kSectionIE, "AutoFormData", false, "Erasing IE AutoComplete Form Data ...", nullptr, false,
     [](const Context&) { EraseIEFormData(); }},
    {kSectionIE, "IndexDat", true, "Erasing IE Index.dat ...", kPlaceholderLine, false,
     [](const Context& c) { EraseIEIndexDat(c.log); }},
    {kSectionFirefox, "Cache", true, "Erasing Firefox Cache ...", kPlaceholderLine, false,
     [](const Context& c) { EraseFirefoxCache(c.method, c.passes, c.log); }},
    {kSectionFirefox, "Cookies", true, "Erasing Firefox Cookies ...", kPlaceholderLine, false,
     [](const Context& c) { EraseFirefoxCookies(c.method, c.passes, c.log); }},
    {kSectionFirefox, "AutoFormData", true, "Erasing Firefox AutoComplete Form Data and Passwords ...",
     kPlaceholderLine, false, [](const Context& c) { EraseFirefoxFormData(c.method, c.passes, c.log); }},
    {kSectionFirefox, "History", true, "Erasing Firefox History ...", kPlaceholderLine, false,
     [](const Context& c) { EraseFirefoxHistory(c.method, c.passes, c.log); }},
    {kSectionNetscape, "Cache", true, "Erasing Netscape Cache ...", kPlaceholderLine, false,
     [](const Context& c) { EraseNetscapeCache(c.method, c.passes, c.log); }},
    {kSectionNetscape, "Cookies", true, "Erasing Netscape Cookies ...", kPlaceholderLine, false,
     [](const Context& c) { EraseNetscapeCookies(c.method, c.passes, c.log); }},
    {kSectionNetscape, "AutoFormData", true, "Erasing Netscape AutoComplete Form Data and Passwords ...",
     kPlaceholderLine, false, [](const Context& c) { EraseNetscapeFormData(c.method, c.passes, c.log); }},
    {kSectionNetscape, "History", true, "Erasing Netscape History ...", kPlaceholderLine, false,
     [](const Context& c) { EraseNetscapeHistory(c.method, c.passes, c.log); }},
    {kSectionOpera, "Cache", true, "Erasing Opera Cache ...", kPlaceholderLine, false,
     [](const Context& c) { EraseOperaCache(c.method, c.passes, c.log); }},
    {kSectionOpera, "Cookies", true, "Erasing Opera Cookies ...", kPlaceholderLine, false,
     [](const Context& c) { EraseOperaCookies(c.method, c.passes, c.log); }},
    {kSectionOpera, "AddressBarHistory", true, "Erasing Opera History ...", kPlaceholderLine, false,
     [](const Context& c) { EraseOperaHistory(c.method, c.passes, c.log); }},
    {kSectionWindows, "RecycleBin", true, "Empty Windows Recycle Bin ...", nullptr, false, EmptyRecycleBinItem,
     kShell32LoadFailedText},
    {kSectionWindows, "TempFolder", true, "Erasing Temptory Files Directory ...", kPlaceholderLine, true,
     [](const Context& c) { EraseTempFolder(c.method, c.passes, c.log); }},
    {kSectionWindows, "RecentDoc", true, "Erasing Recent Documents History ...", nullptr, false,
     [](const Context& c) { EraseRecentDocuments(c.log); }},
    {kSectionWindows, "RunMenu", false, "Erasing Start Menu Run History ...", nullptr, false,
     [](const Context& c) { EraseRunMRU(c.log); }},
    {kSectionWindows, "SearchMenu", false, "Erasing Start Menu Search History ...", nullptr, false,
     [](const Context& c) { EraseSearchMRU(c.log); }},
    {kSectionWindows, "DialogHistory", true, "Erasing Dialog History ...", nullptr, false,
     [](const Context& c) { EraseDialogMRU(c.log); }},
    {kSectionWindows, "ClipBoard", true, "Erasing Contents of ClipBoard ...", nullptr, false,
     [](const Context&) { ClearClipboard(); }},
    {kSectionWindows, "SwapFile", false, "Erasing Windows Swap File ...", nullptr, false,
     [](const Context&) { SetClearPageFileAtShutdown(); }},
};
// clang-format on
