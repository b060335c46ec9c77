#include "settings/NeverEraseForm.h"

#include "ui/Dialogs.h"
#include "ui/StandardControls.h"
#include "platform/Text.h"
#include "settings/ListPairForm.h"
#include "store/OptionNames.h"
#include "store/OptionTexts.h"
#include "store/OptionsStore.h"

#include <commctrl.h>

namespace {

constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;

constexpr ControlSpec kControls[] = {
    {WC_STATICW, "Quorvale never overwrites or deletes these files and folders, nor anything in the folders:",
     TFrmNeverErase::IDC_LBL_NEVERERASE, 12, 12, 456, 34, SS_LEFT | SS_NOPREFIX},
    {WC_LISTBOXW, "", TFrmNeverErase::IDC_LBX_NEVERERASE, 12, 50, 456, 184,
     LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE},
    {WC_BUTTONW, "Add &Files ...", TFrmNeverErase::IDC_BTN_ADDFILES, 12, 244, 100, 25, kButton},
    {WC_BUTTONW, "Add F&older ...", TFrmNeverErase::IDC_BTN_ADDFOLDER, 120, 244, 100, 25, kButton},
    {WC_BUTTONW, "&Remove", TFrmNeverErase::IDC_BTN_REMOVEKEPT, 228, 244, 100, 25, kButton},
    {WC_BUTTONW, "OK", TFrmNeverErase::IDC_BTN_NEVERERASE_OK, 312, 282, 75, 25, kButton | BS_DEFPUSHBUTTON},
    {WC_BUTTONW, "Cancel", TFrmNeverErase::IDC_BTN_NEVERERASE_CANCEL, 393, 282, 75, 25, kButton},
};

bool Holds(const std::vector<std::string>& entries, const std::string& path) {
    for (const std::string& entry : entries) {
        if (EqualsNoCase(entry, path)) {
            return true;
        }
    }
    return false;
}

} // namespace

TFrmNeverErase::TFrmNeverErase(HWND owner) {
    CreateForm({kNeverEraseClass, kNeverEraseCaption, 480, 318, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                WS_EX_DLGMODALFRAME, CentreOn::Owner},
               owner);
    CreateControls(kControls);
    SetListBoxItemHeight(Control(IDC_LBX_NEVERERASE), Scale(kListPairItemHeight));
    AddPaths(ReadKeepList(OptionsStore(OptionsFilePath()), kSectionNeverErase));
}

// Paths can be longer than the list is wide: it scrolls sideways as far as the longest needs, and
// an empty list shows no scroll bar. Remove works on the selection, so it waits for one.
void TFrmNeverErase::ListChanged() {
    HWND list = Control(IDC_LBX_NEVERERASE);
    FitListBoxScrollWidth(list, Scale(8));
    EnableWindow(Control(IDC_BTN_REMOVEKEPT), ListBoxSelectedCount(list) > 0);
}

void TFrmNeverErase::AddPaths(const std::vector<std::string>& paths) {
    HWND list = Control(IDC_LBX_NEVERERASE);
    std::vector<std::string> shown = ListBoxEntries(list);
    for (const std::string& path : paths) {
        if (!path.empty() && !Holds(shown, path)) {
            AddListBoxEntry(list, path);
            shown.push_back(path);
        }
    }
    ListChanged();
}

void TFrmNeverErase::BtnAddFilesClick() {
    AddPaths(ChooseFilesToOpen(hwnd_, "Choose files Quorvale must never erase", "All files(*.*)|*.*",
                               OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_ENABLESIZING));
}

void TFrmNeverErase::BtnAddFolderClick() {
    std::string folder = ChooseFolder(hwnd_, "Choose a folder Quorvale must never erase, nor anything in it");
    if (!folder.empty()) {
        AddPaths({folder});
    }
}

void TFrmNeverErase::BtnRemoveClick() {
    TakeSelectedListBoxEntries(Control(IDC_LBX_NEVERERASE));
    ListChanged();
}

bool TFrmNeverErase::OnCommand(int id, int code) {
    if (id == IDC_LBX_NEVERERASE && code == LBN_SELCHANGE) {
        ListChanged();
        return true;
    }
    return false;
}

void TFrmNeverErase::BtnOKClick() {
    OptionsStore options(OptionsFilePath());
    WriteKeepList(options, kSectionNeverErase, ListBoxEntries(Control(IDC_LBX_NEVERERASE)));
    SetModalResult(IDOK);
    Close();
}

void TFrmNeverErase::BtnCancelClick() { Close(); }

bool TFrmNeverErase::OnButtonClicked(int id) {
    static constexpr ClickRoute<TFrmNeverErase> kClicks[] = {
        {IDC_BTN_ADDFILES, &TFrmNeverErase::BtnAddFilesClick},
        {IDC_BTN_ADDFOLDER, &TFrmNeverErase::BtnAddFolderClick},
        {IDC_BTN_REMOVEKEPT, &TFrmNeverErase::BtnRemoveClick},
        {IDC_BTN_NEVERERASE_OK, &TFrmNeverErase::BtnOKClick},
        {IDC_BTN_NEVERERASE_CANCEL, &TFrmNeverErase::BtnCancelClick},
        {IDCANCEL, &TFrmNeverErase::BtnCancelClick}, // Esc
    };
    return RouteClick(*this, kClicks, id);
}
