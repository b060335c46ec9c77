// Works the controls of another process's dialogs as a user would, and reads them back: check
// boxes and radio buttons, list boxes, drop-down lists, page controls, list views with check
// boxes, the keyboard and the mouse.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// The dialog's control with that id (nullptr when there is none).
HWND ControlOf(HWND dialog, int id);
// Clicks a button, check box or radio button (BM_CLICK, posted so the test never blocks on a
// window that opens a modal one).
void ClickControl(HWND control);
// Clicks the control and waits until the click has been handled (the click opens no modal window).
void ClickControlAndWait(HWND control);
bool Ticked(HWND button);
bool Enabled(HWND control);
bool Shown(HWND control);

// List boxes: the entries in the order shown, and selecting entries by their text (every entry
// with that text; the others are deselected; the window is told, as for a user's selection).
std::vector<std::string> ListBoxTexts(HWND list);
void SelectListBoxTexts(HWND list, const std::vector<std::string>& texts);
int ListBoxItemHeight(HWND list);

// Drop-down lists: the choices and the selected index (-1: none).
std::vector<std::string> ComboTexts(HWND combo);
int ComboIndex(HWND combo);

// Page controls: the captions of the pages, the page shown, and turning to a page as a user does
// (the window is told, as by a click on the page's tab).
std::vector<std::string> PageCaptions(HWND tab);
int PageShown(HWND tab);
void TurnToPage(HWND tab, int index);

// List views (their rows and check boxes: the RemoteListView functions below): the column captions
// and widths, the extended styles.
std::vector<std::string> ListViewColumnCaptions(HWND list);
std::vector<int> ListViewColumnWidths(HWND list);
DWORD ListViewExtendedStyles(HWND list);

// The keyboard and the mouse, through the system's input queue (the foreground window gets them).
void BringToFront(HWND window);
void PressKey(WORD virtualKey);
void ReleaseKey(WORD virtualKey);
void MoveMouseOver(HWND control);
// Moves the mouse to the top left corner of the screen, where no window of the tests lies.
void MoveMouseAway();
// A left click at a point of the control, given as fractions of its width and height.
void ClickWithMouse(HWND control, double across = 0.5, double down = 0.5);
// The control that has the keyboard focus in the window's thread.
HWND FocusedControlOf(HWND window);

// Text of any window of any process (WM_GETTEXT), UTF-8; a button's or label's caption as shown, without
// its mnemonic "&".
std::string RemoteWindowText(HWND window);
std::string WindowClassName(HWND window);
// The visible top-level windows of a process, in z-order.
std::vector<HWND> TopLevelWindowsOf(DWORD processId, bool visibleOnly = true);
// The first child (at any depth) of the class, e.g. L"SysListView32"; nullptr when there is none.
HWND FindChildOfClass(HWND parent, const wchar_t* className);
// The first child (at any depth) whose caption, as the user reads it, is exactly text.
HWND FindChildWithText(HWND parent, std::string_view text);

// Another process's list view. Its item records and texts must live in that process, so they go
// through memory allocated there.
int RemoteListViewRowCount(HWND list);
std::string RemoteListViewCell(HWND list, int row, int column);
// Every row, each with the given number of cells.
std::vector<std::vector<std::string>> RemoteListViewRows(HWND list, int columns);
// The column headers' captions and widths.
std::vector<std::pair<std::string, int>> RemoteListViewColumns(HWND list);
void RemoteListViewSetChecked(HWND list, int row, bool checked);
bool RemoteListViewChecked(HWND list, int row);
void RemoteListViewSetSelected(HWND list, int row, bool selected);
// The position of another process's progress bar.
int RemoteProgressPosition(HWND bar);

// Works an open-file dialog as a user would: types the folder into the file name box and presses
// Open (the dialog goes there), then types the names, quoted, and presses Open again.
bool ChooseInOpenDialog(HWND dialog, const std::string& folder, const std::vector<std::string>& names);

// Waits until the thread of a shown window has handled every message sent or posted to it and
// every key and mouse event queued for it before the call, with all they set off in that thread.
// It repaints the window and waits for the paint: a thread paints only once nothing else waits
// for it. False when the window is hidden or the paint did not come within the time.
bool WaitQueueHandled(HWND window, DWORD timeoutMs = 30000);

// Polls the condition every 50 ms until it holds or the time is up.
template <typename Condition> bool WaitUntil(Condition condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(50);
    }
}
