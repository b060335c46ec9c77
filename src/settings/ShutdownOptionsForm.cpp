#include "settings/ShutdownOptionsForm.h"

#include "ui/StandardControls.h"
#include "settings/MiscellaneousRules.h"
#include "store/OptionNames.h"
#include "store/OptionsStore.h"

#include <commctrl.h>

namespace {

constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;

constexpr ControlSpec kControls[] = {
    {WC_STATICW,
     "If Quorvale is set to automatically erase privacy when you shut down or restart Windows, it will peform the "
     "selected action below after it finishes erasing.",
     TFrmShutdownOptions::IDC_LBL_SHUTDOWN, 12, 12, 326, 48, SS_LEFT | SS_NOPREFIX},
    {WC_BUTTONW, "Erase, then &show Windows shutdown window", TFrmShutdownOptions::IDC_RDB_SHOWWINDOW, 24, 68, 310, 20,
     kRadio | WS_GROUP | WS_TABSTOP},
    {WC_BUTTONW, "Erase, then shut &down Windows", TFrmShutdownOptions::IDC_RDB_SHUTDOWN, 24, 94, 310, 20, kRadio},
    {WC_BUTTONW, "Erase, then &restart Windows", TFrmShutdownOptions::IDC_RDB_RESTART, 24, 120, 310, 20, kRadio},
    {WC_BUTTONW, "OK", TFrmShutdownOptions::IDC_BTN_SHUTDOWN_OK, 182, 157, 75, 25,
     kButton | BS_DEFPUSHBUTTON | WS_GROUP},
    {WC_BUTTONW, "Cancel", TFrmShutdownOptions::IDC_BTN_SHUTDOWN_CANCEL, 265, 157, 75, 25, kButton},
};

// The radio buttons in the order of ShutdownChoice.
constexpr int kChoiceButtons[] = {TFrmShutdownOptions::IDC_RDB_SHOWWINDOW, TFrmShutdownOptions::IDC_RDB_SHUTDOWN,
                                  TFrmShutdownOptions::IDC_RDB_RESTART};

} // namespace

TFrmShutdownOptions::TFrmShutdownOptions(HWND owner) {
    CreateForm({kShutdownOptionsClass, "Windows shutdown options", 350, 192,
                WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME, CentreOn::Owner},
               owner);
    CreateControls(kControls);
    FormCreate();
}

void TFrmShutdownOptions::FormCreate() {
    OptionsStore options(OptionsFilePath());
    ShutdownChoice choice =
        ShutdownChoiceOf(options.GetText(kSectionMiscellaneous, kKeySystemShutdownOption, kDefaultShutdownOption));
    SetTicked(Control(kChoiceButtons[static_cast<int>(choice)]), true);
}

void TFrmShutdownOptions::BtnOKClick() {
    ShutdownChoice choice = ShutdownChoice::Restart;
    if (IsTicked(Control(IDC_RDB_SHOWWINDOW))) {
        choice = ShutdownChoice::ShowWindow;
    } else if (IsTicked(Control(IDC_RDB_SHUTDOWN))) {
        choice = ShutdownChoice::Shutdown;
    }
    OptionsStore options(OptionsFilePath());
    options.PutText(kSectionMiscellaneous, kKeySystemShutdownOption, ShutdownOptionText(choice));
    SetModalResult(IDOK);
    Close();
}

void TFrmShutdownOptions::BtnCancelClick() { Close(); }

bool TFrmShutdownOptions::OnButtonClicked(int id) {
    static constexpr ClickRoute<TFrmShutdownOptions> kClicks[] = {
        {IDC_BTN_SHUTDOWN_OK, &TFrmShutdownOptions::BtnOKClick},
        {IDC_BTN_SHUTDOWN_CANCEL, &TFrmShutdownOptions::BtnCancelClick},
        {IDCANCEL, &TFrmShutdownOptions::BtnCancelClick}, // Esc
    };
    return RouteClick(*this, kClicks, id);
}
