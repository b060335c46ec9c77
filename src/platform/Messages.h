// Window messages: letting them run during long work, and message boxes with UTF-8 text.
#pragma once

#include <windows.h>

#include <string_view>

// Lets pending window messages run, then returns; the keys of a window keep their meaning (Tab,
// Enter, Esc, mnemonics). A WM_QUIT met on the way is posted again so the main message loop still
// sees it.
void ProcessMessages();

// Waits up to timeoutMs for the object to be signalled (nullptr: simply waits that long), letting
// window messages run at least every 50 ms meanwhile, so the window stays painted and a click on
// Stop is taken. Returns whether the object was signalled.
bool WaitLettingMessagesRun(HANDLE object, DWORD timeoutMs);

// MessageBoxW with UTF-8 text. Returns the id of the button pressed (0 when the box failed).
int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT flags);
