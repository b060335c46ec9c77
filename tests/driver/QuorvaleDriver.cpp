#include "driver/QuorvaleDriver.h"

#include "app/MainForm.h"
#include "driver/RemoteMemory.h"
#include "platform/Messages.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "platform/ThisProcess.h"
#include "support/ChildProcess.h"
#include "support/Overrides.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <shellapi.h>

#include <cstdlib>
#include <functional>
#include <cwchar>

namespace {

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

// The test's own environment with the given variables replaced or added, as CreateProcessW takes it.
std::wstring EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& overrides) {
    std::wstring block;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; *entry; entry += std::wcslen(entry) + 1) {
        std::string text = Narrow(entry);
        size_t equals = text.find('=', 1); // entries such as "=C:=C:\dir" begin with "="
        bool replaced = false;
        for (const auto& [name, value] : overrides) {
            replaced = replaced || (equals != std::string::npos && EqualsNoCase(text.substr(0, equals), name));
        }
        if (!replaced) {
            block += entry;
            block.push_back(L'\0');
        }
    }
    FreeEnvironmentStringsW(strings);
    for (const auto& [name, value] : overrides) {
        block += Widen(name + "=" + value);
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

} // namespace

bool TrayIconShown(HWND mainWindow) {
    NOTIFYICONDATAA record{};
    record.cbSize = kTrayIconRecordSize;
    record.hWnd = mainWindow;
    record.uID = 1;
    record.uFlags = NIF_TIP;
    lstrcpyA(record.szTip, "Quorvale");
    return Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
}

HWND PopTrayMenu(const QuorvaleApp& app) {
    constexpr UINT kTrayMessage = WM_USER + 1001;
    app.Post(kTrayMessage, 1, WM_RBUTTONDOWN);
    HWND menuWindow = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindowsOf(app.ProcessId())) {
                if (WindowClassName(window) == "#32768") {
                    menuWindow = window;
                    return true;
                }
            }
            return false;
        },
        5000);
    return menuWindow;
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
    std::wstring environment = environment_.empty() ? std::wstring() : EnvironmentBlock(environment_);
    if (!CreateProcessW(
            nullptr, wideCommand.data(), nullptr, nullptr, FALSE, environment.empty() ? 0 : CREATE_UNICODE_ENVIRONMENT,
            environment.empty() ? nullptr : environment.data(), Widen(folder_.Path()).c_str(), &startup, &info)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << GetLastError();
        return;
    }
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    processId_ = info.dwProcessId;
}

void QuorvaleApp::SetEnvironment(const std::string& name, const std::string& value) {
    for (auto& [set, old] : environment_) {
        if (EqualsNoCase(set, name)) {
            old = value;
            return;
        }
    }
    environment_.emplace_back(name, value);
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
    HWND button = FindChildWithText(window, caption);
    if (!button) {
        return false;
    }
    PostMessageW(button, BM_CLICK, 0, 0);
    return true;
}

std::vector<std::string> QuorvaleApp::LogLines() const {
    std::vector<std::string> lines;
    HWND memo = GetDlgItem(mainWindow_, TFrmMain::IDC_MEMINFO);
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

bool QuorvaleApp::WaitPostedHandled(DWORD timeoutMs) const {
    HWND log = GetDlgItem(mainWindow_, TFrmMain::IDC_MEMINFO);
    auto selection = [&](DWORD_PTR& packed) {
        return SendMessageTimeoutW(log, EM_GETSEL, 0, 0, SMTO_NORMAL, timeoutMs, &packed) != 0;
    };
    DWORD_PTR now = 0;
    if (!log || !selection(now)) {
        return false;
    }
    // A selection other than the one there now (the log is never empty once the program is up).
    const WORD markEnd = now == 0 ? 1 : 0;
    PostMessageW(log, EM_SETSEL, 0, markEnd);
    return WaitUntil(
        [&] {
            DWORD_PTR packed = 0;
            return selection(packed) && packed == static_cast<DWORD_PTR>(MAKELONG(0, markEnd));
        },
        timeoutMs);
}

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
        // A program ended this way leaves its hotkey atoms behind, where the next copy would find
        // them; the tests that watch those atoms must not depend on which test ran before them.
        for (const char* name : {kBossKeyAtomName, kStealthKeyAtomName}) {
            while (ATOM atom = FindGlobalAtom(name)) {
                if (GlobalDeleteAtom(atom) != 0) {
                    break;
                }
            }
        }
    }
}

namespace {

constexpr const char* kShellFoldersPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kUserShellFoldersPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Keys the erase items clean, under HKEY_CURRENT_USER.
constexpr const char* kCleanedKeys[] = {
    "Software\\Microsoft\\Internet Explorer\\TypedURLs",
    "Software\\Microsoft\\Internet Explorer\\IntelliForms\\SPW",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
    "Software\\Microsoft\\Search Assistant\\ACMru",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSavePidlMRU",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedPidlMRU",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedPidlMRULegacy",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\CIDSizeMRU",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\FirstFolder",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\WordWheelQuery",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\TypedPaths",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist",
    "Software\\Microsoft\\Windows\\Shell\\BagMRU",
    "Software\\Microsoft\\Windows\\Shell\\Bags",
    "Software\\Microsoft\\Windows\\ShellNoRoam\\BagMRU",
    "Software\\Microsoft\\Windows\\ShellNoRoam\\Bags",
    "Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\BagMRU",
    "Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\Bags",
    "Software\\Classes\\Wow6432Node\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\BagMRU",
    "Software\\Classes\\Wow6432Node\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\Bags",
};

} // namespace

TraceSandbox::TraceSandbox(QuorvaleApp& app) {
    const std::string xdgData = root_ / "xdg-data";
    trash_ = xdgData + "\\Trash";
    for (const std::string& folder :
         {Temp(), AppData(), LocalAppData(), ProgramFiles(), UserProfile(), Recent(), Cache(), Cookies(), History(),
          xdgData, trash_, trash_ + "\\files", trash_ + "\\info"}) {
        if (!CreateFolder(folder)) {
            ADD_FAILURE() << "cannot create " << folder;
        }
    }
    const std::string unixXdgData = UnixPathOf(xdgData);
    if (unixXdgData.empty()) {
        ADD_FAILURE() << "no Unix path for " << xdgData << ": the recycle bin cannot be sandboxed";
    }
    app.SetEnvironment("TMP", Temp());
    app.SetEnvironment("TEMP", Temp());
    app.SetEnvironment("APPDATA", AppData());
    app.SetEnvironment("LOCALAPPDATA", LocalAppData());
    app.SetEnvironment("ProgramFiles", ProgramFiles());
    app.SetEnvironment("USERPROFILE", UserProfile());
    app.SetEnvironment("XDG_DATA_HOME", unixXdgData);

    savedKeys_.push_back(std::make_unique<RegistryTreeRestore>(HKEY_CURRENT_USER, kShellFoldersPath));
    savedKeys_.push_back(std::make_unique<RegistryTreeRestore>(HKEY_CURRENT_USER, kUserShellFoldersPath));
    const std::pair<const char*, std::string> folders[] = {
        {"Cache", Cache()}, {"Cookies", Cookies()}, {"History", History()}, {"Recent", Recent()}};
    for (const char* keyPath : {kShellFoldersPath, kUserShellFoldersPath}) {
        RegKey key = CreateRegKey(HKEY_CURRENT_USER, keyPath);
        for (const auto& [value, folder] : folders) {
            if (!key || !SetRegString(key.get(), value, folder)) {
                ADD_FAILURE() << "cannot point " << keyPath << "\\" << value << " at " << folder;
            }
        }
    }
    for (const char* keyPath : kCleanedKeys) {
        savedKeys_.push_back(std::make_unique<RegistryTreeRestore>(HKEY_CURRENT_USER, keyPath));
        DeleteRegTree(HKEY_CURRENT_USER, keyPath);
    }
}

TraceSandbox::~TraceSandbox() = default;

std::string TraceSandbox::AddToRecycleBin(const std::string& name, std::string_view content) const {
    const std::string file = trash_ + "\\files\\" + name;
    WriteFileText(file, content);
    WriteFileText(trash_ + "\\info\\" + name + ".trashinfo",
                  "[Trash Info]\nPath=/tmp/" + name + "\nDeletionDate=2024-01-01T00:00:00\n");
    return file;
}
