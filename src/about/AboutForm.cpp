#include "about/AboutForm.h"

#include "ui/ControlSubclass.h"
#include "platform/Shell.h"
#include "platform/Version.h"

#include <commctrl.h>

#include <string>

namespace {

constexpr DWORD kLink = SS_LEFT | SS_NOPREFIX | SS_NOTIFY | WS_TABSTOP;

const std::string kSiteLine = std::string("WebSite: ") + kSiteUrl;
const std::string kEmailLine = std::string("Support Email: ") + kSupportEmail;

// The two link lines show the hand cursor. Tab reaches them: a focused one shows a focus
// rectangle, and Enter or Space follows it as a click does.
std::optional<LRESULT> LinkMessage(HWND link, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    case WM_GETDLGCODE: {
        const auto* message = reinterpret_cast<const MSG*>(lParam);
        bool enter = message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN;
        return DefaultControlProc(link, msg, wParam, lParam) | (enter ? DLGC_WANTMESSAGE : 0);
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_SPACE) {
            SendMessageW(GetParent(link), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
                         reinterpret_cast<LPARAM>(link));
            return 0;
        }
        return std::nullopt;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(link, nullptr, TRUE);
        return std::nullopt;
    case WM_PAINT: {
        LRESULT result = DefaultControlProc(link, msg, wParam, lParam);
        if (GetFocus() == link) {
            RECT area;
            GetClientRect(link, &area);
            WindowDC dc(link);
            DrawFocusRect(dc.get(), &area);
        }
        return result;
    }
    default:
        return std::nullopt;
    }
}

} // namespace

TFrmAbout::TFrmAbout(HWND owner) {
    CreateForm({kAboutClass, "About Quorvale", 296, 241, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                WS_EX_DLGMODALFRAME, CentreOn::Owner},
               owner);
    const ControlSpec controls[] = {
        {WC_STATICW, "", IDC_IMAGE1, 24, 28, 32, 32, SS_ICON},
        {WC_STATICW, "Quorvale Version " QV_VERSION_TEXT, IDC_LABEL1, 70, 34, 210, 24, SS_LEFT | SS_NOPREFIX},
        {WC_STATICW, kSiteLine.c_str(), IDC_LBL_SITE, 24, 100, 260, 18, kLink},
        {WC_STATICW, kEmailLine.c_str(), IDC_LBL_EMAIL, 24, 128, 260, 18, kLink},
        {WC_BUTTONW, "OK", IDC_BTN_ABOUT_OK, 110, 198, 75, 25, BS_DEFPUSHBUTTON | WS_TABSTOP},
    };
    CreateControls(controls);
    logo_.reset(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, Scale(32), Scale(32), 0)));
    if (logo_) {
        SendMessageW(Control(IDC_IMAGE1), STM_SETICON, reinterpret_cast<WPARAM>(logo_.get()), 0);
    }
    LOGFONTW font{};
    font.lfHeight = -Scale(kTitleFontHeight);
    font.lfWeight = FW_BOLD;
    lstrcpyW(font.lfFaceName, kTitleFontFace);
    titleFont_.reset(CreateFontIndirectW(&font));
    if (titleFont_) {
        SendMessageW(Control(IDC_LABEL1), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);
    }
    SubclassControl(Control(IDC_LBL_SITE), LinkMessage);
    SubclassControl(Control(IDC_LBL_EMAIL), LinkMessage);
    SetActiveControl(IDC_BTN_ABOUT_OK);
}

// The window goes before the icon and font it shows.
TFrmAbout::~TFrmAbout() {
    if (hwnd_) {
        DestroyWindow(hwnd_);
    }
}

void TFrmAbout::BtnOKClick() {
    SetModalResult(IDOK);
    Close();
}

// A shell that cannot open the address (no browser or mail program) is not reported.
void TFrmAbout::LblSiteClick() { ShellOpen("open", kSiteUrl, "c:\\", SW_SHOWNORMAL); }

void TFrmAbout::LblEmailClick() { ShellOpen("", std::string("mailto:") + kSupportEmail, "c:\\", SW_SHOWNORMAL); }

bool TFrmAbout::OnButtonClicked(int id) {
    static constexpr ClickRoute<TFrmAbout> kClicks[] = {
        {IDC_BTN_ABOUT_OK, &TFrmAbout::BtnOKClick},
        {IDOK, &TFrmAbout::BtnOKClick},     // Enter
        {IDCANCEL, &TFrmAbout::BtnOKClick}, // Esc
    };
    return RouteClick(*this, kClicks, id);
}

bool TFrmAbout::OnCommand(int id, int code) {
    static constexpr ClickRoute<TFrmAbout> kLinks[] = {
        {IDC_LBL_SITE, &TFrmAbout::LblSiteClick},
        {IDC_LBL_EMAIL, &TFrmAbout::LblEmailClick},
    };
    return code == STN_CLICKED && RouteClick(*this, kLinks, id);
}
