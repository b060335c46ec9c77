// Window messages: the message pump every loop of the program shares, with one filter hook, letting
// messages run during long work, and message boxes with UTF-8 text.
#pragma once

#include <windows.h>

#include <string_view>

// Sees a message that a loop of the program has taken, before it is translated and dispatched;
// true when it handled the message, which then goes no further.
using MessageFilter = bool (*)(MSG& msg);

// Installs the filter that every message loop of the program calls (the window framework's keyboard
// handling: Tab, Enter, Esc, mnemonics); it replaces the one before. None is installed at first.
void SetMessageFilter(MessageFilter filter);

// Gives a message taken from the queue to the filter, then translates and dispatches it unless the
// filter handled it. The body of every message loop of the program.
void DispatchLoopMessage(MSG& msg);

// Runs the program's main message loop until WM_QUIT; returns the quit code.
int RunMessageLoop();

// Lets pending window messages run, then returns; the keys of a window keep their meaning through
// the filter. A WM_QUIT met on the way is posted again so the main message loop still sees it.
void ProcessMessages();

// Waits up to timeoutMs for the object to be signalled (nullptr: simply waits that long), letting
// window messages run at least every 50 ms meanwhile, so the window stays painted and a click on
// Stop is taken. Returns whether the object was signalled.
bool WaitLettingMessagesRun(HANDLE object, DWORD timeoutMs);

// MessageBoxW with UTF-8 text. Returns the id of the button pressed (0 when the box failed).
int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT flags);
