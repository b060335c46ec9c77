#include "app/Application.h"

#include "app/CommandLine.h"
#include "platform/Messages.h"
#include "platform/ThisProcess.h"
#include "platform/WindowText.h"
#include "tools/FileShredderForm.h"
#include "ui/Form.h"

#include <commctrl.h>
#include <objbase.h>

#include <exception>

namespace {

constexpr const wchar_t* kApplicationClass = L"TApplication";

LRESULT CALLBACK ApplicationWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The hidden top-level window that owns the main window, titled with the application title. It
// has no caption bar, so its extended style stays exactly what the main window sets.
HWND CreateApplicationWindow() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ApplicationWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    SetApplicationIcons(wc);
    wc.lpszClassName = kApplicationClass;
    RegisterClassExW(&wc);
    return CreateWindowExW(0, kApplicationClass, L"Quorvale", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                           nullptr);
}

} // namespace

int RunApplication(std::vector<std::string> arguments, const TestBuildSeams& seams) {
    const std::optional<CommandRequest> command = ParseCommand(arguments);
    // Only words on the console: they change nothing, so another copy running does not matter.
    if (command && (command->kind == CommandRequest::Help || command->kind == CommandRequest::UnknownSwitch)) {
        return AnswerHelpRequest(*command);
    }
    bool alreadyRunning = false;
    KernelHandle mutex = CreateOwnedMutex(kSingleInstanceMutex, alreadyRunning);
    if (alreadyRunning) {
        // A script's call shows no box: it says so on its console and leaves the running copy alone.
        // The shredder window is a person's request, who reads a box as for the main window.
        if (command && command->kind != CommandRequest::ShredderWindow) {
            SayOnConsole(kAnotherCopyText);
            return kExitAnotherCopy;
        }
        ShowMessageBox(nullptr, "Quorvale already starts!", "Information", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    if (command && command->kind == CommandRequest::Usage) {
        SayOnConsole(kUsageText);
        return kExitNotRun;
    }
    if (command && command->kind == CommandRequest::Shred) {
        return ShredFromCommandLine(command->paths);
    }

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    CoInitialize(nullptr);

    int exitCode = 0;
    try {
        if (command && command->kind == CommandRequest::Preview) {
            exitCode = PreviewFromCommandLine(command->paths.front());
            CoUninitialize();
            return exitCode;
        }
        if (command && command->kind == CommandRequest::ShredderWindow) {
            // The shredder alone, a window of its own on the taskbar; the program ends when it closes.
            RunModal<TFrmFileShredder>(nullptr, command->paths);
            CoUninitialize();
            return 0;
        }
        HWND applicationWindow = CreateApplicationWindow();
        TFrmMain main(applicationWindow, std::move(arguments), seams);
        if (command) {
            // The erase of a script: the window stays out of the way, and the program ends with it.
            ShowWindow(main.Handle(), SW_SHOWMINNOACTIVE);
            exitCode = EraseFromCommandLine(main, command->paths.empty() ? std::string() : command->paths.front());
            // Closed as the close button would: the hotkeys and their atoms and the tray icon go.
            main.Close();
        } else {
            ShowWindow(main.Handle(), SW_SHOWNORMAL);
            UpdateWindow(main.Handle());
            exitCode = RunMessageLoop();
        }
        DestroyWindow(applicationWindow);
    } catch (const std::exception& e) {
        if (command && command->kind != CommandRequest::ShredderWindow) {
            SayOnConsole(e.what());
            exitCode = kExitNotRun;
        } else {
            ShowApplicationError(e.what());
            exitCode = 1;
        }
    }
    CoUninitialize();
    return exitCode;
}
