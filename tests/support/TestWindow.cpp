#include "support/TestWindow.h"

HWND CreateTestWindow(const wchar_t* className, WNDPROC procedure, DWORD exStyle, DWORD style, HWND parent) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    return CreateWindowExW(exStyle, className, L"", style, 0, 0, 0, 0, parent, nullptr, windowClass.hInstance, nullptr);
}
