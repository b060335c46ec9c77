// The file shredder window: the user collects files and shreds them one after another with the
// configured wipe method, watching each file's passes in the list; Stop acts between passes.
#pragma once

#include "ui/Form.h"
#include "tools/WorkButton.h"
#include "tools/ShredderRules.h"

#include <string>

// The shredder's own stop flag, separate from the erase run's; set by its Stop button.
extern bool ShredderStopRequested;

constexpr const wchar_t* kFileShredderClass = L"TFrmFileShredder";
constexpr const char* kFileShredderCaption = "File Shredder";

class TFrmFileShredder : public TForm {
public:
    enum ControlId : int {
        IDC_SHRED_LABEL1 = 300,
        IDC_SHRED_LVW,
        IDC_BTN_SHRED_ADD,
        IDC_BTN_REMOVE,
        IDC_BTN_SHRED,
        IDC_BTN_SHRED_EXIT,
    };

    explicit TFrmFileShredder(HWND owner);

protected:
    const char* HelpPage() const override { return "file_shredder.htm"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnButtonClicked(int id) override;

private:
    void FormCreate();
    void FormCloseQuery();
    void FormEscape();
    void BtnAddClick();
    void BtnRemoveClick();
    void BtnShredClick();
    void BtnExitClick();

    void RequestStop();
    void ShredFiles();
    void ShredRow(int row, const ShredderSettings& settings);
    void SetStatus(int row, const std::string& status);
    void SetShredding(bool shredding);
    // Ends a shredding: the window is idle again, then the message (or the pending close).
    void EndShredding(const char* message);

    HWND lvw_ = nullptr;
    WorkButton shredButton_;
    bool closeWhenStopped_ = false;
};
