// What happens after the erase at the end of the Windows session: show Windows' shutdown window,
// shut down, or restart.
#pragma once

#include "ui/Form.h"

constexpr const wchar_t* kShutdownOptionsClass = L"TFrmShutdownOptions";

class TFrmShutdownOptions : public TForm {
public:
    enum ControlId : int {
        IDC_LBL_SHUTDOWN = 400,
        IDC_RDB_SHOWWINDOW,
        IDC_RDB_SHUTDOWN,
        IDC_RDB_RESTART,
        IDC_BTN_SHUTDOWN_OK,
        IDC_BTN_SHUTDOWN_CANCEL,
    };

    explicit TFrmShutdownOptions(HWND owner);

protected:
    const char* HelpPage() const override { return "shutdown_options.htm"; }
    bool OnButtonClicked(int id) override;

private:
    void FormCreate();
    void BtnOKClick();
    void BtnCancelClick();
};
