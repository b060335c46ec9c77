#include "settings/OptionsForm.h"

#include "engine/EraseItems.h"
#include "engine/Plugins.h"
#include "ui/AccessibleName.h"
#include "ui/ListViewRows.h"
#include "ui/StandardControls.h"
#include "platform/Text.h"
#include "store/OptionsStore.h"
#include "settings/PluginList.h"
#include "settings/KeepListForm.h"
#include "settings/NeverEraseForm.h"
#include "settings/PreviewForm.h"

#include <commctrl.h>

namespace {

constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kPageControl = WS_CLIPSIBLINGS | WS_TABSTOP;

constexpr ControlSpec kFrame[] = {
    {WC_TABCONTROLW, "", TFrmOptions::IDC_OPTIONS_PAGECONTROL, 8, 8, 481, 326, kPageControl},
    {WC_TABCONTROLW, "", TFrmOptions::IDC_PGC_BROWSER, 16, 36, 465, 290, kPageControl},
};

constexpr ControlSpec kSheetIE[] = {
    {WC_BUTTONW, "Erase &Cache (Temporary Internet Files)", TFrmOptions::IDC_CHK_IECACHE, 28, 68, 300, 20, kCheck},
    {WC_BUTTONW, "Erase &Browser History", TFrmOptions::IDC_CHK_IEHISTORY, 28, 94, 300, 20, kCheck},
    {WC_BUTTONW, "Erase C&ookies", TFrmOptions::IDC_CHK_IECOOKIES, 28, 120, 250, 20, kCheck},
    {WC_BUTTONW, "&Keep ...", TFrmOptions::IDC_BTN_IECOOKIESOPTION, 290, 118, 75, 24, kButton},
    {WC_BUTTONW, "Erase A&ddress Bar History", TFrmOptions::IDC_CHK_IEADDRESSBAR, 28, 146, 250, 20, kCheck},
    {WC_BUTTONW, "K&eep ...", TFrmOptions::IDC_BTN_TYPEDURLOPTION, 290, 144, 75, 24, kButton},
    {WC_BUTTONW, "Erase AutoComplete &Passwords", TFrmOptions::IDC_CHK_IEPASSWORD, 28, 172, 300, 20, kCheck},
    {WC_BUTTONW, "Erase AutoComplete &Form Data", TFrmOptions::IDC_CHK_IEFORMDATA, 28, 198, 300, 20, kCheck},
    {WC_BUTTONW, "Erase &index.dat", TFrmOptions::IDC_CHK_INDEXDAT, 28, 224, 300, 20, kCheck},
};

// The items of Firefox 1 and 2 end a running Firefox before they erase; those of Firefox 3 and later
// never do.
constexpr ControlSpec kSheetFirefox[] = {
    {WC_STATICW, "Firefox 1 and 2 (these items end a running Firefox first):", TFrmOptions::IDC_LBL_FIREFOX12, 28, 64,
     400, 18, SS_LEFT},
    {WC_BUTTONW, "Erase &Cache (Temporary Internet Files)", TFrmOptions::IDC_CHK_FIREFOXCACHE, 28, 88, 400, 20, kCheck},
    {WC_BUTTONW, "Erase Browser &History and Address Bar History", TFrmOptions::IDC_CHK_FIREFOXHISTORY, 28, 112, 400,
     20, kCheck},
    {WC_BUTTONW, "Erase C&ookies", TFrmOptions::IDC_CHK_FIREFOXCOOKIES, 28, 136, 400, 20, kCheck},
    {WC_BUTTONW, "Erase AutoComplete &Form Data and Passwords", TFrmOptions::IDC_CHK_FIREFOXFORMDATA, 28, 160, 400, 20,
     kCheck},
    {WC_STATICW, "Firefox 3 and later, every profile:", TFrmOptions::IDC_LBL_FIREFOX3, 28, 190, 400, 18, SS_LEFT},
    {WC_BUTTONW, "Erase C&ache", TFrmOptions::IDC_CHK_FIREFOX3CACHE, 28, 212, 200, 20, kCheck},
    {WC_BUTTONW, "Erase H&istory", TFrmOptions::IDC_CHK_FIREFOX3HISTORY, 28, 238, 200, 20, kCheck},
    {WC_BUTTONW, "Erase Coo&kies", TFrmOptions::IDC_CHK_FIREFOX3COOKIES, 28, 264, 110, 20, kCheck},
    {WC_BUTTONW, "K&eep ...", TFrmOptions::IDC_BTN_FIREFOXSITES, 150, 262, 75, 24, kButton},
    {WC_BUTTONW, "Erase Form Hi&story", TFrmOptions::IDC_CHK_FIREFOX3FORMHISTORY, 260, 212, 200, 20, kCheck},
    {WC_BUTTONW, "Erase Session &Restore", TFrmOptions::IDC_CHK_FIREFOX3SESSIONRESTORE, 260, 238, 200, 20, kCheck},
    {WC_BUTTONW, "Erase Saved &Logins", TFrmOptions::IDC_CHK_FIREFOX3LOGINS, 260, 264, 200, 20, kCheck},
};

// One row a trace, one column a browser; each row's label leads to its first box. The "Keep ..." of
// the sites whose cookies are kept ends the cookies row.
constexpr ControlSpec kSheetChromium[] = {
    {WC_STATICW, "Erase &Cache", TFrmOptions::IDC_LBL_CHROMIUMCACHE, 28, 70, 140, 18, SS_LEFT},
    {WC_BUTTONW, "Chrome", TFrmOptions::IDC_CHK_CHROMECACHE, 170, 68, 64, 20, kCheck},
    {WC_BUTTONW, "Edge", TFrmOptions::IDC_CHK_EDGECACHE, 236, 68, 56, 20, kCheck},
    {WC_BUTTONW, "Brave", TFrmOptions::IDC_CHK_BRAVECACHE, 294, 68, 58, 20, kCheck},
    {WC_BUTTONW, "Vivaldi", TFrmOptions::IDC_CHK_VIVALDICACHE, 354, 68, 64, 20, kCheck},
    {WC_STATICW, "Erase C&ookies", TFrmOptions::IDC_LBL_CHROMIUMCOOKIES, 28, 96, 140, 18, SS_LEFT},
    {WC_BUTTONW, "Chrome", TFrmOptions::IDC_CHK_CHROMECOOKIES, 170, 94, 64, 20, kCheck},
    {WC_BUTTONW, "Edge", TFrmOptions::IDC_CHK_EDGECOOKIES, 236, 94, 56, 20, kCheck},
    {WC_BUTTONW, "Brave", TFrmOptions::IDC_CHK_BRAVECOOKIES, 294, 94, 58, 20, kCheck},
    {WC_BUTTONW, "Vivaldi", TFrmOptions::IDC_CHK_VIVALDICOOKIES, 354, 94, 64, 20, kCheck},
    {WC_BUTTONW, "&Keep ...", TFrmOptions::IDC_BTN_CHROMIUMSITES, 420, 92, 54, 24, kButton},
    {WC_STATICW, "Erase &History", TFrmOptions::IDC_LBL_CHROMIUMHISTORY, 28, 122, 140, 18, SS_LEFT},
    {WC_BUTTONW, "Chrome", TFrmOptions::IDC_CHK_CHROMEHISTORY, 170, 120, 64, 20, kCheck},
    {WC_BUTTONW, "Edge", TFrmOptions::IDC_CHK_EDGEHISTORY, 236, 120, 56, 20, kCheck},
    {WC_BUTTONW, "Brave", TFrmOptions::IDC_CHK_BRAVEHISTORY, 294, 120, 58, 20, kCheck},
    {WC_BUTTONW, "Vivaldi", TFrmOptions::IDC_CHK_VIVALDIHISTORY, 354, 120, 64, 20, kCheck},
    {WC_STATICW, "Erase &Form Data", TFrmOptions::IDC_LBL_CHROMIUMFORMDATA, 28, 148, 140, 18, SS_LEFT},
    {WC_BUTTONW, "Chrome", TFrmOptions::IDC_CHK_CHROMEFORMDATA, 170, 146, 64, 20, kCheck},
    {WC_BUTTONW, "Edge", TFrmOptions::IDC_CHK_EDGEFORMDATA, 236, 146, 56, 20, kCheck},
    {WC_BUTTONW, "Brave", TFrmOptions::IDC_CHK_BRAVEFORMDATA, 294, 146, 58, 20, kCheck},
    {WC_BUTTONW, "Vivaldi", TFrmOptions::IDC_CHK_VIVALDIFORMDATA, 354, 146, 64, 20, kCheck},
    {WC_STATICW, "Erase Saved &Passwords", TFrmOptions::IDC_LBL_CHROMIUMPASSWORDS, 28, 174, 140, 18, SS_LEFT},
    {WC_BUTTONW, "Chrome", TFrmOptions::IDC_CHK_CHROMEPASSWORDS, 170, 172, 64, 20, kCheck},
    {WC_BUTTONW, "Edge", TFrmOptions::IDC_CHK_EDGEPASSWORDS, 236, 172, 56, 20, kCheck},
    {WC_BUTTONW, "Brave", TFrmOptions::IDC_CHK_BRAVEPASSWORDS, 294, 172, 58, 20, kCheck},
    {WC_BUTTONW, "Vivaldi", TFrmOptions::IDC_CHK_VIVALDIPASSWORDS, 354, 172, 64, 20, kCheck},
};

// What a screen reader says for each box of the page, whose caption names only the browser.
struct BoxName {
    int id;
    const char* name;
};
constexpr BoxName kChromiumBoxNames[] = {
    {TFrmOptions::IDC_CHK_CHROMECACHE, "Chrome: Erase Cache"},
    {TFrmOptions::IDC_CHK_EDGECACHE, "Edge: Erase Cache"},
    {TFrmOptions::IDC_CHK_BRAVECACHE, "Brave: Erase Cache"},
    {TFrmOptions::IDC_CHK_VIVALDICACHE, "Vivaldi: Erase Cache"},
    {TFrmOptions::IDC_CHK_CHROMECOOKIES, "Chrome: Erase Cookies"},
    {TFrmOptions::IDC_CHK_EDGECOOKIES, "Edge: Erase Cookies"},
    {TFrmOptions::IDC_CHK_BRAVECOOKIES, "Brave: Erase Cookies"},
    {TFrmOptions::IDC_CHK_VIVALDICOOKIES, "Vivaldi: Erase Cookies"},
    {TFrmOptions::IDC_CHK_CHROMEHISTORY, "Chrome: Erase History"},
    {TFrmOptions::IDC_CHK_EDGEHISTORY, "Edge: Erase History"},
    {TFrmOptions::IDC_CHK_BRAVEHISTORY, "Brave: Erase History"},
    {TFrmOptions::IDC_CHK_VIVALDIHISTORY, "Vivaldi: Erase History"},
    {TFrmOptions::IDC_CHK_CHROMEFORMDATA, "Chrome: Erase Form Data"},
    {TFrmOptions::IDC_CHK_EDGEFORMDATA, "Edge: Erase Form Data"},
    {TFrmOptions::IDC_CHK_BRAVEFORMDATA, "Brave: Erase Form Data"},
    {TFrmOptions::IDC_CHK_VIVALDIFORMDATA, "Vivaldi: Erase Form Data"},
    {TFrmOptions::IDC_CHK_CHROMEPASSWORDS, "Chrome: Erase Saved Passwords"},
    {TFrmOptions::IDC_CHK_EDGEPASSWORDS, "Edge: Erase Saved Passwords"},
    {TFrmOptions::IDC_CHK_BRAVEPASSWORDS, "Brave: Erase Saved Passwords"},
    {TFrmOptions::IDC_CHK_VIVALDIPASSWORDS, "Vivaldi: Erase Saved Passwords"},
    {TFrmOptions::IDC_BTN_CHROMIUMSITES, "Keep the cookies of chosen sites (Chrome, Edge, Brave, Vivaldi) ..."},
    {TFrmOptions::IDC_BTN_FIREFOXSITES, "Keep the cookies of chosen sites (Firefox 3 and later) ..."},
    {TFrmOptions::IDC_BTN_IECOOKIESOPTION, "Keep chosen Internet Explorer cookies ..."},
    {TFrmOptions::IDC_BTN_TYPEDURLOPTION, "Keep chosen addresses typed into Internet Explorer ..."},
};

constexpr ControlSpec kSheetNetscape[] = {
    {WC_BUTTONW, "Erase &Cache (Temporary Internet Files)", TFrmOptions::IDC_CHK_NETSCAPECACHE, 28, 68, 400, 20,
     kCheck},
    {WC_BUTTONW, "Erase Browser &History and Address Bar History", TFrmOptions::IDC_CHK_NETSCAPEHISTORY, 28, 94, 400,
     20, kCheck},
    {WC_BUTTONW, "Erase C&ookies", TFrmOptions::IDC_CHK_NETSCAPECOOKIES, 28, 120, 400, 20, kCheck},
    {WC_BUTTONW, "Erase AutoComplete &Form Data and  Passwords", TFrmOptions::IDC_CHK_NETSCAPEFORMDATA, 28, 146, 400,
     20, kCheck},
};

constexpr ControlSpec kSheetOpera[] = {
    {WC_BUTTONW, "Erase &Cache (Temporary Internet Files)", TFrmOptions::IDC_CHK_OPERACACHE, 28, 68, 400, 20, kCheck},
    {WC_BUTTONW, "Erase C&ookies", TFrmOptions::IDC_CHK_OPERACOOKIES, 28, 94, 400, 20, kCheck},
    {WC_BUTTONW, "Erase &History and Address Bar History", TFrmOptions::IDC_CHK_OPERAADDRESSBAR, 28, 120, 400, 20,
     kCheck},
};

constexpr ControlSpec kSheetWindows[] = {
    {WC_BUTTONW, "Erase &Recycle Bin", TFrmOptions::IDC_CHK_RECYCLEBIN, 24, 44, 400, 20, kCheck},
    {WC_BUTTONW, "Erase Windows &Temporary Files Directory", TFrmOptions::IDC_CHK_TMPDIRECTORY, 24, 70, 400, 20,
     kCheck},
    {WC_BUTTONW, "Erase Recent &Documents History", TFrmOptions::IDC_CHK_RECENTDOC, 24, 96, 400, 20, kCheck},
    {WC_BUTTONW, "Erase Start Menu R&un History", TFrmOptions::IDC_CHK_RUNMENU, 24, 122, 400, 20, kCheck},
    {WC_BUTTONW, "Erase Start Menu &Search History ", TFrmOptions::IDC_CHK_SEARCHMENU, 24, 148, 400, 20, kCheck},
    {WC_BUTTONW, "Erase &Open/Save Dialog Box History ", TFrmOptions::IDC_CHK_DIALOGHISTORY, 24, 174, 400, 20, kCheck},
    {WC_BUTTONW, "Erase Windows C&lipboard", TFrmOptions::IDC_CHK_CLIPBOARD, 24, 200, 400, 20, kCheck},
    {WC_BUTTONW, "Erase Windows S&wap File", TFrmOptions::IDC_CHK_SWAPFILE, 24, 226, 400, 20, kCheck},
};

// The traces of Windows Vista to 11 (those that may reset what the user set up are off at first),
// then other programs' histories.
constexpr ControlSpec kSheetWindowsToday[] = {
    {WC_BUTTONW, "Erase Explorer &Address Bar History", TFrmOptions::IDC_CHK_TYPEDPATHS, 24, 44, 440, 20, kCheck},
    {WC_BUTTONW, "Erase &Program Launch Counters (UserAssist)", TFrmOptions::IDC_CHK_USERASSIST, 24, 70, 440, 20,
     kCheck},
    {WC_BUTTONW, "Erase &Jump Lists' Recent and Frequent Entries (pins are kept)", TFrmOptions::IDC_CHK_JUMPLISTS, 24,
     96, 440, 20, kCheck},
    {WC_BUTTONW, "Erase &Crash Reports and Crash Dumps", TFrmOptions::IDC_CHK_CRASHREPORTS, 24, 122, 440, 20, kCheck},
    {WC_BUTTONW, "Erase Power&Shell Command History", TFrmOptions::IDC_CHK_POWERSHELLHISTORY, 24, 148, 440, 20, kCheck},
    {WC_BUTTONW, "Erase &Thumbnail and Icon Caches (those Explorer holds stay)", TFrmOptions::IDC_CHK_THUMBNAILCACHE,
     24, 174, 440, 20, kCheck},
    {WC_BUTTONW, "Erase Shell&Bags (resets the views of browsed folders)", TFrmOptions::IDC_CHK_SHELLBAGS, 24, 200, 440,
     20, kCheck},
    {WC_BUTTONW, "Flush Windows &DNS Cache", TFrmOptions::IDC_CHK_DNSCACHE, 24, 226, 440, 20, kCheck},
    {WC_STATICW, "Other programs:", TFrmOptions::IDC_LBL_PROGRAMS, 24, 262, 440, 18, SS_LEFT},
    {WC_BUTTONW, "Erase V&LC Media Player Recent Media List", TFrmOptions::IDC_CHK_VLCRECENTMEDIA, 24, 284, 440, 20,
     kCheck},
};

constexpr ControlSpec kSheetPlugin[] = {
    {WC_STATICW, "&Select the plugins you want to execute", TFrmOptions::IDC_LBL_PLUGINS, 24, 44, 440, 18, SS_LEFT},
    {WC_LISTVIEWW, "", TFrmOptions::IDC_LVW_PLUGINS, 24, 66, 449, 256,
     LVS_REPORT | LVS_SORTASCENDING | LVS_SHOWSELALWAYS | LVS_SINGLESEL | WS_TABSTOP, WS_EX_CLIENTEDGE},
};

constexpr ControlSpec kButtons[] = {
    {WC_BUTTONW, "Ne&ver Erase ...", TFrmOptions::IDC_BTN_NEVERERASE, 8, 344, 110, 25, kButton},
    {WC_BUTTONW, "Previe&w ...", TFrmOptions::IDC_BTN_PREVIEW, 124, 344, 90, 25, kButton},
    {WC_BUTTONW, "OK", TFrmOptions::IDC_BTN_OPTIONS_OK, 326, 344, 75, 25, kButton | BS_DEFPUSHBUTTON},
    {WC_BUTTONW, "Cancel", TFrmOptions::IDC_BTN_OPTIONS_CANCEL, 414, 344, 75, 25, kButton},
};

// The check box of each row of the erase run: the ids follow the same order.
int SwitchBoxId(size_t index) { return TFrmOptions::IDC_CHK_IECACHE + static_cast<int>(index); }
static_assert(TFrmOptions::IDC_CHK_VLCRECENTMEDIA ==
                  TFrmOptions::IDC_CHK_IECACHE + static_cast<int>(kEraseItemCount) - 1,
              "a box for every row");

} // namespace

TFrmOptions::TFrmOptions(HWND owner) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    CreateForm({kOptionsClass, "Options", 497, 379, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                WS_EX_DLGMODALFRAME, CentreOn::Owner},
               owner);
    CreateControls(kFrame);
    CreateControls(kSheetIE);
    CreateControls(kSheetFirefox);
    CreateControls(kSheetNetscape);
    CreateControls(kSheetOpera);
    CreateControls(kSheetChromium);
    CreateControls(kSheetWindows);
    CreateControls(kSheetWindowsToday);
    CreateControls(kSheetPlugin);
    CreateControls(kButtons);
    CreatePages();
    AddListViewStyles(Control(IDC_LVW_PLUGINS),
                      LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    for (const BoxName& box : kChromiumBoxNames) {
        SetAccessibleName(Control(box.id), box.name);
    }
    AddListViewColumn(Control(IDC_LVW_PLUGINS), 0, "Plug-Ins Name", 100);
    AddListViewColumn(Control(IDC_LVW_PLUGINS), 1, "Function", 100);
    FormCreate();
}

void TFrmOptions::CreatePages() {
    // The page controls lie beneath the controls of their pages, the inner one above the outer one.
    SetWindowPos(Control(IDC_PGC_BROWSER), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(Control(IDC_OPTIONS_PAGECONTROL), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    pageControl_.Attach(Control(IDC_OPTIONS_PAGECONTROL));
    pageControl_.AddPage("Browsers", {Control(IDC_PGC_BROWSER)});
    pageControl_.AddPage("Windows", ControlsOf(hwnd_, kSheetWindows));
    pageControl_.AddPage("Windows (today)", ControlsOf(hwnd_, kSheetWindowsToday));
    pageControl_.AddPage("Plug-ins", ControlsOf(hwnd_, kSheetPlugin));
    pgcBrowser_.Attach(Control(IDC_PGC_BROWSER));
    pgcBrowser_.AddPage("Internet Explorer / MSN / AOL", ControlsOf(hwnd_, kSheetIE));
    pgcBrowser_.AddPage("Firefox", ControlsOf(hwnd_, kSheetFirefox));
    pgcBrowser_.AddPage("Netscape", ControlsOf(hwnd_, kSheetNetscape));
    pgcBrowser_.AddPage("Opera", ControlsOf(hwnd_, kSheetOpera));
    pgcBrowser_.AddPage("Chrome / Edge", ControlsOf(hwnd_, kSheetChromium));
}

// Ctrl+Tab turns the browser pages while the focus is on them, the outer pages otherwise.
HWND TFrmOptions::PageControlFor(HWND focus) const {
    return pgcBrowser_.Holds(focus) ? pgcBrowser_.Handle() : pageControl_.Handle();
}

void TFrmOptions::ShowPages() {
    pageControl_.Apply(true);
    pgcBrowser_.Apply(pageControl_.ActivePage() == 0);
}

void TFrmOptions::FormCreate() {
    pageControl_.SelectPage(0);
    pgcBrowser_.SelectPage(0);
    ShowPages();
    {
        OptionsStore options(OptionsFilePath());
        for (size_t i = 0; i < kEraseItemCount; ++i) {
            const EraseItem& item = kEraseItems[i];
            SetTicked(Control(SwitchBoxId(i)), options.GetFlag(item.section, item.key, item.enabledByDefault));
        }
    }
    // Sized once the rows are in: more rows than the list shows bring a vertical scroll bar, which
    // narrows the width inside the border.
    ListPlugins();
    SizePluginColumns();
}

void TFrmOptions::SizePluginColumns() {
    // The width inside the list's border: the outer width would leave the columns a few pixels
    // too wide and bring up a horizontal scroll bar for them.
    HWND list = Control(IDC_LVW_PLUGINS);
    RECT rect;
    GetClientRect(list, &rect);
    int width = rect.right - rect.left;
    int first = width / 2 - Scale(30);
    SetListViewColumnWidth(list, 0, first);
    SetListViewColumnWidth(list, 1, width - first);
}

void TFrmOptions::ListPlugins() {
    HWND list = Control(IDC_LVW_PLUGINS);
    for (const ListedPlugin& plugin : ListPluginFiles(PluginFolder())) {
        int row = AppendListViewRow(list, {plugin.name, plugin.description});
        if (row >= 0) {
            SetListViewRowChecked(list, row, plugin.selected);
        }
    }
}

void TFrmOptions::BtnOKClick() {
    {
        OptionsStore options(OptionsFilePath());
        for (size_t i = 0; i < kEraseItemCount; ++i) {
            const EraseItem& item = kEraseItems[i];
            options.PutFlag(item.section, item.key, IsTicked(Control(SwitchBoxId(i))));
        }
    }
    HWND list = Control(IDC_LVW_PLUGINS);
    for (int row = 0; row < ListViewRowCount(list); ++row) {
        SavePluginSelection(PluginFolder(), ListViewCell(list, row, 0), IsListViewRowChecked(list, row));
    }
    SetModalResult(IDOK);
    Close();
}

void TFrmOptions::BtnCancelClick() { Close(); }

void TFrmOptions::BtnIECookiesOptionClick() {
    SetTicked(Control(IDC_CHK_IECOOKIES), true);
    RunModal<TFrmKeepList>(hwnd_, kIECookiesKeepList);
}

void TFrmOptions::BtnNeverEraseClick() { RunModal<TFrmNeverErase>(hwnd_); }

void TFrmOptions::BtnPreviewClick() {
    // The items and plug-ins as ticked here now, saved or not.
    std::vector<bool> ticked(kEraseItemCount);
    for (size_t i = 0; i < kEraseItemCount; ++i) {
        ticked[i] = IsTicked(Control(SwitchBoxId(i)));
    }
    std::vector<std::pair<std::string, bool>> plugins;
    HWND list = Control(IDC_LVW_PLUGINS);
    for (int row = 0; row < ListViewRowCount(list); ++row) {
        plugins.emplace_back(ListViewCell(list, row, 0), IsListViewRowChecked(list, row));
    }
    RunChoice chosen{[ticked](const EraseItem& item) { return ticked[static_cast<size_t>(&item - kEraseItems)]; },
                     [plugins](const std::string& fileName) -> std::optional<bool> {
                         // The list names each "*.qv" file without its extension.
                         for (const auto& [name, checked] : plugins) {
                             if (EqualsNoCase(fileName, name + ".qv")) {
                                 return checked;
                             }
                         }
                         return std::nullopt;
                     }};
    RunModal<TFrmPreview>(hwnd_, std::move(chosen));
}

void TFrmOptions::BtnChromiumSitesClick() { RunModal<TFrmKeepList>(hwnd_, kChromiumSitesKeepList); }

void TFrmOptions::BtnFirefoxSitesClick() { RunModal<TFrmKeepList>(hwnd_, kFirefoxSitesKeepList); }

void TFrmOptions::BtnTypedURLOptionClick() {
    SetTicked(Control(IDC_CHK_IEADDRESSBAR), true);
    RunModal<TFrmKeepList>(hwnd_, kIEAddressBarKeepList);
}

bool TFrmOptions::OnButtonClicked(int id) {
    static constexpr ClickRoute<TFrmOptions> kClicks[] = {
        {IDC_BTN_NEVERERASE, &TFrmOptions::BtnNeverEraseClick},
        {IDC_BTN_PREVIEW, &TFrmOptions::BtnPreviewClick},
        {IDC_BTN_OPTIONS_OK, &TFrmOptions::BtnOKClick},
        {IDC_BTN_OPTIONS_CANCEL, &TFrmOptions::BtnCancelClick},
        {IDCANCEL, &TFrmOptions::BtnCancelClick}, // Esc
        {IDC_BTN_IECOOKIESOPTION, &TFrmOptions::BtnIECookiesOptionClick},
        {IDC_BTN_TYPEDURLOPTION, &TFrmOptions::BtnTypedURLOptionClick},
        {IDC_BTN_CHROMIUMSITES, &TFrmOptions::BtnChromiumSitesClick},
        {IDC_BTN_FIREFOXSITES, &TFrmOptions::BtnFirefoxSitesClick},
    };
    return RouteClick(*this, kClicks, id);
}

std::optional<LRESULT> TFrmOptions::OnNotify(const NMHDR& header) {
    if (header.code == TCN_SELCHANGE &&
        (header.idFrom == IDC_OPTIONS_PAGECONTROL || header.idFrom == IDC_PGC_BROWSER)) {
        ShowPages();
        return 0;
    }
    return std::nullopt;
}

HBRUSH TFrmOptions::OnControlColour(HWND control, HDC dc) {
    HBRUSH brush = pgcBrowser_.PageBrushFor(control, dc);
    return brush ? brush : pageControl_.PageBrushFor(control, dc);
}
