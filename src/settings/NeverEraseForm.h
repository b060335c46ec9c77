// The "Never erase" list: the files and folders no erase run, plug-in or shredding ever touches,
// kept in Options.ini one full path per line. The user adds files and folders and removes entries;
// OK saves the list, Cancel leaves it as it was.
#pragma once

#include "ui/Form.h"

#include <string>
#include <vector>

constexpr const wchar_t* kNeverEraseClass = L"TFrmNeverErase";
constexpr const char* kNeverEraseCaption = "Never Erase";

class TFrmNeverErase : public TForm {
public:
    enum ControlId : int {
        IDC_LBL_NEVERERASE = 300,
        IDC_LBX_NEVERERASE,
        IDC_BTN_ADDFILES,
        IDC_BTN_ADDFOLDER,
        IDC_BTN_REMOVEKEPT,
        IDC_BTN_NEVERERASE_OK,
        IDC_BTN_NEVERERASE_CANCEL,
    };

    explicit TFrmNeverErase(HWND owner);

protected:
    const char* HelpPage() const override { return "keep_lists.htm"; }
    bool OnButtonClicked(int id) override;
    bool OnCommand(int id, int code) override;

private:
    void BtnAddFilesClick();
    void BtnAddFolderClick();
    void BtnRemoveClick();
    void BtnOKClick();
    void BtnCancelClick();
    // Adds the paths the list does not hold yet (compared without case).
    void ListChanged();
    void AddPaths(const std::vector<std::string>& paths);
};
