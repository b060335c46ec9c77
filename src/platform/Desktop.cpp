#include "platform/Desktop.h"

#include "platform/Form.h"
#include "platform/Text.h"

#include <shellapi.h>

#include <algorithm>

void ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!TranslateFormMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

bool WaitLettingMessagesRun(HANDLE object, DWORD timeoutMs) {
    constexpr DWORD kSliceMs = 50;
    const DWORD start = GetTickCount();
    for (;;) {
        ProcessMessages();
        DWORD elapsed = GetTickCount() - start;
        DWORD slice = elapsed >= timeoutMs ? 0 : std::min(kSliceMs, timeoutMs - elapsed);
        if (object) {
            if (WaitForSingleObject(object, slice) == WAIT_OBJECT_0) {
                return true;
            }
        } else {
            Sleep(slice);
        }
        if (slice == 0) {
            return false;
        }
    }
}

int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT flags) {
    return MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), flags);
}

KernelHandle CreateOwnedMutex(std::string_view name, bool& alreadyExisted) {
    KernelHandle mutex(CreateMutexW(nullptr, TRUE, Widen(name).c_str()));
    alreadyExisted = GetLastError() == ERROR_ALREADY_EXISTS;
    return mutex;
}

ATOM AddGlobalAtom(std::string_view name) { return GlobalAddAtomW(Widen(name).c_str()); }

ATOM FindGlobalAtom(std::string_view name) { return GlobalFindAtomW(Widen(name).c_str()); }

std::string KeyNameOfVirtualKey(UINT virtualKey) {
    UINT scanCode = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    if (scanCode == 0) {
        return {};
    }
    wchar_t name[64];
    int n = GetKeyNameTextW(static_cast<LONG>(scanCode << 16), name, 64);
    return n > 0 ? Narrow(std::wstring_view(name, static_cast<size_t>(n))) : std::string();
}

std::string WindowText(HWND window) {
    int len = GetWindowTextLengthW(window);
    if (len <= 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    int got = GetWindowTextW(window, text.data(), len + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return Narrow(text);
}

void SetWindowTextUtf8(HWND window, std::string_view text) { SetWindowTextW(window, Widen(text).c_str()); }

int ScreenDpi() {
    HDC dc = GetDC(nullptr);
    int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) {
        ReleaseDC(nullptr, dc);
    }
    return dpi > 0 ? dpi : 96;
}

void SetApplicationIcons(WNDCLASSEXW& windowClass) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    auto load = [instance](int widthMetric, int heightMetric) {
        return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(widthMetric),
                                             GetSystemMetrics(heightMetric), LR_SHARED));
    };
    windowClass.hIcon = load(SM_CXICON, SM_CYICON);
    windowClass.hIconSm = load(SM_CXSMICON, SM_CYSMICON);
    if (!windowClass.hIcon) {
        windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    }
}

bool IsWindowsNtPlatform() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExW(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::vector<std::string> CommandLineArguments() {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) {
        return arguments;
    }
    for (int i = 1; i < count; ++i) {
        arguments.push_back(Narrow(argv[i]));
    }
    LocalFree(argv);
    return arguments;
}

WindowsVersion GetWindowsVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) {
        return {0, 0};
    }
    return {info.dwMajorVersion, info.dwMinorVersion};
}
