// The drive washer window: overwrites the free space of the drives the user checks by filling
// each with fill files until it is full, then deleting them, with progress (the bar, the speed and
// the time left) and Stop.
#pragma once

#include "ui/Form.h"
#include "tools/WashRate.h"
#include "tools/WorkButton.h"
#include "ui/ThrottledDisplay.h"

#include <cstdint>
#include <vector>

// The washer's own stop flag, separate from the erase run's; set when Stop is confirmed.
extern bool WashStopRequested;

constexpr const wchar_t* kDriveWasherClass = L"TFrmDriveWasher";
constexpr const char* kDriveWasherCaption = " Drive Washer";

class TFrmDriveWasher : public TForm {
public:
    enum ControlId : int {
        IDC_WASH_LABEL1 = 400,
        IDC_WASH_LVW,
        IDC_WASH_LABEL2,
        IDC_WASH_PGBAR,
        IDC_BTN_DRIVECLEAN,
        IDC_BTN_CANCEL,
        IDC_WASH_RATE,
        IDC_WASH_TIMELEFT,
    };

    explicit TFrmDriveWasher(HWND owner);

protected:
    const char* HelpPage() const override { return "drive_washer.htm"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnButtonClicked(int id) override;

private:
    struct CheckedDrive {
        int row;
        char letter;
    };

    void FormCreate();
    void FormCloseQuery();
    void FormEscape();
    void BtnDriveCleanClick();
    void BtnCancelClick();

    // Asks whether to stop the running wash; sets WashStopRequested on Yes.
    bool AskStop();
    // The checks before anything is written; false (after the message) when a drive is refused.
    bool DrivesReady(const std::vector<CheckedDrive>& drives);
    void WashDrives(const std::vector<CheckedDrive>& drives);
    void WashDrive(const CheckedDrive& drive);
    void BlockWritten(int64_t blockBytes, int blockNumber);
    void SetBar(int percent);
    // Blanks the speed and the time left.
    void ClearRate();
    // The speed and the time left beside the bar, from a new estimate of the wash's rate.
    void ShowRate();
    void SetWashing(bool washing);

    HWND lvw_ = nullptr;
    HWND label2_ = nullptr;
    HWND pgbar_ = nullptr;
    HWND rate_ = nullptr;
    HWND timeLeft_ = nullptr;
    WashRate washRate_;
    ThrottledDisplay rateDisplay_;
    DWORD washStart_ = 0;
    WorkButton cleanButton_;
    bool closeWhenStopped_ = false;
    int64_t freeAtStart_ = 0;
    int64_t written_ = 0;
    DWORD lastRefresh_ = 0;
    DWORD lastBarShown_ = 0;
};
