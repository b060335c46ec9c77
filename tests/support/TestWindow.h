// A window of a class of the test's own, for tests that stand in for a window of Windows or of the
// program (the notification area, a Stop button).
#pragma once

#include <windows.h>

// Registers the class with the procedure (a class already registered is used as it is) and creates
// one window of it; nullptr when it cannot be created.
HWND CreateTestWindow(const wchar_t* className, WNDPROC procedure, DWORD exStyle, DWORD style, HWND parent);
