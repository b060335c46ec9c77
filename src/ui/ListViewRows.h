// Report-style list view controls with UTF-8 cells: columns, rows, selection, check boxes.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// Adds extended styles (LVS_EX_*) to the control.
void AddListViewStyles(HWND list, DWORD extendedStyles);
void AddListViewColumn(HWND list, int index, std::string_view caption, int width);
void SetListViewColumnWidth(HWND list, int index, int width);

int ListViewRowCount(HWND list);
// Appends a row: the first cell is the row's caption, the others its sub-items. Returns its index
// (-1 on failure).
int AppendListViewRow(HWND list, const std::vector<std::string>& cells);
void DeleteListViewRow(HWND list, int row);

// "" when the row or column does not exist.
std::string ListViewCell(HWND list, int row, int column);
void SetListViewCell(HWND list, int row, int column, std::string_view text);

bool IsListViewRowSelected(HWND list, int row);
int ListViewSelectedCount(HWND list);
// The row's check box (LVS_EX_CHECKBOXES).
bool IsListViewRowChecked(HWND list, int row);
void SetListViewRowChecked(HWND list, int row, bool checked);

// Makes the row the focused one and scrolls it into view.
void FocusListViewRow(HWND list, int row);
void EnsureListViewRowVisible(HWND list, int row);
