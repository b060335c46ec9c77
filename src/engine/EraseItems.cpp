#include "engine/EraseItems.h"

#include "engine/CurrentBrowsers.h"
#include "engine/FolderWipe.h"
#include "engine/InternetExplorer.h"
#include "engine/OtherBrowsers.h"
#include "engine/ProgramItems.h"
#include "engine/TodaysWindows.h"
#include "engine/WindowsItems.h"
#include "platform/Files.h"
#include "store/OptionNames.h"
#include "store/OptionTexts.h"
#include "store/OptionsStore.h"

namespace {

using Context = EraseRunContext;

void EmptyRecycleBinItem(const Context& c) {
    if (!EmptyRecycleBin()) {
        c.failed = true;
    }
}

template <BrowserTrace trace>
void RunBrowserItem(const Context& c, void (*erase)(BrowserTrace, const BrowserItemRun&)) {
    std::vector<std::string> kept;
    if (trace == BrowserTrace::Cookies) {
        kept = ReadKeepList(OptionsStore(c.optionsPath), kSectionKeptCookieSites);
    }
    erase(trace, {c.method, c.passes, kept, c.log});
}

template <ChromiumBrowser browser, BrowserTrace trace> void ChromiumItem(const Context& c) {
    RunBrowserItem<trace>(c, [](BrowserTrace t, const BrowserItemRun& run) { EraseChromiumTrace(browser, t, run); });
}

template <BrowserTrace trace> void FirefoxItem(const Context& c) {
    RunBrowserItem<trace>(c, EraseFirefoxProfilesTrace);
}

using Trace = BrowserTrace;
using Chromium = ChromiumBrowser;

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
     [](const Context& c) { EraseIEFormData(c.log, ExecutableDir()); }},
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
     [](const Context& c) { ClearClipboard(c.log); }},
    {kSectionWindows, "SwapFile", false, "Erasing Windows Swap File ...", nullptr, false,
     [](const Context&) { SetClearPageFileAtShutdown(); }},
    {kSectionChrome, "Cache", true, "Erasing Google Chrome Cache ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Chrome, Trace::Cache>},
    {kSectionChrome, "Cookies", true, "Erasing Google Chrome Cookies ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Chrome, Trace::Cookies>},
    {kSectionChrome, "History", true, "Erasing Google Chrome History ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Chrome, Trace::History>},
    {kSectionChrome, "FormData", true, "Erasing Google Chrome Form Data ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Chrome, Trace::FormData>},
    {kSectionChrome, "Passwords", false, "Erasing Google Chrome Saved Passwords ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Chrome, Trace::Passwords>},
    {kSectionEdge, "Cache", true, "Erasing Microsoft Edge Cache ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Edge, Trace::Cache>},
    {kSectionEdge, "Cookies", true, "Erasing Microsoft Edge Cookies ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Edge, Trace::Cookies>},
    {kSectionEdge, "History", true, "Erasing Microsoft Edge History ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Edge, Trace::History>},
    {kSectionEdge, "FormData", true, "Erasing Microsoft Edge Form Data ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Edge, Trace::FormData>},
    {kSectionEdge, "Passwords", false, "Erasing Microsoft Edge Saved Passwords ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Edge, Trace::Passwords>},
    {kSectionBrave, "Cache", true, "Erasing Brave Cache ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Brave, Trace::Cache>},
    {kSectionBrave, "Cookies", true, "Erasing Brave Cookies ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Brave, Trace::Cookies>},
    {kSectionBrave, "History", true, "Erasing Brave History ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Brave, Trace::History>},
    {kSectionBrave, "FormData", true, "Erasing Brave Form Data ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Brave, Trace::FormData>},
    {kSectionBrave, "Passwords", false, "Erasing Brave Saved Passwords ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Brave, Trace::Passwords>},
    {kSectionVivaldi, "Cache", true, "Erasing Vivaldi Cache ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Vivaldi, Trace::Cache>},
    {kSectionVivaldi, "Cookies", true, "Erasing Vivaldi Cookies ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Vivaldi, Trace::Cookies>},
    {kSectionVivaldi, "History", true, "Erasing Vivaldi History ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Vivaldi, Trace::History>},
    {kSectionVivaldi, "FormData", true, "Erasing Vivaldi Form Data ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Vivaldi, Trace::FormData>},
    {kSectionVivaldi, "Passwords", false, "Erasing Vivaldi Saved Passwords ...", kPlaceholderLine, false,
     ChromiumItem<Chromium::Vivaldi, Trace::Passwords>},
    {kSectionFirefoxProfiles, "Cache", true, "Erasing Firefox Cache (version 3 and later) ...", kPlaceholderLine,
     false, FirefoxItem<Trace::Cache>},
    {kSectionFirefoxProfiles, "Cookies", true, "Erasing Firefox Cookies (version 3 and later) ...", kPlaceholderLine,
     false, FirefoxItem<Trace::Cookies>},
    {kSectionFirefoxProfiles, "History", true, "Erasing Firefox History (version 3 and later) ...", kPlaceholderLine,
     false, FirefoxItem<Trace::History>},
    {kSectionFirefoxProfiles, "FormData", true, "Erasing Firefox Form History (version 3 and later) ...", kPlaceholderLine,
     false, FirefoxItem<Trace::FormData>},
    {kSectionFirefoxProfiles, "SessionRestore", false, "Erasing Firefox Session Restore (version 3 and later) ...", kPlaceholderLine,
     false, FirefoxItem<Trace::SessionRestore>},
    {kSectionFirefoxProfiles, "Logins", false, "Erasing Firefox Saved Logins (version 3 and later) ...", kPlaceholderLine,
     false, FirefoxItem<Trace::Passwords>},
    {kSectionWindowsToday, "TypedPaths", true, "Erasing Explorer Address Bar History ...", nullptr, false,
     [](const Context& c) { EraseExplorerTypedPaths(c.log); }},
    {kSectionWindowsToday, "UserAssist", true, "Erasing Program Launch Counters ...", nullptr, false,
     [](const Context& c) { EraseProgramLaunchCounters(c.log); }},
    {kSectionWindowsToday, "JumpLists", false, "Erasing Jump Lists (pinned entries kept) ...", nullptr, false,
     [](const Context& c) { ClearJumpLists(c.log); }},
    {kSectionWindowsToday, "CrashReports", true, "Erasing Crash Reports ...", kPlaceholderLine, true,
     [](const Context& c) { EraseCrashReports(c.method, c.passes, c.log); }},
    {kSectionWindowsToday, "PowerShellHistory", true, "Erasing PowerShell Command History ...", kPlaceholderLine, true,
     [](const Context& c) { ErasePowerShellHistory(c.method, c.passes, c.log); }},
    {kSectionWindowsToday, "ThumbnailCache", false, "Erasing Thumbnail and Icon Caches ...", kPlaceholderLine, true,
     [](const Context& c) { EraseThumbnailCaches(c.method, c.passes, c.log); }},
    {kSectionWindowsToday, "ShellBags", false, "Erasing ShellBags (Folder History) ...", nullptr, false,
     [](const Context& c) { EraseShellBags(c.log); }},
    {kSectionWindowsToday, "DnsCache", true, "Erasing Windows DNS Cache ...", nullptr, false,
     [](const Context& c) { FlushDnsCacheItem(c.log); }},
    {kSectionPrograms, "VlcRecentMedia", false, "Erasing VLC Media Player Recent Media ...", kVlcPlaceholderLine, false,
     [](const Context& c) { EraseVlcRecentMedia(c.log); }},
};
// clang-format on
