#include "platform/WindowText.h"

#include "platform/Handle.h"
#include "platform/Text.h"

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
    WindowDC dc(nullptr);
    int dpi = dc ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
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
