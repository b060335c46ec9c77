#include "app/EraseRun.h"

#include "engine/FolderWipe.h"
#include "engine/InternetExplorer.h"
#include "engine/OtherBrowsers.h"
#include "engine/Plugins.h"
#include "engine/RunState.h"
#include "engine/WindowsItems.h"
#include "platform/Desktop.h"
#include "settings/OptionNames.h"
#include "settings/OptionsStore.h"

bool RunInProgress = false;

namespace {

using Context = EraseRunContext;

void ReportRecycleBin(const Context& c) {
    if (!EmptyRecycleBin()) {
        ShowMessageBox(c.owner, kShell32LoadFailedText, kShell32LoadFailedCaption, MB_OK | MB_ICONERROR);
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
    {kSectionWindows, "RecycleBin", true, "Empty Windows Recycle Bin ...", nullptr, false, ReportRecycleBin},
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

namespace {

void RunItem(const EraseItem& item, const Context& context) {
    context.log.AppendLine(item.startLine);
    if (item.placeholder) {
        context.log.AppendLine(item.placeholder);
    }
    item.routine(context);
    if (item.finishedByRun) {
        context.log.ReplaceLastLine(FileResultLine());
    }
    if (!StopRequested) {
        context.log.AppendLine(std::string(item.startLine) + kCompletedSuffix);
    }
    context.log.AppendLine("");
    if (item.finishedByRun) {
        TotalErasedFileCount += ErasedFileCount;
        TotalReleasedByteCount += ReleasedByteCount;
    }
}

} // namespace

EraseRunEnd RunEraseSteps(ProgressLog& log, const std::string& optionsPath, HWND owner) {
    ResetItemCounters();
    TotalErasedFileCount = 0;
    TotalReleasedByteCount = 0;
    TotalErasedRegistryCount = 0;

    OptionsStore options(optionsPath);
    Context context{options.GetText(kSectionMiscellaneous, kKeySecurityLevel, "DoD"),
                    options.GetNumber(kSectionMiscellaneous, kKeyRandomRepeatedTime, 2), optionsPath, log, owner};
    for (const EraseItem& item : kEraseItems) {
        if (options.GetFlag(item.section, item.key, item.enabledByDefault) && !StopRequested) {
            RunItem(item, context);
        }
        ProcessMessages();
    }

    if (!StopRequested) {
        ErasePlugins(context.method, context.passes, log);
    }

    if (StopRequested) {
        log.AppendLine(kStoppedByUserLine);
        // A run stopped during its first file item still reports what that item erased.
        if (TotalErasedFileCount != 0) {
            log.AppendLine(RunSummaryLine(TotalErasedRegistryCount, TotalErasedFileCount, TotalReleasedByteCount));
        } else {
            log.AppendLine(RunSummaryLine(ErasedRegistryCount, ErasedFileCount, ReleasedByteCount));
        }
        return {true, kStoppedBoxText};
    }
    std::string summary = RunSummaryLine(TotalErasedRegistryCount, TotalErasedFileCount, TotalReleasedByteCount);
    log.AppendLine(kAllTasksFinishedLine);
    log.AppendLine(summary);
    return {false, summary};
}
