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
// with that text; the others are deselected).
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

// List views (their rows and check boxes: the RemoteListView functions of QuorvaleDriver.h): the
// column captions and widths, the extended styles.
std::vector<std::string> ListViewColumnCaptions(HWND list);
std::vector<int> ListViewColumnWidths(HWND list);
DWORD ListViewExtendedStyles(HWND list);

// The keyboard and the mouse, through the system's input queue (the foreground window gets them).
void BringToFront(HWND window);
void PressKey(WORD virtualKey);
void ReleaseKey(WORD virtualKey);
void MoveMouseOver(HWND control);
// A left click at a point of the control, given as fractions of its width and height.
void ClickWithMouse(HWND control, double across = 0.5, double down = 0.5);
// The control that has the keyboard focus in the window's thread.
HWND FocusedControlOf(HWND window);
