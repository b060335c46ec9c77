// The main window: progress log, the column of buttons, the tray icon and its menu, the two
// timers and the two hotkeys.
#pragma once

#include "app/MemoLog.h"
#include "engine/EraseRun.h"
#include "ui/Form.h"
#include "ui/ThrottledDisplay.h"
#include "settings/RunningProgram.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr UINT WM_TRAYICON = WM_USER + 1001;

constexpr UINT_PTR kTimerSchedule = 1;
constexpr UINT_PTR kTimerStartShutdown = 2;
constexpr UINT kTimerStartShutdownInterval = 1000;
// While a close waits for a preview to stop finding: looks again this often.
constexpr UINT_PTR kTimerCloseAfterPreview = 3;
constexpr UINT kTimerCloseAfterPreviewInterval = 100;

constexpr UINT kTrayIconId = 1;

constexpr const char* kMainWindowCaption = "Quorvale";
// The captions of the box an erase run ends with, and of the box of an item that could not do its
// work (its row's failureText).
constexpr const char* kRunEndCaption = "Information";
constexpr const char* kItemFailedCaption = "Error";
constexpr const wchar_t* kMainWindowClass = L"TFrmMain";
constexpr const char* kSingleInstanceMutex = "LDF_Quorvale";
constexpr const char* kBossKeyAtomName = "LDF_Bosskey";
constexpr const char* kStealthKeyAtomName = "LDF_Stealthkey";

// Process-wide state of the main window.
extern NOTIFYICONDATAA TrayIconRecord;
extern bool TrayIconVisible;
extern int32_t BossKeyAtom;
extern int32_t StealthKeyAtom;
extern bool ShutdownErasePending;

// Set only by the test build of the program (tests/testbuild), which the end-to-end tests run; the
// shipped program always has the defaults.
struct TestBuildSeams {
    UINT scheduleIntervalMs = 0; // not 0: the schedule timer ticks at this interval whatever the choice
    UINT scheduleDivisor = 0;    // not 0: the chosen interval is divided by this (when no interval is set)
};

class TFrmMain : public TForm, public RunningProgram {
public:
    enum ControlId : int {
        IDC_MEMINFO = 100,
        IDC_BTN_ERASE,
        IDC_BTN_OPTIONS,
        IDC_BTN_MISCELLANEOUS,
        IDC_BTN_SHREDDER,
        IDC_BTN_DRIVEWASHER,
        IDC_BTN_HELP,
        IDC_BTN_ABOUT,
        IDC_BTN_EXIT,
        IDC_RUN_ITEM,
    };

    enum MenuId : int {
        IDM_ERASE = 200,
        IDM_SHOWMAIN,
        IDM_HELP,
        IDM_EXIT,
    };

    // applicationWindow: the hidden top-level window that owns the main window.
    TFrmMain(HWND applicationWindow, std::vector<std::string> arguments, TestBuildSeams seams = {});
    ~TFrmMain() override;

    MemoLog& Log() { return memInfo_; }

    // Arms or stops the interval timer (the Miscellaneous dialog applies its schedule at once).
    void SetSchedule(bool enabled, int32_t customInterval) override;
    // Adds or removes the tray icon with TrayIconRecord and keeps TrayIconVisible.
    void ShowTrayIcon(bool show) override;
    bool TrayIconShown() const override { return TrayIconVisible; }

    // Starts an erase run as the Erase button does, with an error box for an item that could not do
    // its work, and returns when it has ended and its box was answered; every trigger starts its run
    // through here. Returns false, starting nothing, while a run's work is under way; an earlier
    // run's box still open does not hold a new run back.
    bool TryRunErase();

    // The one way an erase run of this window starts: the log cleared, StopRequested cleared, and
    // RunInProgress set, the Erase button turned to Stop and the buttons that open a modal window
    // disabled until the run's summary is written, however the run ends. The lines go to log (this
    // window's log, or one that copies it); onItemFailure and notErasedShown as RunEraseSteps takes
    // them. While a run's
    // work is under way (RunInProgress) it starts nothing and returns nullopt, so no two runs share
    // the counters.
    std::optional<EraseRunEnd> RunErase(ProgressLog& log, const ItemFailure& onItemFailure,
                                        size_t notErasedShown = kNotErasedLinesShown);

protected:
    const char* HelpPage() const override { return "main_window.htm"; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void FormCreate();
    // Whether the window may close now. During an erase run it may not: the run is stopped, and
    // the window closes once the run has wound down.
    bool FormCloseQuery();
    void FormClose();
    void HideOnMinimize();
    bool OnButtonClicked(int id) override;
    bool OnTimer(UINT_PTR id) override;

    void BtnEraseClick();
    void BtnOptionsClick();
    void BtnMiscellaneousClick();
    void BtnShredderClick();
    void BtnDriveWasherClick();
    void BtnHelpClick();
    void BtnAboutClick();
    void BtnExitClick();
    void MenuEraseClick();
    void MnuShowMainClick();
    void MnuHelpClick();
    void MnuExitClick();

    void TimerScheduleTimer();
    void TimerStartShutdownTimer();
    void TimerCloseAfterPreviewTimer();
    // WM_QUERYENDSESSION: TRUE when the session may end now, FALSE when an erase run comes first.
    // A program asked to close so that its files can be replaced (ENDSESSION_CLOSEAPP: the Restart
    // Manager of an installer or Windows Update) is no end of the session: it always answers TRUE.
    LRESULT WMQueryEndSession(LPARAM reason);
    // WM_ENDSESSION: with ENDSESSION_CLOSEAPP the program closes, as Exit does (a run under way stops
    // after its current file), without an erase and without the after-erase action.
    void WMEndSession(WPARAM ending, LPARAM reason);
    void WMHotKey(WPARAM hotkeyId);
    void TrayIconMessage(LPARAM mouseMessage);
    // The run of the schedule timer and "Erase Now": the window brought forward, then the run.
    void UnattendedRun();

    // The Erase button's caption, and the buttons that open a modal window, which would hold the
    // run until it closed, disabled during a run.
    void ShowEraseRunning(bool running);

    HWND applicationWindow_;
    std::vector<std::string> arguments_;
    TestBuildSeams seams_;
    MemoLog memInfo_;
    // Above the log during a run: "Item n of m: " and the step under way.
    HWND runItem_ = nullptr;
    ThrottledDisplay runItemDisplay_;
    Menu popupMenu_;
    bool closeAfterRun_ = false;
    bool erasing_ = false; // this window's own run is under way (not a preview's finding)
};
