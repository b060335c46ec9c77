#include "tools/DriveWasherForm.h"

#include "platform/Messages.h"
#include "ui/ControlSubclass.h"
#include "platform/WindowText.h"
#include "ui/ListViewRows.h"
#include "platform/Volumes.h"
#include "tools/DriveList.h"
#include "tools/FillFiles.h"
#include "tools/LowDiskWarning.h"

#include <commctrl.h>

#include <optional>
#include <string>

bool WashStopRequested = false;

namespace {

constexpr const char* kCaptionStart = "&Start Cleaning";
constexpr const char* kCaptionStop = "&Stop Cleaning";

constexpr const char* kIntroduction =
    "&You can clean the free space of your disk to remove any remnants from deleted files. Free space on your drive "
    "may contain the files you have deleted, therefore  you should clean it to protect your privacy. Please select "
    "the drives you want to clean free space.";

constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
// Messages run (a Stop is seen) at least this often during a wash.
constexpr DWORD kRefreshIntervalMs = 40;
// The bar is repainted at most this often once a file's first two blocks are in.
constexpr DWORD kBarIntervalMs = 200;

constexpr ControlSpec kWasherControls[] = {
    {WC_STATICW, kIntroduction, TFrmDriveWasher::IDC_WASH_LABEL1, 8, 8, 474, 58, SS_LEFT},
    {WC_LISTVIEWW, "", TFrmDriveWasher::IDC_WASH_LVW, 8, 70, 476, 186,
     LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE},
    {WC_STATICW, "", TFrmDriveWasher::IDC_WASH_LABEL2, 8, 263, 474, 16, SS_LEFT},
    {PROGRESS_CLASSW, "", TFrmDriveWasher::IDC_WASH_PGBAR, 8, 282, 474, 18, 0},
    // Beside the bar, left of the buttons: the speed and the time left, blank until known.
    {WC_STATICW, "", TFrmDriveWasher::IDC_WASH_RATE, 8, 314, 100, 16, SS_LEFT | SS_NOPREFIX},
    {WC_STATICW, "", TFrmDriveWasher::IDC_WASH_TIMELEFT, 112, 314, 170, 16, SS_LEFT | SS_NOPREFIX},
    {WC_BUTTONW, kCaptionStart, TFrmDriveWasher::IDC_BTN_DRIVECLEAN, 290, 308, 100, 27, kButton | BS_DEFPUSHBUTTON},
    {WC_BUTTONW, "&Cancel", TFrmDriveWasher::IDC_BTN_CANCEL, 398, 308, 84, 27, kButton},
};

// The progress bar shows its percentage in its middle, drawn over what the bar itself painted.
std::optional<LRESULT> PercentBarMessage(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_PAINT) {
        return std::nullopt;
    }
    LRESULT result = DefaultControlProc(bar, msg, wParam, lParam);
    RECT area;
    GetClientRect(bar, &area);
    std::wstring text = std::to_wstring(SendMessageW(bar, PBM_GETPOS, 0, 0)) + L"%";
    WindowDC dc(bar);
    auto font = reinterpret_cast<HFONT>(SendMessageW(bar, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(dc.get(), font) : nullptr;
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), GetSysColor(COLOR_WINDOWTEXT));
    DrawTextW(dc.get(), text.c_str(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (oldFont) {
        SelectObject(dc.get(), oldFont);
    }
    return result;
}

} // namespace

TFrmDriveWasher::TFrmDriveWasher(HWND owner) : cleanButton_(kCaptionStart, kCaptionStop) {
    CreateForm({kDriveWasherClass, kDriveWasherCaption, 490, 342, WS_POPUP | WS_CAPTION | WS_SYSMENU,
                WS_EX_DLGMODALFRAME, CentreOn::Owner},
               owner);
    CreateControls(kWasherControls);
    lvw_ = Control(IDC_WASH_LVW);
    label2_ = Control(IDC_WASH_LABEL2);
    pgbar_ = Control(IDC_WASH_PGBAR);
    rate_ = Control(IDC_WASH_RATE);
    timeLeft_ = Control(IDC_WASH_TIMELEFT);
    rateDisplay_.SetOwner(hwnd_);
    cleanButton_.Attach(Control(IDC_BTN_DRIVECLEAN));
    ShowWindow(label2_, SW_HIDE);
    ShowWindow(pgbar_, SW_HIDE);
    SendMessageW(pgbar_, PBM_SETRANGE32, 0, 100);
    SubclassControl(pgbar_, PercentBarMessage);
    AddListViewStyles(lvw_, LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    AddListViewColumn(lvw_, 0, "Drives", Scale(158));
    AddListViewColumn(lvw_, 1, "Free Space", Scale(158));
    AddListViewColumn(lvw_, 2, "Total Space", Scale(155));
    FormCreate();
}

// Fill files that a wash killed half-way left behind are deleted first, so that the list shows
// the space they held as free and a disk is never left full.
void TFrmDriveWasher::FormCreate() {
    uint32_t mask = LogicalDriveMask();
    for (int index = 0; index < 26; ++index) {
        if ((mask & (1u << index)) == 0) {
            continue;
        }
        char letter = static_cast<char>('A' + index);
        std::optional<DiskSpace> space = QueryDiskSpace(letter);
        if (space && RemoveLeftoverFillFiles(DriveRoot(letter)) > 0) {
            space = QueryDiskSpace(letter);
        }
        DiskSpace sizes = space.value_or(DiskSpace{0, 0});
        AppendListViewRow(lvw_, {DriveCaption(VolumeLabel(letter), letter), DriveSizeText(sizes.freeToCaller),
                                 DriveSizeText(sizes.total)});
    }
}

bool TFrmDriveWasher::OnButtonClicked(int id) {
    static constexpr ClickRoute<TFrmDriveWasher> kClicks[] = {
        {IDC_BTN_DRIVECLEAN, &TFrmDriveWasher::BtnDriveCleanClick},
        {IDC_BTN_CANCEL, &TFrmDriveWasher::BtnCancelClick},
        {IDCANCEL, &TFrmDriveWasher::FormEscape}, // Esc
    };
    return RouteClick(*this, kClicks, id);
}

LRESULT TFrmDriveWasher::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (cleanButton_.TakeWhileBusy(msg, WashStopRequested, [this] { FormCloseQuery(); })) {
        return 0;
    }
    return TForm::HandleMessage(msg, wParam, lParam);
}

// Closing during a wash is the same question as Stop; on Yes the window closes once the fill
// files are deleted and the warning setting is restored.
void TFrmDriveWasher::FormCloseQuery() {
    if (WashStopRequested || AskStop()) {
        closeWhenStopped_ = true;
    }
}

void TFrmDriveWasher::BtnCancelClick() { Close(); }

// Esc closes an idle window. During a wash it is Stop, with Stop's question: the window stays open,
// and the fill files are deleted and the warning setting restored as after any stop.
void TFrmDriveWasher::FormEscape() {
    if (!cleanButton_.Busy()) {
        Close();
    } else if (!WashStopRequested) {
        AskStop();
    }
}

bool TFrmDriveWasher::AskStop() {
    int answer = ShowMessageBox(hwnd_, "Do you really want to stop cleaning drives?", "Stop Cleaning drives",
                                MB_YESNO | MB_ICONQUESTION);
    if (answer == IDYES) {
        WashStopRequested = true;
        return true;
    }
    return false;
}

void TFrmDriveWasher::BtnDriveCleanClick() {
    if (cleanButton_.OffersStop()) {
        AskStop();
        return;
    }
    if (cleanButton_.Busy()) {
        return;
    }
    int count = ListViewRowCount(lvw_);
    if (count == 0) {
        return;
    }
    WashStopRequested = false;
    // The drives are taken once: boxes checked during the wash were never checked before it.
    std::vector<CheckedDrive> drives;
    for (int row = 0; row < count; ++row) {
        if (IsListViewRowChecked(lvw_, row)) {
            drives.push_back({row, DriveLetterOfCaption(ListViewCell(lvw_, row, 0))});
        }
    }
    if (drives.empty()) {
        ShowMessageBox(hwnd_, "Please Select the drives you want to clean firstly.", "Error",
                       MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (DrivesReady(drives)) {
        WashDrives(drives);
    }
}

bool TFrmDriveWasher::DrivesReady(const std::vector<CheckedDrive>& drives) {
    for (const auto& drive : drives) {
        std::string letter(1, drive.letter);
        if (!DriveHasDisk(drive.letter)) {
            ShowMessageBox(hwnd_, "There is no disk in drive " + letter + ": .", "Error", MB_OK | MB_ICONERROR);
            return false;
        }
        if (IsDriveReadOnly(drive.letter)) {
            ShowMessageBox(hwnd_, "Drive " + letter + ": is read-only or write-protected.", "Error",
                           MB_OK | MB_ICONERROR);
            return false;
        }
    }
    return true;
}

void TFrmDriveWasher::SetWashing(bool washing) {
    cleanButton_.SetBusy(washing);
    EnableWindow(Control(IDC_BTN_CANCEL), washing ? FALSE : TRUE);
    if (!washing) {
        ShowWindow(label2_, SW_HIDE);
        ShowWindow(pgbar_, SW_HIDE);
        ClearRate();
    }
}

void TFrmDriveWasher::WashDrives(const std::vector<CheckedDrive>& drives) {
    SetWashing(true);
    // Whatever ends the wash, the window is usable again afterwards.
    cleanButton_.RunBusy(
        hwnd_,
        [&] {
            for (const auto& drive : drives) {
                WashDrive(drive);
            }
            if (!hwnd_) {
                return;
            }
            if (closeWhenStopped_) {
                SetWashing(false);
                PostMessageW(hwnd_, WM_CLOSE, 0, 0);
                return;
            }
            if (WashStopRequested) {
                ShowMessageBox(hwnd_, "The process of cleaning drives stops.", "Information",
                               MB_OK | MB_ICONINFORMATION);
            } else {
                ShowMessageBox(hwnd_, "The free space of the selected drives was cleaned successfully.",
                               "Congratulations", MB_OK | MB_ICONINFORMATION);
            }
            SetWashing(false);
        },
        [this] { SetWashing(false); });
}

void TFrmDriveWasher::WashDrive(const CheckedDrive& drive) {
    ShowWindow(label2_, SW_SHOW);
    ShowWindow(pgbar_, SW_SHOW);
    SetBar(0);
    SetFocus(lvw_);
    FocusListViewRow(lvw_, drive.row);
    UpdateWindow(lvw_);
    written_ = 0;
    // Each drive's speed is its own: the labels are blank again until it is measured.
    washRate_ = WashRate();
    ClearRate();

    std::string root = DriveRoot(drive.letter);
    LowDiskWarningSilencer silencer(LowDiskWarningPlaceForThisSystem());
    std::optional<DiskSpace> space = QueryDiskSpace(drive.letter);
    freeAtStart_ = space ? space->freeToCaller : 0;
    int count = FillFileCount(freeAtStart_);
    SetWindowTextUtf8(label2_, "Cleaning the free space of " + root);
    UpdateWindow(label2_);
    washStart_ = GetTickCount();

    FillControl control;
    control.stopFlag = &WashStopRequested;
    control.afterBlock = [this](int64_t blockBytes, int blockNumber) { BlockWritten(blockBytes, blockNumber); };
    // The fill files are gone before the silencer restores the setting.
    FillAndDeleteFillFiles(root, count, control);
    if (!WashStopRequested) {
        SetBar(100);
    }
}

// The bar is brought up to date after the first block of each fill file (a drive with a single
// block of free space shows its progress too), and brought up to date with messages run (this is
// where a click on "Stop Cleaning" is handled) after the second block, so a Stop is seen early.
// Then messages run every few tens of milliseconds, and the bar is repainted five times a second.
// Under Wine, repainting the bar after every block took more than half the time of a wash, and
// each repaint still takes 2 to 3 ms, for no change a user could see.
void TFrmDriveWasher::BlockWritten(int64_t blockBytes, int blockNumber) {
    written_ += blockBytes;
    const DWORD now = GetTickCount();
    if (blockNumber > 2 && now - lastRefresh_ < kRefreshIntervalMs) {
        return;
    }
    if (blockNumber <= 2 || now - lastBarShown_ >= kBarIntervalMs) {
        int percent = FillProgressPercent(written_, freeAtStart_);
        if (percent != static_cast<int>(SendMessageW(pgbar_, PBM_GETPOS, 0, 0))) {
            SetBar(percent);
        }
        lastBarShown_ = now;
    }
    if (washRate_.Sample(written_, now - washStart_)) {
        ShowRate();
    }
    if (blockNumber > 1) {
        ProcessMessages();
    }
    lastRefresh_ = GetTickCount();
}

void TFrmDriveWasher::SetBar(int percent) {
    SendMessageW(pgbar_, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    UpdateWindow(pgbar_);
}

void TFrmDriveWasher::ClearRate() {
    rateDisplay_.Drop();
    SetWindowTextUtf8(rate_, "");
    SetWindowTextUtf8(timeLeft_, "");
}

void TFrmDriveWasher::ShowRate() {
    const std::optional<double> rate = washRate_.BytesPerSecond();
    const std::optional<int64_t> left = washRate_.SecondsLeft(freeAtStart_ - written_);
    std::string rateText = rate ? ThroughputText(*rate) : std::string();
    std::string leftText = left ? TimeLeftText(*left) : std::string();
    rateDisplay_.Update([this, rateText = std::move(rateText), leftText = std::move(leftText)] {
        SetWindowTextUtf8(rate_, rateText);
        SetWindowTextUtf8(timeLeft_, leftText);
        UpdateWindow(rate_);
        UpdateWindow(timeLeft_);
    });
}
