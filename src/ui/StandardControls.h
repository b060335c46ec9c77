// The standard controls the dialogs are made of, with UTF-8 text: check boxes and radio buttons,
// list boxes, drop-down lists and page (tab) controls.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// Check boxes and radio buttons.
bool IsTicked(HWND button);
void SetTicked(HWND button, bool ticked);

// List boxes. A sorted list box places an added entry in alphabetical order.
std::vector<std::string> ListBoxEntries(HWND list);
void AddListBoxEntry(HWND list, std::string_view text);
// Sets the height of every entry, in real pixels.
void SetListBoxItemHeight(HWND list, int pixels);
// Moves every selected entry of from to to, walking from the last entry to the first.
void MoveSelectedListBoxEntries(HWND from, HWND to);
// Removes the selected entries of a multiple-selection list box and returns their texts (last first).
std::vector<std::string> TakeSelectedListBoxEntries(HWND list);

// The number of selected entries of a multiple-selection list box.
int ListBoxSelectedCount(HWND list);
// Lets the list box scroll sideways just as far as its widest entry (plus margin pixels) needs: it
// shows a horizontal scroll bar only while an entry is wider than the list.
void FitListBoxScrollWidth(HWND list, int margin);
// Drop-down lists.
void AddComboEntry(HWND combo, std::string_view text);
// The selected index; -1 when nothing is selected.
int ComboSelection(HWND combo);
// Selects the entry; an index outside the list leaves nothing selected.
void SelectComboEntry(HWND combo, int index);

// Page controls (tab controls).
void AddTabPage(HWND tab, std::string_view caption);
int SelectedTabPage(HWND tab);
void SelectTabPage(HWND tab, int index);
