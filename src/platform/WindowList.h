// Top-level windows of every program: their class names and captions, and hiding or showing them.
#pragma once

#include <windows.h>

#include <string>

// The window's class name read into a buffer of bufferChars UTF-16 characters, so at most
// bufferChars - 1 of them; UTF-8. "" when the window is gone.
std::string WindowClassNameOf(HWND window, int bufferChars);

// The window's caption read the same way (GetWindowText, which also reads other programs'
// captions). "" when it has none or the window is gone.
std::string WindowCaptionOf(HWND window, int bufferChars);

// ShowWindow with the command. A window of another thread is only sent the request
// (ShowWindowAsync), so a program that has stopped answering cannot hold the caller.
void ShowAnyWindow(HWND window, int command);
