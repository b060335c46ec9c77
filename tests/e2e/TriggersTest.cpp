// Runs that start without the Erase button, through the program's own windows: the schedule timer
// (test build, shortened interval), the tray's "Erase Now", the start-up timer, and the end of the
// Windows session with the action that follows it (test build: ExitWindowsEx is recorded, not made).
// Every run erases only the clipboard, so a test sees a run happen by the clipboard being emptied.
#include "app/MainForm.h"
#include "driver/ItemOptions.h"
#include "driver/QuorvaleDriver.h"
#include "e2e/DialogTestSupport.h"
#include "platform/Messages.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "settings/MiscellaneousForm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

constexpr UINT kTrayMessage = WM_USER + 1001;
constexpr WPARAM kEraseNowCommand = 200;
constexpr const char* kClipboardStart = "Erasing Contents of ClipBoard ...";
// Long enough for a test to look between two ticks.
constexpr const char* kShortSchedule = "/test-schedule-ms:1500";

// Options.ini with every erase item off but the clipboard, plus lines for [Miscellaneous].
std::string ClipboardOnlyOptions(const std::string& miscellaneous) {
    return OptionsWithOnly({{"Windows", "ClipBoard"}}, miscellaneous);
}

void PutTextOnClipboard(const wchar_t* text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text, bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
}

bool ClipboardHasText() { return IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE; }

// A timer that must not tick leaves nothing to wait for: it is watched for a span longer than its
// interval instead. A busy machine may make a tick late, never early, so a timer rightly disarmed
// never fails this, and the watch ends as soon as a wrong tick shows.
bool ShowsWithin(DWORD spanMs, const std::function<bool()>& tickShown) { return WaitUntil(tickShown, spanMs); }

int CountWindowsOf(const QuorvaleApp& app, const char* className, const char* caption) {
    int count = 0;
    for (HWND window : TopLevelWindowsOf(app.ProcessId())) {
        count += WindowClassName(window) == className && RemoteWindowText(window) == caption ? 1 : 0;
    }
    return count;
}

// The log of a run that erased only the clipboard, up to its summary line.
void ExpectClipboardRunLog(const QuorvaleApp& app, const std::string& summary) {
    std::vector<std::string> lines = app.LogLines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], kClipboardStart);
    // Wine has no clipboard history, as Windows before 10 (1809) has none.
    EXPECT_EQ(lines[1], "This Windows keeps no clipboard history to clear.");
    EXPECT_EQ(lines[2], std::string(kClipboardStart) + " Completed");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "All tasks finished successfully."), lines.end());
    EXPECT_EQ(lines.back(), summary);
}

// Closes the program, answering every box that holds the close up; false when it did not end.
bool CloseAnsweringBoxes(QuorvaleApp& app) {
    app.Post(WM_CLOSE);
    for (int i = 0; i < 100 && !app.WaitExit(100); ++i) {
        if (HWND box = app.FindWindowOf(L"#32770", "Information")) {
            QuorvaleApp::AnswerMessageBox(box);
        }
    }
    return app.WaitExit(5000);
}

// reason: the message's lParam (ENDSESSION_CLOSEAPP when an installer's Restart Manager asks).
LRESULT SendQueryEndSession(HWND window, LPARAM reason = 0) {
    DWORD_PTR answer = 0xDEAD;
    EXPECT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, reason, SMTO_ABORTIFHUNG, 10000, &answer));
    return static_cast<LRESULT>(answer);
}

std::string ExitWindowsRecord(const QuorvaleApp& app) {
    std::string record;
    if (FileExists(app.ExitWindowsRecordPath())) {
        record = ReadFileText(app.ExitWindowsRecordPath());
    }
    return record;
}

TEST(ScheduleTimer, RunsAnEraseAndBringsTheHiddenWindowForwardAtEveryTickWhileEarlierBoxesStayOpen) {
    QuorvaleApp app(ClipboardOnlyOptions("CustomIntervalErase=1\r\nCustomInterval=0\r\n"));
    ASSERT_TRUE(app.UseTestBuild());
    PutTextOnClipboard(L"before the first tick");
    app.Start({kShortSchedule});
    HWND main = app.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    app.Post(WM_SYSCOMMAND, SC_MINIMIZE, 0);

    HWND box = app.WaitMessageBox("Information", 30000);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_FALSE(ClipboardHasText());
    ExpectClipboardRunLog(app, QuorvaleApp::MessageBoxText(box));

    // Nobody answers the box: the next tick runs all the same and brings the hidden window forward
    // again, and the first box stays where it was.
    app.Post(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, 5000));
    PutTextOnClipboard(L"while the first box waits");
    EXPECT_TRUE(WaitUntil([&] { return CountWindowsOf(app, "#32770", "Information") >= 2; }, 30000))
        << "the open box held the next tick up";
    EXPECT_FALSE(ClipboardHasText());
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(IsWindow(box));
    EXPECT_TRUE(CloseAnsweringBoxes(app));
}

TEST(ScheduleTimer, OkInTheMiscellaneousDialogReArmsItWithTheNewChoiceAndUntickingDisarmsIt) {
    RunValuesRestore runValues; // OK writes the Run value
    // The test build divides the chosen interval by 150: "Every 8 hours" is then over three
    // minutes, "Every 15 minutes" six seconds.
    QuorvaleApp app(ClipboardOnlyOptions("CustomIntervalErase=1\r\nCustomInterval=3\r\n"));
    ASSERT_TRUE(app.UseTestBuild());
    app.Start({"/test-schedule-divisor:150"});
    ASSERT_NE(app.WaitMainWindow(), nullptr);
    PutTextOnClipboard(L"before the new choice");

    auto openSchedulePage = [&app] {
        HWND dialog =
            OpenWindowFrom(app, app.MainWindow(), "Miscellaneous", kMiscellaneousClass, "Miscellaneous settings");
        if (dialog) {
            TurnToPage(ControlOf(dialog, TFrmMiscellaneous::IDC_MISC_PAGECONTROL), 2);
        }
        return dialog;
    };
    HWND dialog = openSchedulePage();
    ASSERT_NE(dialog, nullptr);
    HWND choice = ControlOf(dialog, TFrmMiscellaneous::IDC_CBO_SCHEDULE);
    EXPECT_EQ(ComboIndex(choice), 3);
    SendMessageW(choice, CB_SETCURSEL, 0, 0);
    // The timer is armed after the press, so its tick comes a whole interval after it at the least
    // (a busy machine only makes it later). The old choice ticks only after 192 s, so a tick within
    // half of that is the new choice's.
    const DWORD newIntervalMs = 15 * 60 * 1000 / 150;
    const DWORD oldIntervalMs = 8 * 60 * 60 * 1000 / 150;
    const DWORD pressed = GetTickCount();
    ASSERT_TRUE(CloseWith(app, dialog, "OK"));
    HWND box = app.WaitMessageBox("Information", oldIntervalMs / 2);
    ASSERT_NE(box, nullptr) << "OK did not arm the timer with the new choice";
    const DWORD elapsed = GetTickCount() - pressed;
    EXPECT_GE(elapsed, newIntervalMs - 500);
    EXPECT_LT(elapsed, oldIntervalMs / 2);
    EXPECT_FALSE(ClipboardHasText());
    QuorvaleApp::AnswerMessageBox(box);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));

    dialog = openSchedulePage();
    ASSERT_NE(dialog, nullptr);
    ClickControlAndWait(ControlOf(dialog, TFrmMiscellaneous::IDC_CHK_INTERVAL));
    EXPECT_FALSE(Ticked(ControlOf(dialog, TFrmMiscellaneous::IDC_CHK_INTERVAL)));
    ASSERT_TRUE(CloseWith(app, dialog, "OK"));
    PutTextOnClipboard(L"after unticking");
    EXPECT_FALSE(ShowsWithin(newIntervalMs * 3 / 2, [&] {
        return !ClipboardHasText() || CountWindowsOf(app, "#32770", "Information") != 0;
    })) << "the schedule ran after it was switched off";
    EXPECT_TRUE(ClipboardHasText());
    EXPECT_EQ(CountWindowsOf(app, "#32770", "Information"), 0);
    EXPECT_TRUE(CloseAnsweringBoxes(app));
}

TEST(TrayIcon, EraseNowRunsAnEraseAndShowsTheHiddenWindow) {
    QuorvaleApp app(ClipboardOnlyOptions(""));
    app.Start();
    HWND main = app.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    app.Post(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, 5000));

    // A single click, a left button alone or a mouse move do nothing.
    for (LPARAM mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONUP}) {
        app.Post(kTrayMessage, 1, mouse);
    }
    ASSERT_TRUE(app.WaitPostedHandled());
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_TRUE(TopLevelWindowsOf(app.ProcessId()).empty());

    PutTextOnClipboard(L"before Erase Now");
    HWND menu = PopTrayMenu(app);
    ASSERT_NE(menu, nullptr);
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0); // the first entry, "Erase Now"
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    HWND box = app.WaitMessageBox("Information", 30000);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_FALSE(ClipboardHasText());
    ExpectClipboardRunLog(app, QuorvaleApp::MessageBoxText(box));

    // "Erase Now" again, the first run's box left unanswered: a second run and a second box.
    PutTextOnClipboard(L"while the first box waits");
    app.Post(WM_COMMAND, kEraseNowCommand, 0);
    EXPECT_TRUE(WaitUntil([&] { return CountWindowsOf(app, "#32770", "Information") == 2; }, 30000));
    EXPECT_FALSE(ClipboardHasText());
    EXPECT_TRUE(IsWindow(box));
    EXPECT_TRUE(CloseAnsweringBoxes(app));
}

TEST(StartupTimer, RunsOnceAboutASecondAfterStartAndTheProgramStays) {
    QuorvaleApp app(ClipboardOnlyOptions("SystemStartErase=1\r\n"));
    PutTextOnClipboard(L"before start-up");
    app.Start({"/startup"});
    ASSERT_NE(app.WaitMainWindow(), nullptr);
    HWND box = app.WaitMessageBox("Information", 30000);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(ClipboardHasText());
    QuorvaleApp::AnswerMessageBox(box);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));

    PutTextOnClipboard(L"after the start-up run");
    EXPECT_FALSE(ShowsWithin(2 * kTimerStartShutdownInterval, [] { return !ClipboardHasText(); }))
        << "the start-up timer ran a second time";
    EXPECT_TRUE(ClipboardHasText());
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(app.Close());
}

TEST(StartupTimer, TheWordInOtherCaseOrSecondStartsTheWindowButNoRun) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"/STARTUP"}, std::vector<std::string>{"/Startup"},
          std::vector<std::string>{"notes.txt", "/startup"}}) {
        QuorvaleApp app(ClipboardOnlyOptions("SystemStartErase=1\r\n"));
        PutTextOnClipboard(L"kept at start-up");
        app.Start(arguments);
        ASSERT_NE(app.WaitMainWindow(), nullptr) << arguments.front();
        EXPECT_FALSE(ShowsWithin(2 * kTimerStartShutdownInterval, [] { return !ClipboardHasText(); }))
            << arguments.front() << " started a run";
        EXPECT_EQ(app.FindWindowOf(L"#32770", "Information"), nullptr) << arguments.front();
        EXPECT_TRUE(app.Running()) << arguments.front();
        EXPECT_TRUE(app.Close()) << arguments.front();
    }
}

TEST(EndOfSession, WithoutTheSettingTheSessionMayEndAndNothingRuns) {
    for (const char* options : {"", "SystemShutdownErase=0\r\n"}) {
        QuorvaleApp app(ClipboardOnlyOptions(options));
        ASSERT_TRUE(app.UseTestBuild());
        app.Start();
        ASSERT_NE(app.WaitMainWindow(), nullptr);
        PutTextOnClipboard(L"session ends");
        EXPECT_EQ(SendQueryEndSession(app.MainWindow()), TRUE) << options;
        EXPECT_FALSE(ShowsWithin(2 * kTimerStartShutdownInterval, [] { return !ClipboardHasText(); })) << options;
        EXPECT_TRUE(ClipboardHasText()) << options;
        EXPECT_EQ(app.FindWindowOf(L"#32770", "Information"), nullptr) << options;
        EXPECT_TRUE(app.Close()) << options;
        EXPECT_EQ(ExitWindowsRecord(app), "") << options;
    }
}

TEST(EndOfSession, IsRefusedThenARunWithoutBoxThenTheActionThenTheProgramCloses) {
    const struct {
        const char* option;
        const char* record; // what ExitWindowsEx was given, as the test build records it
    } cases[] = {
        {"SystemShutdownOption=Shutdown\r\n", "flags=5 privilege=enabled\r\n"},
        {"SystemShutdownOption=Restart\r\n", "flags=6 privilege=enabled\r\n"},
        {"SystemShutdownOption=shutdown\r\n", "flags=6 privilege=enabled\r\n"},
        // Windows' own dialog through "Shell.Application"; Wine's fails the call, the program closes all the same.
        {"SystemShutdownOption=ShowWindow\r\n", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        QuorvaleApp app(ClipboardOnlyOptions(std::string("SystemShutdownErase=1\r\n") + c.option));
        ASSERT_TRUE(app.UseTestBuild());
        app.Start();
        ASSERT_NE(app.WaitMainWindow(), nullptr);
        PutTextOnClipboard(L"session ends");
        EXPECT_EQ(SendQueryEndSession(app.MainWindow()), FALSE) << c.option;
        // A box would hold the program open.
        EXPECT_TRUE(app.WaitExit(30000)) << c.option << ": the program did not close by itself";
        EXPECT_EQ(app.ExitCode(), 0u) << c.option;
        EXPECT_FALSE(ClipboardHasText()) << c.option << ": no run";
        EXPECT_EQ(ExitWindowsRecord(app), c.record) << c.option;
    }
}

TEST(EndOfSession, ThatArrivesWhileARunsBoxIsOpenRunsAndClosesWithoutTheBoxAnswered) {
    QuorvaleApp app(ClipboardOnlyOptions("SystemShutdownErase=1\r\nSystemShutdownOption=Shutdown\r\n"));
    ASSERT_TRUE(app.UseTestBuild());
    app.Start();
    ASSERT_NE(app.WaitMainWindow(), nullptr);
    app.Post(WM_COMMAND, kEraseNowCommand, 0);
    HWND box = app.WaitMessageBox("Information", 30000);
    ASSERT_NE(box, nullptr);

    PutTextOnClipboard(L"after the first run");
    EXPECT_EQ(SendQueryEndSession(app.MainWindow()), FALSE);
    EXPECT_TRUE(app.WaitExit(30000)) << "the open box held the end of the session up";
    EXPECT_EQ(app.ExitCode(), 0u);
    EXPECT_FALSE(ClipboardHasText()) << "no end-of-session run";
    EXPECT_EQ(ExitWindowsRecord(app), "flags=5 privilege=enabled\r\n");
}

TEST(EndOfSession, ThatArrivesDuringARunsWorkWaitsForItThenRunsWithoutTheStopBoxAnswered) {
    // The temporary-files item makes the first run long enough to be caught at work.
    std::string options =
        ClipboardOnlyOptions("SecurityLevel=Gutmann\r\nSystemShutdownErase=1\r\nSystemShutdownOption=Shutdown\r\n");
    options.replace(options.find("TempFolder=0"), 12, "TempFolder=1");
    QuorvaleApp app(options);
    ASSERT_TRUE(app.UseTestBuild());
    TraceSandbox sandbox(app);
    for (int i = 0; i < 400; ++i) {
        WriteFileText(sandbox.Temp() + "\\file" + std::to_string(i) + ".tmp", std::string(8192, 'x'));
    }
    app.Start();
    ASSERT_NE(app.WaitMainWindow(), nullptr);
    PutTextOnClipboard(L"before the runs");
    ASSERT_TRUE(app.PressButton("Erase"));
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::vector<std::string> lines = app.LogLines();
            return lines.size() >= 2 && lines[1].find(" files were erased, ") != std::string::npos;
        },
        60000));

    EXPECT_EQ(SendQueryEndSession(app.MainWindow()), FALSE);
    EXPECT_FALSE(ShowsWithin(kTimerStartShutdownInterval * 3 / 2, [&] { return !app.Running(); }))
        << "the end-of-session run did not wait for the run at work";
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(ExitWindowsRecord(app), "") << "the end-of-session run did not wait for the run at work";
    ASSERT_TRUE(app.PressButton("Stop"));
    HWND box = app.WaitMessageBox("Information", 30000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(QuorvaleApp::MessageBoxText(box), "The erasing procedure stops.");

    EXPECT_TRUE(app.WaitExit(60000)) << "the stop box held the end of the session up";
    EXPECT_FALSE(ClipboardHasText());
    EXPECT_TRUE(ListFolder(sandbox.Temp() + "\\*.*").empty()) << "the end-of-session run left files";
    EXPECT_EQ(ExitWindowsRecord(app), "flags=5 privilege=enabled\r\n");
}

// Makes every program named Quorvale.exe see another Windows version while it lives.
class WindowsVersionForQuorvale {
public:
    explicit WindowsVersionForQuorvale(const char* wineVersion) {
        RegKey key = CreateRegKey(HKEY_CURRENT_USER, kKey);
        EXPECT_TRUE(key && SetRegString(key.get(), "Version", wineVersion));
    }
    ~WindowsVersionForQuorvale() { DeleteRegTree(HKEY_CURRENT_USER, kKey); }

private:
    static constexpr const char* kKey = "Software\\Wine\\AppDefaults\\Quorvale.exe";
};

TEST(EndOfSession, OnAnUnsupportedWindowsTheMessageComesAndTheProgramStillCloses) {
    QuorvaleApp app(ClipboardOnlyOptions("SystemShutdownErase=1\r\nSystemShutdownOption=Shutdown\r\n"));
    ASSERT_TRUE(app.UseTestBuild());
    WindowsVersionForQuorvale version("win31"); // 3.10 belongs to no family
    app.Start();
    ASSERT_NE(app.WaitMainWindow(), nullptr);
    EXPECT_EQ(SendQueryEndSession(app.MainWindow()), FALSE);
    HWND box = app.WaitMessageBox("Information", 30000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(QuorvaleApp::MessageBoxText(box), "Quorvale does not support this version of Windows.");
    QuorvaleApp::AnswerMessageBox(box);
    EXPECT_TRUE(app.WaitExit(10000));
    EXPECT_EQ(app.ExitCode(), 0u);
    EXPECT_EQ(ExitWindowsRecord(app), "");
}

// Windows Installer, Windows Update and most installers since Vista ask a program to close so that
// they can replace its files: the same messages with ENDSESSION_CLOSEAPP. That is no end of the
// session: no erase, no after-erase action (which could shut the computer down), just a close.
TEST(EndOfSession, AnInstallersRequestToCloseClosesTheProgramWithoutARunOrTheAction) {
    QuorvaleApp app(ClipboardOnlyOptions("SystemShutdownErase=1\r\nSystemShutdownOption=Shutdown\r\n"));
    ASSERT_TRUE(app.UseTestBuild());
    app.Start();
    ASSERT_NE(app.WaitMainWindow(), nullptr);
    PutTextOnClipboard(L"an installer asks");
    EXPECT_EQ(SendQueryEndSession(app.MainWindow(), ENDSESSION_CLOSEAPP), TRUE);
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(SendMessageTimeoutW(app.MainWindow(), WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG, 10000,
                                    &ignored));
    EXPECT_TRUE(app.WaitExit(30000)) << "the program did not close";
    EXPECT_EQ(app.ExitCode(), 0u);
    EXPECT_TRUE(ClipboardHasText()) << "an erase ran";
    EXPECT_EQ(ExitWindowsRecord(app), "") << "the after-erase action ran";
}

} // namespace
