// The preview of an erase: what an erase of the items ticked in the erase-items dialog (and the
// selected plug-ins) would remove now, found without changing anything. One group per item in run
// order, each entry with its size, the group's counts, and the totals in the run's own words. An
// entry, or its folder or key, can be marked "Never erase" from here.
#pragma once

#include "engine/EraseRun.h"
#include "ui/Form.h"

#include <string>
#include <vector>

constexpr const wchar_t* kPreviewClass = L"TFrmPreview";
constexpr const char* kPreviewCaption = "Preview";
constexpr const char* kPreviewFindingText = "Finding what an erase would remove ...";
constexpr const char* kPreviewHeading = "An erase of the ticked items would remove:";
constexpr const char* kPreviewNotMarkableText =
    "Only a file, a folder, a cache entry or a registry entry can be marked Never erase.";

class TFrmPreview : public TForm {
public:
    enum ControlId : int {
        IDC_LBL_PREVIEW = 320,
        IDC_PGB_PREVIEW,
        IDC_LVW_PREVIEW,
        IDC_LBL_PREVIEWTOTALS,
        IDC_BTN_PREVIEW_KEEP,
        IDC_BTN_PREVIEW_KEEPFOLDER,
        IDC_BTN_PREVIEW_CLOSE,
    };

    TFrmPreview(HWND owner, RunChoice chosen);

protected:
    const char* HelpPage() const override { return "options_dialog.htm#preview"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnButtonClicked(int id) override;
    std::optional<LRESULT> OnNotify(const NMHDR& header) override;
    bool OnTimer(UINT_PTR id) override;

private:
    // A row of the list: a group's title and counts, or one entry of it.
    struct Row {
        std::wstring text;
        std::wstring detail;
        const PlanEntry* entry; // nullptr for a group's row
    };

    void FindPreview();
    void ShowRows();
    void BtnKeepClick();
    void BtnKeepFolderClick();
    void BtnCloseClick();
    // Marks the path "Never erase" in Options.ini and shows the rows under it as kept.
    void MarkNeverErase(const std::string& path);
    const PlanEntry* SelectedEntry() const;

    RunChoice chosen_;
    ErasePreview preview_;
    std::vector<Row> rows_;
    bool finding_ = false;
    bool closeWhenFound_ = false;
};
