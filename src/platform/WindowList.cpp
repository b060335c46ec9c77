#include "platform/WindowList.h"

#include "platform/Text.h"

#include <vector>

std::string WindowClassNameOf(HWND window, int bufferChars) {
    std::vector<wchar_t> buffer(static_cast<size_t>(bufferChars > 0 ? bufferChars : 1), L'\0');
    int length = GetClassNameW(window, buffer.data(), static_cast<int>(buffer.size()));
    return length > 0 ? Narrow(std::wstring_view(buffer.data(), static_cast<size_t>(length))) : std::string();
}

std::string WindowCaptionOf(HWND window, int bufferChars) {
    std::vector<wchar_t> buffer(static_cast<size_t>(bufferChars > 0 ? bufferChars : 1), L'\0');
    int length = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
    return length > 0 ? Narrow(std::wstring_view(buffer.data(), static_cast<size_t>(length))) : std::string();
}

void ShowAnyWindow(HWND window, int command) {
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
        ShowWindow(window, command);
    } else {
        ShowWindowAsync(window, command);
    }
}
