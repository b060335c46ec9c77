// The erase-items dialog: which built-in items and which plug-ins an erase run erases, and the way
// to the two keep lists.
#pragma once

#include "platform/Form.h"
#include "platform/PageControl.h"

constexpr const wchar_t* kOptionsClass = L"TFrmOptions";

enum OptionsControlId : int {
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
    IDC_BTN_IECOOKIESOPTION,
    IDC_BTN_TYPEDURLOPTION,
    IDC_LBL_PLUGINS,
    IDC_LVW_PLUGINS,
    IDC_BTN_OPTIONS_OK,
    IDC_BTN_OPTIONS_CANCEL,
};

class TFrmOptions : public TForm {
public:
    explicit TFrmOptions(HWND owner);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
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

    PageControl pageControl_;
    PageControl pgcBrowser_;
};
