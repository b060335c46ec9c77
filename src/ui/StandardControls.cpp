#include "ui/StandardControls.h"

#include "platform/Text.h"

#include <commctrl.h>

#include <algorithm>

bool IsTicked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetTicked(HWND button, bool ticked) { SendMessageW(button, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0); }

std::vector<std::string> ListBoxEntries(HWND list) {
    std::vector<std::string> entries;
    auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        auto length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length == LB_ERR) {
            continue;
        }
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        length = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(length == LB_ERR ? 0 : static_cast<size_t>(length));
        entries.push_back(Narrow(text));
    }
    return entries;
}

void AddListBoxEntry(HWND list, std::string_view text) {
    std::wstring wide = Widen(text);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void SetListBoxItemHeight(HWND list, int pixels) { SendMessageW(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(pixels, 0)); }

std::vector<std::string> TakeSelectedListBoxEntries(HWND list) {
    std::vector<std::string> taken;
    // Walking backwards keeps the indexes of the entries not yet visited valid while entries go.
    for (auto i = SendMessageW(list, LB_GETCOUNT, 0, 0) - 1; i >= 0; --i) {
        if (SendMessageW(list, LB_GETSEL, static_cast<WPARAM>(i), 0) <= 0) {
            continue;
        }
        auto length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(length == LB_ERR ? 1 : static_cast<size_t>(length) + 1, L'\0');
        length = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(length == LB_ERR ? 0 : static_cast<size_t>(length));
        taken.push_back(Narrow(text));
        SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
    }
    return taken;
}

int ListBoxSelectedCount(HWND list) {
    LRESULT count = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

void FitListBoxScrollWidth(HWND list, int margin) {
    int widest = 0;
    if (HDC dc = GetDC(list)) {
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
        for (const std::string& entry : ListBoxEntries(list)) {
            std::wstring text = Widen(entry);
            SIZE size{};
            if (GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size)) {
                widest = std::max(widest, static_cast<int>(size.cx) + margin);
            }
        }
        SelectObject(dc, old);
        ReleaseDC(list, dc);
    }
    SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest), 0);
}

void MoveSelectedListBoxEntries(HWND from, HWND to) {
    for (const std::string& text : TakeSelectedListBoxEntries(from)) {
        AddListBoxEntry(to, text);
    }
}

void AddComboEntry(HWND combo, std::string_view text) {
    std::wstring wide = Widen(text);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

int ComboSelection(HWND combo) {
    auto selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? -1 : static_cast<int>(selected);
}

void SelectComboEntry(HWND combo, int index) {
    auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    SendMessageW(combo, CB_SETCURSEL,
                 index >= 0 && index < count ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
}

void AddTabPage(HWND tab, std::string_view caption) {
    std::wstring text = Widen(caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    auto count = SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0);
    SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&item));
}

int SelectedTabPage(HWND tab) { return static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0)); }

void SelectTabPage(HWND tab, int index) { SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0); }
