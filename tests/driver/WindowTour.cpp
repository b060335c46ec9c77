#include "driver/WindowTour.h"

#include "app/MainForm.h"
#include "driver/DialogDriver.h"
#include "driver/ItemOptions.h"
#include "driver/WindowTourSteps.h"
#include "platform/Files.h"
#include "platform/Handle.h"
#include "platform/Text.h"
#include "settings/ListPairForm.h"
#include "settings/NeverEraseForm.h"
#include "settings/BossKeyOptionForm.h"
#include "settings/OptionsForm.h"
#include "settings/PreviewForm.h"
#include "settings/ShutdownOptionsForm.h"
#include "settings/KeepListForm.h"
#include "settings/MiscellaneousForm.h"
#include "support/Scratch.h"

#include <cstdlib>

const char* const kTourOptionsIni = "[Miscellaneous]\r\n"
                                    "EnableBosskey=1\r\n"
                                    "SystemShutdownErase=1\r\n"
                                    "CustomIntervalErase=1\r\n"
                                    "[IECookies]\r\n"
                                    "0=user@example[1].txt\r\n"
                                    "1=user@news.example[2].txt\r\n"
                                    "[IEAddressBar]\r\n"
                                    "0=http://www.example.com/\r\n"
                                    "[BossKeyHiddenPrograms]\r\n"
                                    "Notepad=1,Notepad\r\n"
                                    "Calculator=0,SciCalc\r\n"
                                    "WordPad=0,WordPadClass\r\n";

bool AddTourPlugins(const QuorvaleApp& app) {
    const char* package = std::getenv("QUORVALE_PACKAGE_DIR");
    if (!package) {
        return false;
    }
    std::string from = WindowsPathOf(package) + "\\Plug-ins\\";
    std::string to = app.Folder() + "\\Plug-ins\\";
    CreateFolder(to);
    bool copied = false;
    for (const FolderEntry& entry : ListFolder(from + "*.qv")) {
        copied = CopyFileW(Widen(from + entry.name).c_str(), Widen(to + entry.name).c_str(), FALSE) || copied;
    }
    return copied;
}

namespace {

bool TourOptions(TourSteps& tour, HWND main) {
    constexpr SIZE kDesign{497, 379};
    HWND options = tour.Open(main, TFrmMain::IDC_BTN_OPTIONS, kOptionsClass, "Options");
    if (!options) {
        return false;
    }
    HWND outer = ControlOf(options, TFrmOptions::IDC_OPTIONS_PAGECONTROL);
    HWND inner = ControlOf(options, TFrmOptions::IDC_PGC_BROWSER);
    tour.Pages(inner,
               {"options-browsers-internet-explorer", "options-browsers-firefox", "options-browsers-netscape",
                "options-browsers-opera", "options-browsers-chrome-edge"},
               options, kDesign);
    HWND sites =
        tour.Open(options, TFrmOptions::IDC_BTN_CHROMIUMSITES, kCookieSitesClass, "Sites Whose Cookies Are Kept");
    if (!sites) {
        return false;
    }
    tour.Stop("keep-sites", sites, {418, 283});
    if (!tour.CloseWith(sites, TFrmListPair::IDC_BTN_LISTPAIR_CANCEL)) {
        return false;
    }
    TurnToPage(outer, 1);
    tour.Stop("options-windows", options, kDesign);
    TurnToPage(outer, 2);
    tour.Stop("options-windows-today", options, kDesign);
    TurnToPage(outer, 3);
    tour.Stop("options-plug-ins", options, kDesign);
    TurnToPage(outer, 0);
    TurnToPage(inner, 0);
    HWND cookies = tour.Open(options, TFrmOptions::IDC_BTN_IECOOKIESOPTION, kIECookiesClass, "Options of IE Cookies");
    if (!cookies) {
        return false;
    }
    tour.Stop("keep-cookies", cookies, {418, 283});
    if (!tour.CloseWith(cookies, TFrmListPair::IDC_BTN_LISTPAIR_CANCEL)) {
        return false;
    }
    HWND addresses = tour.Open(options, TFrmOptions::IDC_BTN_TYPEDURLOPTION, kIEAddressBarHistoryClass,
                               "Options of IE Address Bar History");
    if (!addresses) {
        return false;
    }
    tour.Stop("keep-addresses", addresses, {417, 285});
    if (!tour.CloseWith(addresses, TFrmListPair::IDC_BTN_LISTPAIR_CANCEL)) {
        return false;
    }
    HWND neverErase = tour.Open(options, TFrmOptions::IDC_BTN_NEVERERASE, kNeverEraseClass, kNeverEraseCaption);
    if (!neverErase) {
        return false;
    }
    tour.Stop("never-erase", neverErase, {480, 318});
    if (!tour.CloseWith(neverErase, TFrmNeverErase::IDC_BTN_NEVERERASE_CANCEL)) {
        return false;
    }
    HWND preview = tour.Open(options, TFrmOptions::IDC_BTN_PREVIEW, kPreviewClass, kPreviewCaption);
    if (!preview) {
        return false;
    }
    // What it found is shown once the totals are.
    HWND totals = GetDlgItem(preview, TFrmPreview::IDC_LBL_PREVIEWTOTALS);
    if (!WaitUntil([&] { return !RemoteWindowText(totals).empty(); }, 60000)) {
        tour.Fail(kPreviewCaption, "it found nothing to show");
        return false;
    }
    tour.Stop("preview", preview, {640, 441});
    return tour.CloseWith(preview, TFrmPreview::IDC_BTN_PREVIEW_CLOSE) &&
           tour.CloseWith(options, TFrmOptions::IDC_BTN_OPTIONS_CANCEL);
}

bool TourMiscellaneous(TourSteps& tour, HWND main) {
    constexpr SIZE kDesign{507, 298};
    HWND misc = tour.Open(main, TFrmMain::IDC_BTN_MISCELLANEOUS, kMiscellaneousClass, "Miscellaneous settings");
    if (!misc) {
        return false;
    }
    HWND pages = ControlOf(misc, TFrmMiscellaneous::IDC_MISC_PAGECONTROL);
    tour.Pages(pages, {"miscellaneous-general", "miscellaneous-security", "miscellaneous-schedule"}, misc, kDesign);
    TurnToPage(pages, 0);
    HWND boss = tour.Open(misc, TFrmMiscellaneous::IDC_BTN_BOSSKEYOPTIONS, kBosskeyOptionClass, "Boss Key Option");
    if (!boss) {
        return false;
    }
    tour.Stop("boss-key-option", boss, {418, 283});
    if (!tour.CloseWith(boss, TFrmListPair::IDC_BTN_LISTPAIR_CANCEL)) {
        return false;
    }
    TurnToPage(pages, 2);
    HWND shutdown =
        tour.Open(misc, TFrmMiscellaneous::IDC_BTN_SHUTDOWNOPTIONS, kShutdownOptionsClass, "Windows shutdown options");
    if (!shutdown) {
        return false;
    }
    tour.Stop("windows-shutdown-options", shutdown, {350, 192});
    return tour.CloseWith(shutdown, TFrmShutdownOptions::IDC_BTN_SHUTDOWN_CANCEL) &&
           tour.CloseWith(misc, TFrmMiscellaneous::IDC_BTN_CANEL);
}

// The main window after a run with a result line, a "Not erased:" line and the summary: a run of
// the DNS cache and of one plug-in over a scratch folder, one of whose files this process holds.
bool TourRun(TourSteps& tour, const QuorvaleApp& app, HWND main, bool messageBoxes) {
    ScratchFolder traces;
    for (const char* name : {"report-2026.log", "session.log", "upload.log"}) {
        WriteWholeFile(traces / name, std::string(64 * 1024, 'x'));
    }
    KernelHandle held(CreateFileW(Widen(traces / "session.log").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!held) {
        tour.Fail("main window after a run", "the held file could not be opened");
        return false;
    }
    WriteWholeFile(app.OptionsPath(), OptionsWithOnly({{"WindowsToday", "DnsCache"}}));
    WriteWholeFile(app.Folder() + "\\Plug-ins\\Example Logs.qv",
                   "[Information]\r\nDescription=Example program's logs\r\nSelected=1\r\n[Method]\r\nDelFolder=" +
                       traces.Path() + "*.log\r\n");
    HWND box = tour.OpenMessageBox(main, TFrmMain::IDC_BTN_ERASE, kRunEndCaption);
    if (!box) {
        return false;
    }
    if (messageBoxes) {
        tour.Stop("run-end-box", box, {0, 0});
    }
    if (!tour.Answer(box)) {
        return false;
    }
    tour.Stop("main-window-after-run", main, {499, 312});
    return true;
}

} // namespace

bool TourWindows(const QuorvaleApp& app, int dpi, bool messageBoxes, const std::function<void(const TourStop&)>& visit,
                 std::string& why) {
    TourSteps tour(app, visit, why);
    HWND main = app.MainWindow();
    if (!main) {
        tour.Fail(kMainWindowCaption, "the main window is not up");
        return false;
    }
    tour.Stop("main-window", main, {499, 312});
    return TourOptions(tour, main) && TourMiscellaneous(tour, main) && TourTools(tour, main, messageBoxes) &&
           TourAbout(tour, main, dpi) && TourRun(tour, app, main, messageBoxes);
}
