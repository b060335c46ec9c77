// The file shredder window: the user collects files and shreds them one after another with the
// configured wipe method, watching each file's passes in the list and a large file's progress
// within a pass under it; Stop acts between passes. Files dropped from Explorer are listed too.
#pragma once

#include "ui/Form.h"
#include "tools/WorkButton.h"
#include "tools/ShredderRules.h"
#include "ui/ThrottledDisplay.h"

#include <shellapi.h>

#include <string>
#include <vector>

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
        IDC_SHRED_PROGRESS,
    };

    // files: listed when the window opens (the paths a "/shredder" command line names); nothing is
    // shredded until the user clicks.
    explicit TFrmFileShredder(HWND owner, const std::vector<std::string>& files = {});

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
    // WM_DROPFILES: the files dropped from Explorer are added to the list, as "Select files" adds
    // them; not during a shredding.
    void FormDropFiles(HDROP drop);

    // Adds the files of paths not listed yet; says under the list how many folders were left out.
    void ListPaths(const std::vector<std::string>& paths);
    void ShowPassProgress(const PassProgress& progress);

    void RequestStop();
    void ShredFiles();
    void ShredRow(int row, const ShredderSettings& settings);
    void SetStatus(int row, const std::string& status);
    void SetShredding(bool shredding);
    // Ends a shredding: the window is idle again, then the message (or the pending close).
    void EndShredding(const char* message);

    HWND lvw_ = nullptr;
    HWND progress_ = nullptr;
    ThrottledDisplay progressDisplay_;
    WorkButton shredButton_;
    bool closeWhenStopped_ = false;
};
