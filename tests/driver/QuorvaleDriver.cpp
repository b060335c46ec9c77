#include "driver/QuorvaleDriver.h"

#include "platform/Desktop.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The program's path as Windows sees it: a Unix path is reached through drive Z:.
std::string WindowsPathOf(std::string path) {
    if (!path.empty() && path.front() == '/') {
        path = "Z:" + path;
        for (auto& c : path) {
            if (c == '/') {
                c = '\\';
            }
        }
    }
    return path;
}

std::string QuoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        return argument;
    }
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

struct EnumState {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == state->processId && (!state->visibleOnly || IsWindowVisible(window))) {
        state->windows.push_back(window);
    }
    return TRUE;
}

struct ChildSearch {
    std::wstring caption;
    HWND found;
};

BOOL CALLBACK FindChildByCaption(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (Widen(RemoteWindowText(child)) == search->caption) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::string RemoteWindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        5000, &got);
    text.resize(got);
    return Narrow(text);
}

std::string WindowClassName(HWND window) {
    wchar_t name[256];
    int n = GetClassNameW(window, name, 256);
    return n > 0 ? Narrow(std::wstring_view(name, static_cast<size_t>(n))) : std::string();
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId, bool visibleOnly) {
    EnumState state{processId, visibleOnly, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    return state.windows;
}

QuorvaleApp::QuorvaleApp(std::optional<std::string> optionsIni) {
    const char* exe = std::getenv("QUORVALE_EXE");
    if (!exe) {
        ADD_FAILURE() << "QUORVALE_EXE is not set";
        return;
    }
    exePath_ = folder_ / "Quorvale.exe";
    if (!CopyFileW(Widen(WindowsPathOf(exe)).c_str(), Widen(exePath_).c_str(), FALSE)) {
        ADD_FAILURE() << "cannot copy " << exe << ": error " << GetLastError();
    }
    if (optionsIni) {
        WriteFileText(OptionsPath(), *optionsIni);
    }
}

QuorvaleApp::~QuorvaleApp() { Kill(); }

bool QuorvaleApp::UseTestBuild() {
    const char* exe = std::getenv("QUORVALE_TEST_EXE");
    if (!exe) {
        ADD_FAILURE() << "QUORVALE_TEST_EXE is not set";
        return false;
    }
    if (!CopyFileW(Widen(WindowsPathOf(exe)).c_str(), Widen(exePath_).c_str(), FALSE)) {
        ADD_FAILURE() << "cannot copy " << exe << ": error " << GetLastError();
        return false;
    }
    return true;
}

void QuorvaleApp::Start(const std::vector<std::string>& arguments) {
    std::string commandLine = QuoteArgument(exePath_);
    for (const auto& argument : arguments) {
        commandLine += " " + QuoteArgument(argument);
    }
    std::wstring wideCommand = Widen(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, wideCommand.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        Widen(folder_.Path()).c_str(), &startup, &info)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << GetLastError();
        return;
    }
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    processId_ = info.dwProcessId;
}

bool QuorvaleApp::Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

HWND QuorvaleApp::FindWindowOf(const wchar_t* className, std::string_view caption) const {
    for (HWND window : TopLevelWindowsOf(processId_, false)) {
        if (className && Widen(WindowClassName(window)) != className) {
            continue;
        }
        if (RemoteWindowText(window) == caption) {
            return window;
        }
    }
    return nullptr;
}

HWND QuorvaleApp::WaitWindow(const wchar_t* className, std::string_view caption, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf(className, caption)) != nullptr; }, timeoutMs);
    return found;
}

HWND QuorvaleApp::WaitMainWindow(DWORD timeoutMs) {
    // The window exists before its creation handler has run; it is shown only after that.
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf(L"TFrmMain", "Quorvale")) != nullptr && IsWindowVisible(found); },
              timeoutMs);
    mainWindow_ = found && IsWindowVisible(found) ? found : nullptr;
    return mainWindow_;
}

HWND QuorvaleApp::WaitMessageBox(std::string_view caption, DWORD timeoutMs) const {
    return WaitWindow(L"#32770", caption, timeoutMs);
}

std::string QuorvaleApp::MessageBoxText(HWND box) { return RemoteWindowText(GetDlgItem(box, 0xFFFF)); }

void QuorvaleApp::AnswerMessageBox(HWND box, int buttonId) {
    HWND button = GetDlgItem(box, buttonId);
    if (button) {
        PostMessageW(button, BM_CLICK, 0, 0);
    } else {
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
    }
}

bool QuorvaleApp::PressButton(HWND window, std::string_view caption) const {
    ChildSearch search{Widen(caption), nullptr};
    EnumChildWindows(window, FindChildByCaption, reinterpret_cast<LPARAM>(&search));
    if (!search.found) {
        return false;
    }
    PostMessageW(search.found, BM_CLICK, 0, 0);
    return true;
}

std::vector<std::string> QuorvaleApp::LogLines() const {
    std::vector<std::string> lines;
    HWND memo = GetDlgItem(mainWindow_, 100);
    std::string text = RemoteWindowText(memo);
    if (text.empty()) {
        return lines;
    }
    size_t start = 0;
    for (;;) {
        size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 2;
    }
    return lines;
}

void QuorvaleApp::Post(UINT msg, WPARAM wParam, LPARAM lParam) const { PostMessageW(mainWindow_, msg, wParam, lParam); }

bool QuorvaleApp::Close(DWORD timeoutMs) {
    Post(WM_CLOSE);
    return WaitExit(timeoutMs);
}

bool QuorvaleApp::WaitExit(DWORD timeoutMs) {
    return process_ && WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD QuorvaleApp::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) {
        GetExitCodeProcess(process_.get(), &code);
    }
    return code;
}

void QuorvaleApp::Kill() {
    if (Running()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}
