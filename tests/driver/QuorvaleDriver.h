// Drives Quorvale.exe from a test as a user would: starts a copy in a scratch folder of its own
// (with its own Options.ini), finds its windows, presses buttons, reads the progress log and
// message boxes, and always kills what it started.
#pragma once

#include "driver/DialogDriver.h"
#include "platform/Handle.h"
#include "support/Scratch.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class RegistryTreeRestore;

class QuorvaleApp {
public:
    // Copies Quorvale.exe (from the QUORVALE_EXE environment variable) into a scratch folder and,
    // when optionsIni is given, writes it as the copy's Options.ini.
    explicit QuorvaleApp(std::optional<std::string> optionsIni = std::nullopt);
    ~QuorvaleApp();
    QuorvaleApp(const QuorvaleApp&) = delete;
    QuorvaleApp& operator=(const QuorvaleApp&) = delete;

    const std::string& Folder() const { return folder_.Path(); }
    std::string OptionsPath() const { return folder_ / "Options.ini"; }

    // Puts the test build of the program (QUORVALE_TEST_EXE) in the copy's place; call before Start.
    // The test build records its ExitWindowsEx calls in ExitWindowsRecordPath() instead of making
    // them, and takes "/test-schedule-ms:N" as a schedule interval. Fails the test when it cannot.
    bool UseTestBuild();
    std::string ExitWindowsRecordPath() const { return folder_ / "ExitWindowsEx.txt"; }

    // Starts the copy with the given arguments. Fails the test when it cannot be started.
    void Start(const std::vector<std::string>& arguments = {});
    // Sets a variable of the environment the copy is started with (the rest is the test's own); a
    // second call for the same name replaces the first's value.
    void SetEnvironment(const std::string& name, const std::string& value);
    DWORD ProcessId() const { return processId_; }
    bool Running() const;

    // The main window once it is up and shown (its start-up work done); nullptr after the timeout.
    HWND WaitMainWindow(DWORD timeoutMs = 15000);
    HWND MainWindow() const { return mainWindow_; }

    // A top-level window of this process with the given class (nullptr: any) and caption.
    HWND FindWindowOf(const wchar_t* className, std::string_view caption) const;
    HWND WaitWindow(const wchar_t* className, std::string_view caption, DWORD timeoutMs = 10000) const;
    // A message box of this process with the caption, and its text.
    HWND WaitMessageBox(std::string_view caption, DWORD timeoutMs = 10000) const;
    static std::string MessageBoxText(HWND box);
    // Presses the box's button (IDOK, IDYES, ...).
    static void AnswerMessageBox(HWND box, int buttonId = IDOK);

    // Clicks the child button with this caption (BM_CLICK, posted so the test never blocks).
    bool PressButton(HWND window, std::string_view caption) const;
    bool PressButton(std::string_view caption) const { return PressButton(mainWindow_, caption); }
    // The lines of the main window's progress log.
    std::vector<std::string> LogLines() const;
    // A control of the main window by its id (100 the log, 101 Erase ... 108 Exit).
    HWND MainControl(int id) const { return GetDlgItem(mainWindow_, id); }

    void Post(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // Waits until the main window's thread has taken every message posted to it before the call
    // (they are taken in the order posted), shown or hidden: posts a change of the log's selection
    // behind them and waits for it. Only while no run writes to the log.
    bool WaitPostedHandled(DWORD timeoutMs = 30000) const;
    // Closes the main window as its close button would and waits for the process to end.
    bool Close(DWORD timeoutMs = 10000);
    bool WaitExit(DWORD timeoutMs = 10000);
    DWORD ExitCode() const;
    void Kill();

private:
    ScratchFolder folder_;
    std::string exePath_;
    KernelHandle process_;
    DWORD processId_ = 0;
    HWND mainWindow_ = nullptr;
    std::vector<std::pair<std::string, std::string>> environment_;
};

// Every place an erase run reads or cleans, pointed at scratch places for one copy of the program
// (create it before the copy starts): TMP and TEMP, APPDATA, ProgramFiles, USERPROFILE and
// XDG_DATA_HOME (Wine's recycle bin is the XDG trash) go into the copy's environment; the Internet
// cache, cookie, history and Recent folders are set in the user's shell-folder keys; the history
// and password keys the items clean are saved and removed. Everything is put back when the
// sandbox goes.
class TraceSandbox {
public:
    explicit TraceSandbox(QuorvaleApp& app);
    ~TraceSandbox();
    TraceSandbox(const TraceSandbox&) = delete;
    TraceSandbox& operator=(const TraceSandbox&) = delete;

    // Each folder without a trailing backslash.
    std::string Temp() const { return root_ / "Temp"; }
    std::string AppData() const { return root_ / "AppData"; }
    std::string LocalAppData() const { return root_ / "LocalAppData"; }
    std::string ProgramFiles() const { return root_ / "Program Files"; }
    std::string UserProfile() const { return root_ / "Profile"; }
    std::string Recent() const { return root_ / "Recent"; }
    std::string Cache() const { return root_ / "INetCache"; }
    std::string Cookies() const { return root_ / "INetCookies"; }
    std::string History() const { return root_ / "History"; }
    // Puts a file into the recycle bin as Wine's shell would; returns its path in the bin.
    std::string AddToRecycleBin(const std::string& name, std::string_view content) const;

private:
    ScratchFolder root_;
    std::string trash_; // the XDG trash, as a Windows path
    std::vector<std::unique_ptr<RegistryTreeRestore>> savedKeys_;
};

// Asks the notification area whether the program's icon (of that main window) is there, without
// changing it.
bool TrayIconShown(HWND mainWindow);

// Pops the tray menu as a right click on the program's icon does; returns the menu's window, nullptr
// when none came up.
HWND PopTrayMenu(const QuorvaleApp& app);
