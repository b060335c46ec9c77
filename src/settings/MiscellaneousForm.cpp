#include "settings/MiscellaneousForm.h"

#include "platform/WindowText.h"
#include "platform/Files.h"
#include "ui/StandardControls.h"
#include "settings/MiscellaneousRules.h"
#include "store/OptionNames.h"
#include "store/OptionsStore.h"
#include "settings/RunValue.h"
#include "settings/BossKeyOptionForm.h"
#include "settings/ShutdownOptionsForm.h"

#include <commctrl.h>

namespace {

constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kFieldLabel = SS_LEFT; // its mnemonic focuses the field after it
constexpr DWORD kEdit = ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP;

constexpr ControlSpec kFrame[] = {
    {WC_TABCONTROLW, "", TFrmMiscellaneous::IDC_MISC_PAGECONTROL, 8, 8, 491, 248, WS_CLIPSIBLINGS | WS_TABSTOP},
};

constexpr ControlSpec kSheetGeneral[] = {
    {WC_BUTTONW, "&Start automatically with Windows", TFrmMiscellaneous::IDC_CHK_SYSTEMSTART, 20, 40, 400, 20, kCheck},
    {WC_BUTTONW, "Run in stealth &mode", TFrmMiscellaneous::IDC_CHK_STEALTHMODE, 20, 66, 400, 20, kCheck},
    {WC_STATICW,
     "In stealth mode,  Quorvale doesn't show an icon on the system tray, but it still works in the background.",
     TFrmMiscellaneous::IDC_LBL_STEALTHMODE, 38, 88, 445, 30, kLabel},
    {WC_STATICW, "Stealth &key: ", TFrmMiscellaneous::IDC_LBL_STEALTHKEY, 38, 124, 82, 18, kFieldLabel},
    {WC_EDITW, "Ctrl+Alt+S", TFrmMiscellaneous::IDC_EDT_STEALTHKEY, 122, 121, 150, 22, kEdit, WS_EX_CLIENTEDGE},
    {WC_BUTTONW, "Enable &boss key", TFrmMiscellaneous::IDC_CHK_BOSSKEY, 20, 152, 400, 20, kCheck},
    {WC_STATICW,
     "Boss key will let you hide and restore the applications on your screen,  it will prevent uninvited persons "
     "from seeing your sensitive information. ",
     TFrmMiscellaneous::IDC_LBL_BOSSKEYTEXT, 38, 174, 445, 30, kLabel},
    {WC_STATICW, "Boss ke&y: ", TFrmMiscellaneous::IDC_LBL_BOSSKEY, 38, 213, 82, 18, kFieldLabel},
    {WC_EDITW, "Ctrl+Alt+B", TFrmMiscellaneous::IDC_EDT_BOSSKEY, 122, 210, 150, 22, kEdit, WS_EX_CLIENTEDGE},
    {WC_BUTTONW, "&Options", TFrmMiscellaneous::IDC_BTN_BOSSKEYOPTIONS, 282, 209, 75, 24, kButton},
};

// The long captions of this page take the whole width inside the page control.
constexpr ControlSpec kSheetSecurity[] = {
    {WC_STATICW,
     "Quorvale overwrites each file it deletes with random characters and make it unrevoverable. Please select the "
     "sanitize method you want. The more times a file is overwritten, the higher the security, and the longer the "
     "wash will take.  ",
     TFrmMiscellaneous::IDC_LBL_SECURITY, 14, 40, 480, 58, kLabel},
    {WC_BUTTONW, "&DoD 5520.22-M Standard (Recommended), it overwrites the deleted files 3 times.",
     TFrmMiscellaneous::IDC_RBN_DOD, 14, 104, 480, 20, kRadio | WS_GROUP | WS_TABSTOP},
    {WC_BUTTONW, "&NSA Standard, it overwrites the deleted files 7 times.", TFrmMiscellaneous::IDC_RBN_NSA, 14, 128,
     480, 20, kRadio},
    {WC_BUTTONW, "&Gutmann Method, it overwrites the deleted files 35 times.", TFrmMiscellaneous::IDC_RBN_GUTMANN, 14,
     152, 480, 20, kRadio},
    {WC_BUTTONW, "&Random, it overwites the deleted files", TFrmMiscellaneous::IDC_RBN_RANDOM, 14, 176, 264, 20,
     kRadio},
    {WC_EDITW, "2", TFrmMiscellaneous::IDC_EDT_TIMES, 280, 175, 60, 22, kEdit | WS_GROUP, WS_EX_CLIENTEDGE},
    {UPDOWN_CLASSW, "", TFrmMiscellaneous::IDC_UPD_TIMES, 340, 175, 16, 22, UDS_ALIGNRIGHT | UDS_NOTHOUSANDS},
    {WC_STATICW, "times", TFrmMiscellaneous::IDC_LBL_TIMES, 348, 178, 50, 18, kLabel},
};

constexpr ControlSpec kSheetSchedule[] = {
    {WC_STATICW, "Erase tracks at the following time: ", TFrmMiscellaneous::IDC_LBL_SCHEDULE, 20, 40, 400, 18, kLabel},
    {WC_BUTTONW, "Windows s&tartup", TFrmMiscellaneous::IDC_CHK_WINDOWSSTARTERASE, 38, 66, 200, 20, kCheck},
    {WC_BUTTONW, "Windows s&hutdown", TFrmMiscellaneous::IDC_CHK_WINDOWSSHUTDOWN, 38, 94, 200, 20, kCheck},
    {WC_BUTTONW, "O&ptions", TFrmMiscellaneous::IDC_BTN_SHUTDOWNOPTIONS, 250, 92, 75, 24, kButton},
    {WC_BUTTONW, "&Erase privacy", TFrmMiscellaneous::IDC_CHK_INTERVAL, 38, 124, 120, 20, kCheck},
    {WC_COMBOBOXW, "", TFrmMiscellaneous::IDC_CBO_SCHEDULE, 160, 122, 165, 150,
     CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
};

// Kept from and written to "Options.ini", never shown.
constexpr ControlSpec kHidden[] = {
    {WC_BUTTONW, "Browsers close", TFrmMiscellaneous::IDC_CHK_BROWSERCLOSE, 38, 150, 200, 20, kCheck},
};

constexpr ControlSpec kButtons[] = {
    {WC_BUTTONW, "OK", TFrmMiscellaneous::IDC_BTN_MISC_OK, 336, 265, 75, 25, kButton | BS_DEFPUSHBUTTON},
    {WC_BUTTONW, "Canel", TFrmMiscellaneous::IDC_BTN_CANEL, 424, 265, 75, 25, kButton},
};

constexpr const char* kScheduleChoices[] = {"Every 15 minutes", "Every 30 minutes", "Every hour", "Every 8 hours",
                                            "Once a day"};

// The security level radio buttons in the order of WipeChoice.
constexpr int kWipeButtons[] = {TFrmMiscellaneous::IDC_RBN_DOD, TFrmMiscellaneous::IDC_RBN_NSA,
                                TFrmMiscellaneous::IDC_RBN_GUTMANN, TFrmMiscellaneous::IDC_RBN_RANDOM};

} // namespace

TFrmMiscellaneous::TFrmMiscellaneous(HWND owner, RunningProgram& program) : program_(program) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);
    CreateForm({kMiscellaneousClass, "Miscellaneous settings", 507, 298,
                WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME, CentreOn::Owner},
               owner);
    CreateControls(kFrame);
    CreateControls(kSheetGeneral);
    CreateControls(kSheetSecurity);
    CreateControls(kSheetSchedule);
    CreateControls(kHidden);
    CreateControls(kButtons);
    ShowWindow(Control(IDC_CHK_BROWSERCLOSE), SW_HIDE);
    SendMessageW(Control(IDC_UPD_TIMES), UDM_SETBUDDY, reinterpret_cast<WPARAM>(Control(IDC_EDT_TIMES)), 0);
    SendMessageW(Control(IDC_UPD_TIMES), UDM_SETRANGE32, 0, 100);
    SendMessageW(Control(IDC_UPD_TIMES), UDM_SETPOS32, 0, 50);
    for (const char* choice : kScheduleChoices) {
        AddComboEntry(Control(IDC_CBO_SCHEDULE), choice);
    }
    CreatePages();
    SubclassFields();
    FormCreate();
}

void TFrmMiscellaneous::CreatePages() {
    SetWindowPos(Control(IDC_MISC_PAGECONTROL), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    pageControl_.Attach(Control(IDC_MISC_PAGECONTROL));
    pageControl_.AddPage("General", ControlsOf(hwnd_, kSheetGeneral));
    pageControl_.AddPage("Security", ControlsOf(hwnd_, kSheetSecurity));
    pageControl_.AddPage("Schedule", ControlsOf(hwnd_, kSheetSchedule));
}

HWND TFrmMiscellaneous::PageControlFor(HWND) const { return pageControl_.Handle(); }

bool TFrmMiscellaneous::CapturesKeys(HWND control) const {
    return control == Control(IDC_EDT_STEALTHKEY) || control == Control(IDC_EDT_BOSSKEY);
}

void TFrmMiscellaneous::FormCreate() {
    OptionsStore options(OptionsFilePath());
    pageControl_.SelectPage(0);
    pageControl_.Apply(true);
    SetBox(IDC_CHK_SYSTEMSTART, options.GetFlag(kSectionMiscellaneous, kKeySystemStart, true));
    SetBox(IDC_CHK_STEALTHMODE, options.GetFlag(kSectionMiscellaneous, kKeyStealthMode, false));
    SetWindowTextUtf8(Control(IDC_EDT_STEALTHKEY),
                      options.GetText(kSectionMiscellaneous, kKeyStealthKey, kDefaultStealthKey));
    SetBox(IDC_CHK_BOSSKEY, options.GetFlag(kSectionMiscellaneous, kKeyEnableBosskey, false));
    EnableWindow(Control(IDC_EDT_BOSSKEY), IsTicked(Control(IDC_CHK_BOSSKEY)));
    EnableWindow(Control(IDC_BTN_BOSSKEYOPTIONS), IsTicked(Control(IDC_CHK_BOSSKEY)));
    SetWindowTextUtf8(Control(IDC_EDT_BOSSKEY), options.GetText(kSectionMiscellaneous, kKeyBossKey, kDefaultBossKey));
    WipeChoice wipe = WipeChoiceOf(options.GetText(kSectionMiscellaneous, kKeySecurityLevel, kDefaultSecurityLevel));
    TickRadio(kWipeButtons[static_cast<int>(wipe)]);
    SetWindowTextUtf8(Control(IDC_EDT_TIMES), options.GetText(kSectionMiscellaneous, kKeyRandomRepeatedTime,
                                                              std::to_string(kDefaultRunPasses)));
    EnableTimes(IsTicked(Control(IDC_RBN_RANDOM)));
    SetBox(IDC_CHK_WINDOWSSTARTERASE, options.GetFlag(kSectionMiscellaneous, kKeySystemStartErase, false));
    SetBox(IDC_CHK_WINDOWSSHUTDOWN, options.GetFlag(kSectionMiscellaneous, kKeySystemShutdownErase, false));
    SetBox(IDC_CHK_BROWSERCLOSE, options.GetFlag(kSectionMiscellaneous, kKeyBrowserCloseErase, false));
    SetBox(IDC_CHK_INTERVAL, options.GetFlag(kSectionMiscellaneous, kKeyCustomIntervalErase, false));
    SelectComboEntry(Control(IDC_CBO_SCHEDULE), options.GetNumber(kSectionMiscellaneous, kKeyCustomInterval, 0));
    EnableWindow(Control(IDC_CBO_SCHEDULE), IsTicked(Control(IDC_CHK_INTERVAL)));
}

void TFrmMiscellaneous::SetBox(int id, bool ticked) {
    HWND box = Control(id);
    if (IsTicked(box) != ticked) {
        SetTicked(box, ticked);
        OnButtonClicked(id);
    }
}

void TFrmMiscellaneous::TickRadio(int id) {
    bool changed = !IsTicked(Control(id));
    for (int button : kWipeButtons) {
        SetTicked(Control(button), button == id);
    }
    if (changed) {
        OnButtonClicked(id);
    }
}

void TFrmMiscellaneous::EnableTimes(bool enabled) {
    EnableWindow(Control(IDC_EDT_TIMES), enabled);
    EnableWindow(Control(IDC_UPD_TIMES), enabled);
}

bool TFrmMiscellaneous::OnButtonClicked(int id) {
    using F = TFrmMiscellaneous;
    static constexpr ClickRoute<F> kClicks[] = {
        {IDC_BTN_MISC_OK, &F::BtnOKClick},
        {IDC_BTN_CANEL, &F::BtnCanelClick},
        {IDCANCEL, &F::BtnCanelClick}, // Esc
        {IDC_CHK_SYSTEMSTART, &F::ChkSystemStartClick},
        {IDC_CHK_WINDOWSSTARTERASE, &F::ChkWindowsStartEraseClick},
        {IDC_CHK_BOSSKEY, &F::ChkBossKeyClick},
        {IDC_CHK_INTERVAL, &F::ChkIntervalClick},
        {IDC_RBN_RANDOM, &F::RbnRandomClick},
        {IDC_RBN_DOD, &F::RbnDODClick},
        {IDC_RBN_NSA, &F::RbnNSAClick},
        {IDC_RBN_GUTMANN, &F::RbnGutmannClick},
        {IDC_BTN_BOSSKEYOPTIONS, &F::BtnBosskeyOptionsClick},
        {IDC_BTN_SHUTDOWNOPTIONS, &F::BtnShutdownOptionsClick},
    };
    return RouteClick(*this, kClicks, id);
}

void TFrmMiscellaneous::BtnOKClick() {
    OptionsStore options(OptionsFilePath());
    const bool systemStart = IsTicked(Control(IDC_CHK_SYSTEMSTART));
    options.PutFlag(kSectionMiscellaneous, kKeySystemStart, systemStart);
    ApplyRunValue(RunKeys{}, RunValueData(ExecutablePath(), systemStart, IsTicked(Control(IDC_CHK_WINDOWSSTARTERASE))));

    const bool stealthMode = IsTicked(Control(IDC_CHK_STEALTHMODE));
    options.PutFlag(kSectionMiscellaneous, kKeyStealthMode, stealthMode);
    if (stealthMode && program_.TrayIconShown()) {
        program_.ShowTrayIcon(false);
    } else if (!stealthMode && !program_.TrayIconShown()) {
        program_.ShowTrayIcon(true);
    }

    options.PutText(kSectionMiscellaneous, kKeyStealthKey, WindowText(Control(IDC_EDT_STEALTHKEY)));
    options.PutFlag(kSectionMiscellaneous, kKeyEnableBosskey, IsTicked(Control(IDC_CHK_BOSSKEY)));
    options.PutText(kSectionMiscellaneous, kKeyBossKey, WindowText(Control(IDC_EDT_BOSSKEY)));
    WipeChoice wipe = WipeChoice::Random;
    for (int i = 0; i < 3; ++i) {
        if (IsTicked(Control(kWipeButtons[i]))) {
            wipe = static_cast<WipeChoice>(i);
            break;
        }
    }
    options.PutText(kSectionMiscellaneous, kKeySecurityLevel, SecurityLevelText(wipe));
    options.PutText(kSectionMiscellaneous, kKeyRandomRepeatedTime, WindowText(Control(IDC_EDT_TIMES)));
    options.PutFlag(kSectionMiscellaneous, kKeySystemStartErase, IsTicked(Control(IDC_CHK_WINDOWSSTARTERASE)));
    options.PutFlag(kSectionMiscellaneous, kKeySystemShutdownErase, IsTicked(Control(IDC_CHK_WINDOWSSHUTDOWN)));
    options.PutFlag(kSectionMiscellaneous, kKeyBrowserCloseErase, IsTicked(Control(IDC_CHK_BROWSERCLOSE)));
    options.PutFlag(kSectionMiscellaneous, kKeyCustomIntervalErase, IsTicked(Control(IDC_CHK_INTERVAL)));
    options.PutNumber(kSectionMiscellaneous, kKeyCustomInterval, ComboSelection(Control(IDC_CBO_SCHEDULE)));

    program_.SetSchedule(options.GetFlag(kSectionMiscellaneous, kKeyCustomIntervalErase, false),
                         options.GetNumber(kSectionMiscellaneous, kKeyCustomInterval, 0));
    SetModalResult(IDOK);
    Close();
}

void TFrmMiscellaneous::BtnCanelClick() { Close(); }

void TFrmMiscellaneous::ChkSystemStartClick() {
    if (!IsTicked(Control(IDC_CHK_SYSTEMSTART))) {
        SetBox(IDC_CHK_WINDOWSSTARTERASE, false);
    }
}

void TFrmMiscellaneous::ChkWindowsStartEraseClick() {
    if (IsTicked(Control(IDC_CHK_WINDOWSSTARTERASE))) {
        SetBox(IDC_CHK_SYSTEMSTART, true);
    }
}

void TFrmMiscellaneous::ChkBossKeyClick() {
    bool enabled = IsTicked(Control(IDC_CHK_BOSSKEY));
    EnableWindow(Control(IDC_EDT_BOSSKEY), enabled);
    EnableWindow(Control(IDC_BTN_BOSSKEYOPTIONS), enabled);
}

void TFrmMiscellaneous::ChkIntervalClick() {
    EnableWindow(Control(IDC_CBO_SCHEDULE), IsTicked(Control(IDC_CHK_INTERVAL)));
}

void TFrmMiscellaneous::RbnRandomClick() { EnableTimes(true); }
void TFrmMiscellaneous::RbnDODClick() { EnableTimes(false); }
void TFrmMiscellaneous::RbnNSAClick() { EnableTimes(false); }
void TFrmMiscellaneous::RbnGutmannClick() { EnableTimes(false); }

void TFrmMiscellaneous::BtnBosskeyOptionsClick() { RunModal<TFrmBosskeyOption>(hwnd_); }

void TFrmMiscellaneous::BtnShutdownOptionsClick() { RunModal<TFrmShutdownOptions>(hwnd_); }

std::optional<LRESULT> TFrmMiscellaneous::OnNotify(const NMHDR& header) {
    if (header.idFrom == IDC_MISC_PAGECONTROL && header.code == TCN_SELCHANGE) {
        pageControl_.Apply(true);
        return 0;
    }
    if (header.idFrom == IDC_UPD_TIMES && header.code == UDN_DELTAPOS) {
        EdtTimesStep(reinterpret_cast<const NMUPDOWN&>(header).iDelta > 0 ? 1 : -1);
        return 1; // the up-down control keeps no position of its own
    }
    return std::nullopt;
}

HBRUSH TFrmMiscellaneous::OnControlColour(HWND control, HDC dc) { return pageControl_.PageBrushFor(control, dc); }
