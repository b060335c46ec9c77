// The erase-items dialog: which built-in items and which plug-ins an erase run erases, and the way
// to the two keep lists.
#pragma once

#include "ui/Form.h"
#include "ui/PageControl.h"

constexpr const wchar_t* kOptionsClass = L"TFrmOptions";

class TFrmOptions : public TForm {
public:
    enum ControlId : int {
        IDC_OPTIONS_PAGECONTROL = 500,
        IDC_PGC_BROWSER,
        // The check boxes in the order of the erase run's rows (kEraseItems).
        IDC_CHK_IECACHE,
        IDC_CHK_IEHISTORY,
        IDC_CHK_IECOOKIES,
        IDC_CHK_IEADDRESSBAR,
        IDC_CHK_IEPASSWORD,
        IDC_CHK_IEFORMDATA,
        IDC_CHK_INDEXDAT,
        IDC_CHK_FIREFOXCACHE,
        IDC_CHK_FIREFOXCOOKIES,
        IDC_CHK_FIREFOXFORMDATA,
        IDC_CHK_FIREFOXHISTORY,
        IDC_CHK_NETSCAPECACHE,
        IDC_CHK_NETSCAPECOOKIES,
        IDC_CHK_NETSCAPEFORMDATA,
        IDC_CHK_NETSCAPEHISTORY,
        IDC_CHK_OPERACACHE,
        IDC_CHK_OPERACOOKIES,
        IDC_CHK_OPERAADDRESSBAR,
        IDC_CHK_RECYCLEBIN,
        IDC_CHK_TMPDIRECTORY,
        IDC_CHK_RECENTDOC,
        IDC_CHK_RUNMENU,
        IDC_CHK_SEARCHMENU,
        IDC_CHK_DIALOGHISTORY,
        IDC_CHK_CLIPBOARD,
        IDC_CHK_SWAPFILE,
        IDC_CHK_CHROMECACHE,
        IDC_CHK_CHROMECOOKIES,
        IDC_CHK_CHROMEHISTORY,
        IDC_CHK_CHROMEFORMDATA,
        IDC_CHK_CHROMEPASSWORDS,
        IDC_CHK_EDGECACHE,
        IDC_CHK_EDGECOOKIES,
        IDC_CHK_EDGEHISTORY,
        IDC_CHK_EDGEFORMDATA,
        IDC_CHK_EDGEPASSWORDS,
        IDC_CHK_BRAVECACHE,
        IDC_CHK_BRAVECOOKIES,
        IDC_CHK_BRAVEHISTORY,
        IDC_CHK_BRAVEFORMDATA,
        IDC_CHK_BRAVEPASSWORDS,
        IDC_CHK_VIVALDICACHE,
        IDC_CHK_VIVALDICOOKIES,
        IDC_CHK_VIVALDIHISTORY,
        IDC_CHK_VIVALDIFORMDATA,
        IDC_CHK_VIVALDIPASSWORDS,
        IDC_CHK_FIREFOX3CACHE,
        IDC_CHK_FIREFOX3COOKIES,
        IDC_CHK_FIREFOX3HISTORY,
        IDC_CHK_FIREFOX3FORMHISTORY,
        IDC_CHK_FIREFOX3SESSIONRESTORE,
        IDC_CHK_FIREFOX3LOGINS,
        IDC_CHK_TYPEDPATHS,
        IDC_CHK_USERASSIST,
        IDC_CHK_JUMPLISTS,
        IDC_CHK_CRASHREPORTS,
        IDC_CHK_POWERSHELLHISTORY,
        IDC_CHK_THUMBNAILCACHE,
        IDC_CHK_SHELLBAGS,
        IDC_CHK_DNSCACHE,
        IDC_CHK_VLCRECENTMEDIA,
        IDC_BTN_IECOOKIESOPTION,
        IDC_BTN_TYPEDURLOPTION,
        IDC_LBL_CHROMIUMCACHE,
        IDC_LBL_CHROMIUMCOOKIES,
        IDC_LBL_CHROMIUMHISTORY,
        IDC_LBL_CHROMIUMFORMDATA,
        IDC_LBL_CHROMIUMPASSWORDS,
        IDC_BTN_CHROMIUMSITES,
        IDC_LBL_FIREFOX3,
        IDC_LBL_FIREFOX12,
        IDC_BTN_FIREFOXSITES,
        IDC_LBL_PROGRAMS,
        IDC_LBL_PLUGINS,
        IDC_LVW_PLUGINS,
        IDC_BTN_NEVERERASE,
        IDC_BTN_PREVIEW,
        IDC_BTN_OPTIONS_OK,
        IDC_BTN_OPTIONS_CANCEL,
    };

    explicit TFrmOptions(HWND owner);

protected:
    const char* HelpPage() const override { return "options_dialog.htm"; }
    bool OnButtonClicked(int id) override;
    std::optional<LRESULT> OnNotify(const NMHDR& header) override;
    HBRUSH OnControlColour(HWND control, HDC dc) override;
    HWND PageControlFor(HWND focus) const override;

private:
    void CreatePages();
    void ShowPages();
    void FormCreate();
    void SizePluginColumns();
    void ListPlugins();
    void BtnOKClick();
    void BtnCancelClick();
    void BtnIECookiesOptionClick();
    void BtnTypedURLOptionClick();
    void BtnChromiumSitesClick();
    void BtnFirefoxSitesClick();
    void BtnNeverEraseClick();
    void BtnPreviewClick();

    PageControl pageControl_;
    PageControl pgcBrowser_;
};
