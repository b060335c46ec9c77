#include "tools/FileShredderForm.h"

#include "engine/WipeMethods.h"
#include "platform/Messages.h"
#include "platform/Shell.h"
#include "platform/WindowText.h"
#include "ui/Dialogs.h"
#include "ui/ListViewRows.h"

#include <commctrl.h>

bool ShredderStopRequested = false;

namespace {

constexpr const char* kCaptionStart = "S&tart Shredding";
constexpr const char* kCaptionStop = "S&top";
constexpr const char* kMessageStops = "The process of shredding files stops.";
constexpr const char* kMessageFinishes = "The process of shredding files finishes.";
constexpr const char* kMessageEmptyList = "Please Select the files you want to shred firstly.";

constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;

constexpr ControlSpec kShredderControls[] = {
    {WC_STATICW, "&Please select the files you want to shred, the click 'Start Shredding' button.",
     TFrmFileShredder::IDC_SHRED_LABEL1, 8, 10, 474, 16, SS_LEFT},
    {WC_LISTVIEWW, "", TFrmFileShredder::IDC_SHRED_LVW, 8, 32, 474, 232, LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP,
     WS_EX_CLIENTEDGE},
    // How far the pass of the file being wiped has come, or what a drop left out.
    {WC_STATICW, "", TFrmFileShredder::IDC_SHRED_PROGRESS, 8, 270, 474, 16, SS_LEFT | SS_NOPREFIX},
    {WC_BUTTONW, "&Select files", TFrmFileShredder::IDC_BTN_SHRED_ADD, 8, 295, 100, 27, kButton},
    {WC_BUTTONW, "&Remove files", TFrmFileShredder::IDC_BTN_REMOVE, 116, 295, 100, 27, kButton},
    // No default button: Enter in the list must not start shredding.
    {WC_BUTTONW, kCaptionStart, TFrmFileShredder::IDC_BTN_SHRED, 274, 295, 110, 27, kButton},
    {WC_BUTTONW, "E&xit", TFrmFileShredder::IDC_BTN_SHRED_EXIT, 392, 295, 90, 27, kButton},
};

} // namespace

TFrmFileShredder::TFrmFileShredder(HWND owner, const std::vector<std::string>& files)
    : shredButton_(kCaptionStart, kCaptionStop) {
    CreateForm({kFileShredderClass, kFileShredderCaption, 490, 330, WS_POPUP | WS_CAPTION | WS_SYSMENU,
                WS_EX_DLGMODALFRAME, CentreOn::Owner},
               owner);
    CreateControls(kShredderControls);
    lvw_ = Control(IDC_SHRED_LVW);
    progress_ = Control(IDC_SHRED_PROGRESS);
    progressDisplay_.SetOwner(hwnd_);
    shredButton_.Attach(Control(IDC_BTN_SHRED));
    AddListViewStyles(lvw_, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    AddListViewColumn(lvw_, 0, "File Name", Scale(300));
    AddListViewColumn(lvw_, 1, "Result", Scale(170));
    FormCreate();
    ListPaths(files);
    DragAcceptFiles(hwnd_, TRUE);
}

void TFrmFileShredder::FormCreate() { ShredderStopRequested = false; }

void TFrmFileShredder::FormDropFiles(HDROP drop) {
    const std::vector<std::string> paths = TakeDroppedPaths(drop);
    if (!shredButton_.Busy()) {
        ListPaths(paths);
    }
}

void TFrmFileShredder::ListPaths(const std::vector<std::string>& paths) {
    std::vector<std::string> listed;
    for (int row = 0, count = ListViewRowCount(lvw_); row < count; ++row) {
        listed.push_back(ListViewCell(lvw_, row, 0));
    }
    const ListedPaths taken = PathsToList(paths, listed);
    for (const std::string& file : taken.files) {
        AppendListViewRow(lvw_, {file, kStatusAdded});
    }
    SetWindowTextUtf8(progress_, taken.folders > 0 ? FoldersNotAddedText(taken.folders) : std::string());
}

void TFrmFileShredder::ShowPassProgress(const PassProgress& progress) {
    progressDisplay_.Update([this, text = PassProgressText(progress)] {
        SetWindowTextUtf8(progress_, text);
        UpdateWindow(progress_);
    });
}

bool TFrmFileShredder::OnButtonClicked(int id) {
    static constexpr ClickRoute<TFrmFileShredder> kClicks[] = {
        {IDC_BTN_SHRED_ADD, &TFrmFileShredder::BtnAddClick}, {IDC_BTN_REMOVE, &TFrmFileShredder::BtnRemoveClick},
        {IDC_BTN_SHRED, &TFrmFileShredder::BtnShredClick},   {IDC_BTN_SHRED_EXIT, &TFrmFileShredder::BtnExitClick},
        {IDCANCEL, &TFrmFileShredder::FormEscape}, // Esc
    };
    return RouteClick(*this, kClicks, id);
}

LRESULT TFrmFileShredder::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (shredButton_.TakeWhileBusy(msg, ShredderStopRequested, [this] { FormCloseQuery(); })) {
        return 0;
    }
    if (msg == WM_DROPFILES) {
        FormDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    return TForm::HandleMessage(msg, wParam, lParam);
}

// Closing while files are being shredded would pull the list from under the running loop: the
// shredding is stopped as Stop would, and the window closes once it has ended.
void TFrmFileShredder::FormCloseQuery() {
    closeWhenStopped_ = true;
    RequestStop();
}

// Esc closes an idle window. During a shredding it only stops, as Stop does: the window stays open,
// so the list still shows which files were shredded and which were left.
void TFrmFileShredder::FormEscape() {
    if (shredButton_.Busy()) {
        RequestStop();
    } else {
        Close();
    }
}

void TFrmFileShredder::BtnAddClick() {
    std::vector<std::string> files =
        ChooseFilesToOpen(hwnd_, "Choose files to be shredded", "All files(*.*)|*.*",
                          OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_ENABLESIZING);
    for (const auto& file : files) {
        AppendListViewRow(lvw_, {file, kStatusAdded});
    }
}

void TFrmFileShredder::BtnRemoveClick() {
    if (ListViewSelectedCount(lvw_) == 0) {
        return;
    }
    for (int row = ListViewRowCount(lvw_) - 1; row >= 0; --row) {
        if (IsListViewRowSelected(lvw_, row)) {
            DeleteListViewRow(lvw_, row);
        }
    }
}

void TFrmFileShredder::BtnExitClick() { Close(); }

void TFrmFileShredder::BtnShredClick() {
    if (shredButton_.OffersStop()) {
        RequestStop();
        return;
    }
    if (shredButton_.Busy()) {
        return;
    }
    if (ListViewRowCount(lvw_) == 0) {
        ShowMessageBox(hwnd_, kMessageEmptyList, "Error", MB_OK | MB_ICONINFORMATION);
        return;
    }
    ShredFiles();
}

// The click arrives while the shredding loop runs (the wipe lets messages through between
// passes). The button stays disabled until that loop has ended, so no second shredding can start
// inside the first.
void TFrmFileShredder::RequestStop() {
    if (!shredButton_.OffersStop()) {
        return;
    }
    shredButton_.WithdrawStop();
    ShredderStopRequested = true;
}

void TFrmFileShredder::SetShredding(bool shredding) {
    progressDisplay_.Drop();
    SetWindowTextUtf8(progress_, "");
    for (int id : {IDC_BTN_SHRED_ADD, IDC_BTN_REMOVE, IDC_BTN_SHRED_EXIT}) {
        EnableWindow(Control(id), shredding ? FALSE : TRUE);
    }
    shredButton_.SetBusy(shredding);
}

void TFrmFileShredder::ShredFiles() {
    ShredderSettings settings = ReadShredderSettings(OptionsStore(OptionsFilePath()));
    TakeNeverEraseList(OptionsFilePath());
    SetShredding(true);
    ShredderStopRequested = false;
    // Whatever ends the loop, the window is usable again afterwards.
    shredButton_.RunBusy(
        hwnd_,
        [&] {
            int count = ListViewRowCount(lvw_);
            for (int row = 0; row < count; ++row) {
                if (!hwnd_) {
                    return;
                }
                if (ShredderStopRequested) {
                    ShredderStopRequested = false;
                    EndShredding(kMessageStops);
                    return;
                }
                EnsureListViewRowVisible(lvw_, row);
                UpdateWindow(lvw_);
                ShredRow(row, settings);
            }
            if (!hwnd_) {
                return;
            }
            const char* message = ShredderStopRequested ? kMessageStops : kMessageFinishes;
            ShredderStopRequested = false;
            EndShredding(message);
        },
        [this] { SetShredding(false); });
}

void TFrmFileShredder::EndShredding(const char* message) {
    SetShredding(false);
    if (closeWhenStopped_) {
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        return;
    }
    ShowMessageBox(hwnd_, message, "Information", MB_OK | MB_ICONINFORMATION);
}

void TFrmFileShredder::ShredRow(int row, const ShredderSettings& settings) {
    std::string path = ListViewCell(lvw_, row, 0);
    if (auto refusal = ShredRefusal(path)) {
        SetStatus(row, *refusal);
        return;
    }
    WipeControl control;
    control.stopFlag = &ShredderStopRequested;
    control.beforePass = [this, row](int pass) { SetStatus(row, PassLabel(pass)); };
    control.duringPass = [this](const PassProgress& progress) { ShowPassProgress(progress); };
    try {
        WipeFileByMethod(path, settings.method, settings.passes, control);
    } catch (const WipeOpenError&) {
        // Locked or made unwritable after the checks: the file keeps what the passes so far wrote.
        SetStatus(row, kStatusNotWritable);
        return;
    }
    SetStatus(row, ShredderStopRequested ? kStatusStopped : kStatusCompleted);
}

void TFrmFileShredder::SetStatus(int row, const std::string& status) {
    SetListViewCell(lvw_, row, 1, status);
    UpdateWindow(lvw_); // the random method lets no messages run, so paint now
}
