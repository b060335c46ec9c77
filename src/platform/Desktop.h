// Windows, messages and input: the desktop calls the program makes, with UTF-8 text.
#pragma once

#include "platform/Handle.h"

#include <string>
#include <string_view>
#include <vector>

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

// Creates the named mutex, owned by this process. alreadyExisted tells whether another process
// had made it first. Returns an empty handle when the mutex could not be made at all.
KernelHandle CreateOwnedMutex(std::string_view name, bool& alreadyExisted);

// Global atoms (GlobalAddAtomW and friends). 0 means failure or not found.
ATOM AddGlobalAtom(std::string_view name);
ATOM FindGlobalAtom(std::string_view name);

// The keyboard driver's name of a virtual key (through its scan code), or "" when it has none.
std::string KeyNameOfVirtualKey(UINT virtualKey);

// Window text of any window, UTF-8.
std::string WindowText(HWND window);
void SetWindowTextUtf8(HWND window, std::string_view text);

// Dots per inch of the screen, 96 when unknown.
int ScreenDpi();

// Gives a window class the program's icon (resource 1) in the sizes the system uses for large and
// small icons at the current DPI, or the stock application icon when the program has none.
void SetApplicationIcons(WNDCLASSEXW& windowClass);

// True on the Windows NT family (GetVersionEx's platform id is VER_PLATFORM_WIN32_NT).
bool IsWindowsNtPlatform();

// The process's command-line arguments after the program name, UTF-8.
std::vector<std::string> CommandLineArguments();

// Windows' version as GetVersionExA's basic record gives it.
struct WindowsVersion {
    DWORD major;
    DWORD minor;
};
WindowsVersion GetWindowsVersion();
