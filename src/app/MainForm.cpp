#include "app/MainForm.h"

#include "about/AboutForm.h"
#include "app/Triggers.h"
#include "app/BossKey.h"
#include "engine/RunState.h"
#include "platform/Messages.h"
#include "platform/ThisProcess.h"
#include "platform/WindowText.h"
#include "platform/WindowsVersion.h"
#include "platform/Files.h"
#include "platform/Shell.h"
#include "store/HotkeyText.h"
#include "store/OptionNames.h"
#include "store/OptionsStore.h"
#include "settings/OptionsForm.h"
#include "settings/MiscellaneousForm.h"
#include "tools/DriveWasherForm.h"
#include "tools/FileShredderForm.h"

#include <commctrl.h>

#include <cstring>

NOTIFYICONDATAA TrayIconRecord{};
bool TrayIconVisible = false;
int32_t BossKeyAtom = -1;
int32_t StealthKeyAtom = -1;
bool ShutdownErasePending = false;

namespace {

constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr int kClientWidth = 499;
constexpr int kClientHeight = 312;
// The button column is wider than the 80 pixels of the original layout: "Miscellaneous",
// "Drive Washer" and "File Shredder" need about 78 pixels in the message font, and a push button
// keeps 3 pixels of frame on each side. It ends 8 pixels from the right, as the log starts 8 from
// the left.
constexpr int kButtonWidth = 88;
constexpr int kButtonLeft = kClientWidth - 8 - kButtonWidth;

constexpr const char* kCaptionErase = "&Erase";
constexpr const char* kCaptionStop = "&Stop";

constexpr ControlSpec kMainControls[] = {
    {WC_EDITW, "", TFrmMain::IDC_MEMINFO, 8, 33, 385, 265,
     ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE},
    // No default button: Enter in the log must not start an erase run.
    // The band above the log: where a run is, blank otherwise.
    {WC_STATICW, "", TFrmMain::IDC_RUN_ITEM, 8, 12, 385, 16, SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS},
    {WC_BUTTONW, kCaptionErase, TFrmMain::IDC_BTN_ERASE, kButtonLeft, 34, kButtonWidth, 27, kButton},
    {WC_BUTTONW, "&Options", TFrmMain::IDC_BTN_OPTIONS, kButtonLeft, 68, kButtonWidth, 27, kButton},
    {WC_BUTTONW, "&Miscellaneous", TFrmMain::IDC_BTN_MISCELLANEOUS, kButtonLeft, 102, kButtonWidth, 27, kButton},
    {WC_BUTTONW, "&File Shredder", TFrmMain::IDC_BTN_SHREDDER, kButtonLeft, 136, kButtonWidth, 27, kButton},
    {WC_BUTTONW, "&Drive Washer", TFrmMain::IDC_BTN_DRIVEWASHER, kButtonLeft, 170, kButtonWidth, 27, kButton},
    {WC_BUTTONW, "&Help", TFrmMain::IDC_BTN_HELP, kButtonLeft, 204, kButtonWidth, 27, kButton},
    {WC_BUTTONW, "&About", TFrmMain::IDC_BTN_ABOUT, kButtonLeft, 238, kButtonWidth, 27, kButton},
    {WC_BUTTONW, "E&xit", TFrmMain::IDC_BTN_EXIT, kButtonLeft, 272, kButtonWidth, 27, kButton},
};

constexpr const char* kWelcomeText[] = {
    "Welcome to Quorvale.",
    "",
    "Please click \"Erase\" button to erase your privacy.",
    "To set up erasing items, please click \"Options\" button.",
    "To set up security level, please click \"Miscellaneous\" button.",
    "To shred files, please click \"File Shredder\" button.",
    "To wash drives, please click \"Drive Washer\" button.",
};

struct MenuItem {
    int id;
    const wchar_t* caption;
};
constexpr MenuItem kTrayMenu[] = {
    {TFrmMain::IDM_ERASE, L"Erase Now"},
    {TFrmMain::IDM_SHOWMAIN, L"Show Main Window"},
    {TFrmMain::IDM_HELP, L"Help"},
    {TFrmMain::IDM_EXIT, L"Exit"},
};

// Explorer broadcasts this when the taskbar is (re)created; the icon must then be added again.
const UINT WM_TASKBARCREATED = RegisterWindowMessageW(L"TaskbarCreated");

// Registers a hotkey under a new global atom; returns the atom, or -1 when the text is empty.
int32_t RegisterNamedHotkey(HWND window, const std::string& text, const char* atomName) {
    if (text.empty()) {
        return -1;
    }
    Hotkey hotkey = ParseHotkeyText(text);
    ATOM atom = AddGlobalAtom(atomName);
    RegisterHotKey(window, atom, hotkey.modifiers, hotkey.virtualKey);
    return atom;
}

void UnregisterNamedHotkey(HWND window, int32_t& atom) {
    if (atom != -1) {
        UnregisterHotKey(window, atom);
        GlobalDeleteAtom(static_cast<ATOM>(atom));
        atom = -1;
    }
}

void OpenHelpFile() { ShellOpen("open", JoinPath(ExecutableDir(), "help.chm"), "c:\\", SW_SHOWNORMAL); }

} // namespace

TFrmMain::TFrmMain(HWND applicationWindow, std::vector<std::string> arguments, TestBuildSeams seams)
    : applicationWindow_(applicationWindow), arguments_(std::move(arguments)), seams_(seams) {
    CreateForm({kMainWindowClass, kMainWindowCaption, kClientWidth, kClientHeight,
                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, CentreOn::Desktop},
               applicationWindow_);
    CreateControls(kMainControls);
    memInfo_.Attach(Control(IDC_MEMINFO));
    runItem_ = Control(IDC_RUN_ITEM);
    runItemDisplay_.SetOwner(hwnd_);
    popupMenu_.reset(CreatePopupMenu());
    for (const auto& item : kTrayMenu) {
        AppendMenuW(popupMenu_.get(), MF_STRING, static_cast<UINT_PTR>(item.id), item.caption);
    }
    FormCreate();
}

TFrmMain::~TFrmMain() = default;

void TFrmMain::FormCreate() {
    memInfo_.Clear();
    for (const char* line : kWelcomeText) {
        memInfo_.AppendLine(line);
    }
    StopRequested = false;
    ShutdownErasePending = false;

    SetWindowLongW(applicationWindow_, GWL_EXSTYLE, WS_EX_TOOLWINDOW);

    TrayIconRecord = {};
    TrayIconRecord.cbSize = kTrayIconRecordSize;
    TrayIconRecord.hWnd = hwnd_;
    TrayIconRecord.uID = kTrayIconId;
    TrayIconRecord.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    TrayIconRecord.uCallbackMessage = WM_TRAYICON;
    TrayIconRecord.hIcon = reinterpret_cast<HICON>(GetClassLongPtrW(hwnd_, GCLP_HICONSM));
    std::strncpy(TrayIconRecord.szTip, "Quorvale", ARRAYSIZE(TrayIconRecord.szTip) - 1);

    if (IsWindowsNtPlatform()) {
        StoreUserSid();
    }

    {
        OptionsStore options(OptionsFilePath());
        bool stealthMode = options.GetFlag(kSectionMiscellaneous, kKeyStealthMode, false);
        // In stealth mode the icon was never added, so there is nothing to take away either.
        if (!stealthMode) {
            ShowTrayIcon(true);
        }
        bool systemStartErase = options.GetFlag(kSectionMiscellaneous, kKeySystemStartErase, false);
        if (StartupEraseRequested(arguments_, systemStartErase)) {
            SetTimer(hwnd_, kTimerStartShutdown, kTimerStartShutdownInterval, nullptr);
        }
    }
    {
        OptionsStore options(OptionsFilePath());
        SetSchedule(options.GetFlag(kSectionMiscellaneous, kKeyCustomIntervalErase, false),
                    options.GetNumber(kSectionMiscellaneous, kKeyCustomInterval, 0));
    }
    BossWindowsHidden = false;
    {
        OptionsStore options(OptionsFilePath());
        BossKeyAtom = RegisterNamedHotkey(hwnd_, options.GetText(kSectionMiscellaneous, kKeyBossKey, kDefaultBossKey),
                                          kBossKeyAtomName);
    }
    {
        OptionsStore options(OptionsFilePath());
        StealthKeyAtom = RegisterNamedHotkey(
            hwnd_, options.GetText(kSectionMiscellaneous, kKeyStealthKey, kDefaultStealthKey), kStealthKeyAtomName);
    }
}

bool TFrmMain::FormCloseQuery() {
    if (!RunInProgress) {
        return true;
    }
    StopRequested = true;
    if (!erasing_) {
        // A preview is finding: it stops, and the close comes again once it has.
        SetTimer(hwnd_, kTimerCloseAfterPreview, kTimerCloseAfterPreviewInterval, nullptr);
        return false;
    }
    closeAfterRun_ = true;
    SetWindowTextUtf8(Control(IDC_BTN_ERASE), kCaptionErase);
    return false;
}

void TFrmMain::FormClose() {
    UnregisterNamedHotkey(hwnd_, BossKeyAtom);
    UnregisterNamedHotkey(hwnd_, StealthKeyAtom);
    NotifyTrayIcon(NIM_DELETE, TrayIconRecord);
    TrayIconVisible = false;
}

void TFrmMain::SetSchedule(bool enabled, int32_t customInterval) {
    if (enabled) {
        UINT interval = ScheduleIntervalMs(customInterval);
        if (seams_.scheduleIntervalMs != 0) {
            interval = seams_.scheduleIntervalMs;
        } else if (seams_.scheduleDivisor != 0) {
            interval /= seams_.scheduleDivisor;
        }
        SetTimer(hwnd_, kTimerSchedule, interval, nullptr);
    } else {
        KillTimer(hwnd_, kTimerSchedule);
    }
}

void TFrmMain::ShowTrayIcon(bool show) {
    NotifyTrayIcon(show ? NIM_ADD : NIM_DELETE, TrayIconRecord);
    TrayIconVisible = show;
}

void TFrmMain::HideOnMinimize() { ShowWindow(hwnd_, SW_HIDE); }

LRESULT TFrmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE) {
            HideOnMinimize();
            return 0;
        }
        break;
    case WM_QUERYENDSESSION:
        return WMQueryEndSession(lParam);
    case WM_ENDSESSION:
        WMEndSession(wParam, lParam);
        return 0;
    case WM_HOTKEY:
        WMHotKey(wParam);
        return 0;
    case WM_TRAYICON:
        TrayIconMessage(lParam);
        return 0;
    case WM_CLOSE:
        if (FormCloseQuery()) {
            FormClose();
            DestroyWindow(hwnd_);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        if (msg == WM_TASKBARCREATED && TrayIconVisible) {
            NotifyTrayIcon(NIM_ADD, TrayIconRecord);
            return 0;
        }
        break;
    }
    return TForm::HandleMessage(msg, wParam, lParam);
}

bool TFrmMain::OnButtonClicked(int id) {
    static constexpr ClickRoute<TFrmMain> kClicks[] = {
        {IDC_BTN_ERASE, &TFrmMain::BtnEraseClick},
        {IDC_BTN_OPTIONS, &TFrmMain::BtnOptionsClick},
        {IDC_BTN_MISCELLANEOUS, &TFrmMain::BtnMiscellaneousClick},
        {IDC_BTN_SHREDDER, &TFrmMain::BtnShredderClick},
        {IDC_BTN_DRIVEWASHER, &TFrmMain::BtnDriveWasherClick},
        {IDC_BTN_HELP, &TFrmMain::BtnHelpClick},
        {IDC_BTN_ABOUT, &TFrmMain::BtnAboutClick},
        {IDC_BTN_EXIT, &TFrmMain::BtnExitClick},
        {IDM_ERASE, &TFrmMain::MenuEraseClick},
        {IDM_SHOWMAIN, &TFrmMain::MnuShowMainClick},
        {IDM_HELP, &TFrmMain::MnuHelpClick},
        {IDM_EXIT, &TFrmMain::MnuExitClick},
    };
    return RouteClick(*this, kClicks, id);
}

bool TFrmMain::OnTimer(UINT_PTR id) {
    static constexpr struct {
        UINT_PTR id;
        void (TFrmMain::*handler)();
    } kTimers[] = {{kTimerSchedule, &TFrmMain::TimerScheduleTimer},
                   {kTimerStartShutdown, &TFrmMain::TimerStartShutdownTimer},
                   {kTimerCloseAfterPreview, &TFrmMain::TimerCloseAfterPreviewTimer}};
    for (const auto& timer : kTimers) {
        if (timer.id == id) {
            (this->*timer.handler)();
            return true;
        }
    }
    return false;
}

void TFrmMain::BtnOptionsClick() { RunModal<TFrmOptions>(hwnd_); }
void TFrmMain::BtnMiscellaneousClick() {
    RunModal<TFrmMiscellaneous>(hwnd_, *this);
    memInfo_.Focus();
}
void TFrmMain::BtnShredderClick() {
    RunModal<TFrmFileShredder>(hwnd_);
    memInfo_.Focus();
}
void TFrmMain::BtnDriveWasherClick() {
    RunModal<TFrmDriveWasher>(hwnd_);
    memInfo_.Focus();
}
void TFrmMain::BtnAboutClick() { RunModal<TFrmAbout>(hwnd_); }
void TFrmMain::MenuEraseClick() { UnattendedRun(); }
void TFrmMain::TimerScheduleTimer() { UnattendedRun(); }

void TFrmMain::UnattendedRun() {
    // A tick or "Erase Now" that arrives while a run lets messages through is dropped: the run
    // under way already erases, and a second run inside it would share its counters.
    if (RunInProgress) {
        return;
    }
    MnuShowMainClick();
    ProcessMessages();
    TryRunErase();
    ProcessMessages();
}

void TFrmMain::TimerStartShutdownTimer() {
    if (RunInProgress) {
        // The run under way ends first; the timer stays armed and ticks again a second later.
        return;
    }
    KillTimer(hwnd_, kTimerStartShutdown);
    UnattendedRun();
    if (!ShutdownErasePending) {
        return;
    }
    ShutdownErasePending = false;
    CarryOutAfterEraseAction(OptionsFilePath());
    Close();
}

LRESULT TFrmMain::WMQueryEndSession(LPARAM reason) {
    if ((reason & ENDSESSION_CLOSEAPP) || !EndOfSessionEraseWanted(OptionsFilePath())) {
        return TRUE;
    }
    ShutdownErasePending = true;
    SetTimer(hwnd_, kTimerStartShutdown, kTimerStartShutdownInterval, nullptr);
    return FALSE;
}

void TFrmMain::TimerCloseAfterPreviewTimer() {
    if (!RunInProgress) {
        KillTimer(hwnd_, kTimerCloseAfterPreview);
        Close();
    }
}

void TFrmMain::WMEndSession(WPARAM ending, LPARAM reason) {
    if (!ending || !(reason & ENDSESSION_CLOSEAPP)) {
        return;
    }
    // The close comes back once the message has been answered, so that the sender is not held up.
    ShutdownErasePending = false;
    KillTimer(hwnd_, kTimerStartShutdown);
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void TFrmMain::WMHotKey(WPARAM hotkeyId) {
    // Ids -1 and -2 are Windows' own hotkeys; an atom of -1 means the key was not registered.
    auto id = static_cast<int32_t>(hotkeyId);
    if (StealthKeyAtom != -1 && id == StealthKeyAtom) {
        ShowTrayIcon(!TrayIconVisible);
    }
    if (BossKeyAtom != -1 && id == BossKeyAtom) {
        PressBossKey(OptionsFilePath());
    }
}

void TFrmMain::BtnHelpClick() { OpenHelpFile(); }
void TFrmMain::MnuHelpClick() { OpenHelpFile(); }
void TFrmMain::BtnExitClick() { Close(); }
void TFrmMain::MnuExitClick() { Close(); }

void TFrmMain::MnuShowMainClick() {
    ShowWindow(hwnd_, SW_SHOW);
    if (IsIconic(hwnd_)) {
        ShowWindow(hwnd_, SW_RESTORE);
    }
    SetForegroundWindow(hwnd_);
}

void TFrmMain::TrayIconMessage(LPARAM mouseMessage) {
    switch (mouseMessage) {
    case WM_LBUTTONDBLCLK:
        MnuShowMainClick();
        break;
    case WM_RBUTTONDOWN: {
        SetForegroundWindow(hwnd_);
        POINT cursor;
        GetCursorPos(&cursor);
        TrackPopupMenu(popupMenu_.get(), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, hwnd_, nullptr);
        // Lets the menu close properly when the user clicks elsewhere.
        PostMessageW(hwnd_, WM_NULL, 0, 0);
        break;
    }
    default:
        break;
    }
}

void TFrmMain::BtnEraseClick() {
    if (RunInProgress) {
        // A click during a run only stops it; once stopping, further clicks change nothing.
        StopRequested = true;
        SetWindowTextUtf8(Control(IDC_BTN_ERASE), kCaptionErase);
        return;
    }
    TryRunErase();
}

bool TFrmMain::TryRunErase() {
    const std::optional<EraseRunEnd> end = RunErase(memInfo_, [this](std::string_view failureText) {
        ShowMessageBox(hwnd_, failureText, kItemFailedCaption, MB_OK | MB_ICONERROR);
    });
    if (!end) {
        return false;
    }
    // The run is over once its summary is written: from here on another run may start, even while
    // the box below waits for a user who is away (a schedule tick, or the end of the session).
    // Closing the window stopped the run: the user has left, so no box holds the close up.
    if (!closeAfterRun_ && (end->stopped || !ShutdownErasePending)) {
        ShowMessageBox(hwnd_, end->boxText, kRunEndCaption, MB_OK | MB_ICONINFORMATION);
    }
    if (closeAfterRun_) {
        Close();
    }
    return true;
}

std::optional<EraseRunEnd> TFrmMain::RunErase(ProgressLog& log, const ItemFailure& onItemFailure,
                                              size_t notErasedShown) {
    if (RunInProgress) {
        return std::nullopt;
    }
    // Marks this window's run as under way for as long as it lives, and as over however it ends.
    struct Erasing {
        explicit Erasing(TFrmMain& form) : window(form) {
            StopRequested = false;
            RunInProgress = true;
            window.erasing_ = true;
            window.ShowEraseRunning(true);
        }
        ~Erasing() {
            window.ShowEraseRunning(false);
            StopRequested = false;
            RunInProgress = false;
            window.erasing_ = false;
        }
        TFrmMain& window;
    } erasing(*this);
    memInfo_.Clear();
    return RunEraseSteps(log, OptionsFilePath(), onItemFailure, nullptr, notErasedShown,
                         [this](int number, int count, std::string_view startLine) {
                             runItemDisplay_.Update([this, text = RunItemText(number, count, startLine)] {
                                 SetWindowTextUtf8(runItem_, text);
                                 UpdateWindow(runItem_);
                             });
                         });
}

void TFrmMain::ShowEraseRunning(bool running) {
    SetWindowTextUtf8(Control(IDC_BTN_ERASE), running ? kCaptionStop : kCaptionErase);
    if (!running) {
        runItemDisplay_.Drop();
        SetWindowTextUtf8(runItem_, "");
    }
    for (int id : {IDC_BTN_OPTIONS, IDC_BTN_MISCELLANEOUS, IDC_BTN_SHREDDER, IDC_BTN_DRIVEWASHER, IDC_BTN_ABOUT}) {
        EnableWindow(Control(id), !running);
    }
}
