#include "ui/ListViewRows.h"

#include "platform/Text.h"

#include <commctrl.h>

void AddListViewStyles(HWND list, DWORD extendedStyles) {
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extendedStyles, extendedStyles);
}

void AddListViewColumn(HWND list, int index, std::string_view caption, int width) {
    std::wstring text = Widen(caption);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = text.data();
    column.cx = width;
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void SetListViewColumnWidth(HWND list, int index, int width) {
    SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index), MAKELPARAM(width, 0));
}

int ListViewRowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

int AppendListViewRow(HWND list, const std::vector<std::string>& cells) {
    std::wstring caption = cells.empty() ? std::wstring() : Widen(cells.front());
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = ListViewRowCount(list);
    item.pszText = caption.data();
    int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) {
        return -1;
    }
    for (size_t column = 1; column < cells.size(); ++column) {
        SetListViewCell(list, row, static_cast<int>(column), cells[column]);
    }
    return row;
}

void DeleteListViewRow(HWND list, int row) { SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(row), 0); }

std::string ListViewCell(HWND list, int row, int column) {
    std::wstring buffer(512, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        auto length = static_cast<size_t>(
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < buffer.size()) {
            return Narrow(std::wstring_view(buffer.data(), length));
        }
        buffer.resize(buffer.size() * 2); // the text may have been cut: ask again with more room
    }
}

void SetListViewCell(HWND list, int row, int column, std::string_view text) {
    std::wstring wide = Widen(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

bool IsListViewRowSelected(HWND list, int row) {
    return (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

int ListViewSelectedCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0)); }

bool IsListViewRowChecked(HWND list, int row) {
    auto state = SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void SetListViewRowChecked(HWND list, int row, bool checked) {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void FocusListViewRow(HWND list, int row) {
    LVITEMW item{};
    item.stateMask = LVIS_FOCUSED;
    item.state = LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    EnsureListViewRowVisible(list, row);
}

void EnsureListViewRowVisible(HWND list, int row) {
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}
