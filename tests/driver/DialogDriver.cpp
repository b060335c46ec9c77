#include "driver/DialogDriver.h"

#include "driver/RemoteMemory.h"
#include "platform/Handle.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>

namespace {

// Long enough for a window that is busy with a shredding or a washing between its messages.
constexpr DWORD kReplyTimeoutMs = 30000;

LRESULT SendAndWait(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, msg, wParam, lParam, SMTO_NORMAL, kReplyTimeoutMs, &result)) {
        ADD_FAILURE() << "no answer to message " << msg;
    }
    return static_cast<LRESULT>(result);
}

constexpr size_t kTextChars = 1024;

void SendInputs(std::vector<INPUT> inputs) {
    UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    EXPECT_EQ(sent, inputs.size()) << "input refused: error " << GetLastError();
}

INPUT KeyInput(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// A mouse event at a point of the control, in the absolute coordinates SendInput takes.
INPUT MouseInput(HWND control, double across, double down, DWORD flags) {
    RECT rect;
    GetWindowRect(control, &rect);
    int x = rect.left + static_cast<int>((rect.right - rect.left) * across);
    int y = rect.top + static_cast<int>((rect.bottom - rect.top) * down);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return input;
}

struct EnumState {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == state->processId && (!state->visibleOnly || IsWindowVisible(window))) {
        state->windows.push_back(window);
    }
    return TRUE;
}

// The first child window (at any depth) for which the test holds.
struct ChildSearch {
    std::function<bool(HWND)> matches;
    HWND found = nullptr;
};

BOOL CALLBACK FindMatchingChild(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (search->matches(child)) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

HWND FindChild(HWND parent, std::function<bool(HWND)> matches) {
    ChildSearch search{std::move(matches)};
    EnumChildWindows(parent, FindMatchingChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A button's or label's caption as the user reads it: a mnemonic "&" is not shown, "&&" shows one.
bool ShowsMnemonics(HWND window) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (lstrcmpiW(name, L"Button") == 0) {
        return true;
    }
    return lstrcmpiW(name, L"Static") == 0 && !(GetWindowLongPtrW(window, GWL_STYLE) & SS_NOPREFIX);
}

std::wstring WithoutMnemonics(const std::wstring& caption) {
    std::wstring shown;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size()) {
            ++i;
        }
        shown += caption[i];
    }
    return shown;
}

} // namespace

std::string RemoteWindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                        &got);
    text.resize(got);
    return Narrow(ShowsMnemonics(window) ? WithoutMnemonics(text) : text);
}

std::string WindowClassName(HWND window) {
    wchar_t name[256];
    int n = GetClassNameW(window, name, 256);
    return n > 0 ? Narrow(std::wstring_view(name, static_cast<size_t>(n))) : std::string();
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId, bool visibleOnly) {
    EnumState state{processId, visibleOnly, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    return state.windows;
}

HWND ControlOf(HWND dialog, int id) { return GetDlgItem(dialog, id); }

void ClickControl(HWND control) {
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(Enabled(control)) << "a user cannot click a disabled control";
    EXPECT_TRUE(Shown(control)) << "a user cannot click a hidden control";
    PostMessageW(control, BM_CLICK, 0, 0);
}

void ClickControlAndWait(HWND control) {
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(Enabled(control)) << "a user cannot click a disabled control";
    EXPECT_TRUE(Shown(control)) << "a user cannot click a hidden control";
    SendAndWait(control, BM_CLICK);
}

bool Ticked(HWND button) { return SendAndWait(button, BM_GETCHECK) == BST_CHECKED; }

bool Enabled(HWND control) { return IsWindowEnabled(control) != FALSE; }

bool Shown(HWND control) { return IsWindowVisible(control) != FALSE; }

namespace {

// The texts of a list box's or combo box's entries, through the control's count, length and text
// messages.
std::vector<std::string> EntryTexts(HWND control, UINT countMsg, UINT lengthMsg, UINT textMsg) {
    std::vector<std::string> texts;
    auto count = SendAndWait(control, countMsg);
    for (LRESULT i = 0; i < count; ++i) {
        auto length = SendAndWait(control, lengthMsg, static_cast<WPARAM>(i));
        std::wstring text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        length = SendAndWait(control, textMsg, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
        texts.push_back(Narrow(text));
    }
    return texts;
}

} // namespace

std::vector<std::string> ListBoxTexts(HWND list) { return EntryTexts(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT); }

void SelectListBoxTexts(HWND list, const std::vector<std::string>& texts) {
    std::vector<std::string> entries = ListBoxTexts(list);
    for (size_t i = 0; i < entries.size(); ++i) {
        bool select = std::find(texts.begin(), texts.end(), entries[i]) != texts.end();
        SendAndWait(list, LB_SETSEL, select, static_cast<LPARAM>(i));
    }
    // A list box tells its window of a change of selection only when a user makes it.
    SendAndWait(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                reinterpret_cast<LPARAM>(list));
}

int ListBoxItemHeight(HWND list) { return static_cast<int>(SendAndWait(list, LB_GETITEMHEIGHT, 0)); }

std::vector<std::string> ComboTexts(HWND combo) {
    return EntryTexts(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

int ComboIndex(HWND combo) {
    auto selected = SendAndWait(combo, CB_GETCURSEL);
    return selected == CB_ERR ? -1 : static_cast<int>(selected);
}

std::vector<std::string> PageCaptions(HWND tab) {
    std::vector<std::string> captions;
    RemoteMemory memory(tab, sizeof(TCITEMW) + kTextChars * sizeof(wchar_t));
    EXPECT_TRUE(memory.Ready()) << "cannot reach the memory of the tab control's process";
    auto count = SendAndWait(tab, TCM_GETITEMCOUNT);
    for (LRESULT i = 0; i < count && memory.Ready(); ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = reinterpret_cast<wchar_t*>(memory.At(sizeof item));
        item.cchTextMax = static_cast<int>(kTextChars);
        memory.Write(0, &item, sizeof item);
        SendAndWait(tab, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(memory.At(0)));
        captions.push_back(memory.ReadText(sizeof item, kTextChars));
    }
    return captions;
}

int PageShown(HWND tab) { return static_cast<int>(SendAndWait(tab, TCM_GETCURSEL)); }

void TurnToPage(HWND tab, int index) {
    // Moving the focus to a tab selects it and tells the window, as the keyboard does.
    SendAndWait(tab, TCM_SETCURFOCUS, static_cast<WPARAM>(index));
    EXPECT_EQ(PageShown(tab), index);
}

std::vector<std::string> ListViewColumnCaptions(HWND list) {
    std::vector<std::string> captions;
    for (const auto& column : RemoteListViewColumns(list)) {
        captions.push_back(column.first);
    }
    return captions;
}

std::vector<int> ListViewColumnWidths(HWND list) {
    std::vector<int> widths;
    HWND header = reinterpret_cast<HWND>(SendAndWait(list, LVM_GETHEADER));
    auto count = header ? SendAndWait(header, HDM_GETITEMCOUNT) : 0;
    for (LRESULT i = 0; i < count; ++i) {
        widths.push_back(static_cast<int>(SendAndWait(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i))));
    }
    return widths;
}

DWORD ListViewExtendedStyles(HWND list) { return static_cast<DWORD>(SendAndWait(list, LVM_GETEXTENDEDLISTVIEWSTYLE)); }

void BringToFront(HWND window) {
    SetForegroundWindow(window);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }, 5000)) << "the window stays behind";
}

bool WaitQueueHandled(HWND window, DWORD timeoutMs) {
    if (!IsWindowVisible(window) || !InvalidateRect(window, nullptr, FALSE)) {
        return false;
    }
    return WaitUntil([&] { return !GetUpdateRect(window, nullptr, FALSE); }, timeoutMs);
}

void PressKey(WORD virtualKey) { SendInputs({KeyInput(virtualKey, false)}); }

void ReleaseKey(WORD virtualKey) { SendInputs({KeyInput(virtualKey, true)}); }

void MoveMouseOver(HWND control) { SendInputs({MouseInput(control, 0.5, 0.5, MOUSEEVENTF_MOVE)}); }

void MoveMouseAway() { SendInputs({MouseInput(GetDesktopWindow(), 0, 0, MOUSEEVENTF_MOVE)}); }

void ClickWithMouse(HWND control, double across, double down) {
    SendInputs({MouseInput(control, across, down, MOUSEEVENTF_MOVE),
                MouseInput(control, across, down, MOUSEEVENTF_LEFTDOWN),
                MouseInput(control, across, down, MOUSEEVENTF_LEFTUP)});
}

HWND FocusedControlOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

namespace {

constexpr size_t kRemoteTextChars = 4096;

void SetRemoteItemState(HWND list, int row, UINT state, UINT mask) {
    RemoteMemory memory(list, sizeof(LVITEMW));
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    if (memory.Ready() && memory.Write(0, &item, sizeof item)) {
        SendAndWait(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory.At(0)));
    }
}

} // namespace

HWND FindChildOfClass(HWND parent, const wchar_t* className) {
    std::wstring wanted = className;
    return FindChild(parent, [&](HWND child) { return Widen(WindowClassName(child)) == wanted; });
}

HWND FindChildWithText(HWND parent, std::string_view text) {
    std::wstring wanted = Widen(text);
    return FindChild(parent, [&](HWND child) {
        // Another process's window gives the caption it was last set to without a message to its
        // thread, which a busy window answers only every few milliseconds: one round trip per
        // child would let the state searched for pass.
        wchar_t caption[kTextChars] = {};
        GetWindowTextW(child, caption, static_cast<int>(kTextChars));
        return (ShowsMnemonics(child) ? WithoutMnemonics(caption) : std::wstring(caption)) == wanted;
    });
}

int RemoteListViewRowCount(HWND list) { return static_cast<int>(SendAndWait(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string RemoteListViewCell(HWND list, int row, int column) {
    RemoteMemory memory(list, sizeof(LVITEMW) + kRemoteTextChars * sizeof(wchar_t));
    if (!memory.Ready()) {
        return {};
    }
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(memory.At(sizeof item));
    item.cchTextMax = static_cast<int>(kRemoteTextChars);
    if (!memory.Write(0, &item, sizeof item)) {
        return {};
    }
    auto length = static_cast<size_t>(
        SendAndWait(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory.At(0))));
    std::wstring text(std::min(length, kRemoteTextChars), L'\0');
    memory.Read(sizeof item, text.data(), text.size() * sizeof(wchar_t));
    return Narrow(text);
}

std::vector<std::vector<std::string>> RemoteListViewRows(HWND list, int columns) {
    std::vector<std::vector<std::string>> rows;
    int count = RemoteListViewRowCount(list);
    for (int row = 0; row < count; ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < columns; ++column) {
            cells.push_back(RemoteListViewCell(list, row, column));
        }
        rows.push_back(cells);
    }
    return rows;
}

std::vector<std::pair<std::string, int>> RemoteListViewColumns(HWND list) {
    std::vector<std::pair<std::string, int>> columns;
    HWND header = reinterpret_cast<HWND>(SendAndWait(list, LVM_GETHEADER, 0, 0));
    int count = header ? static_cast<int>(SendAndWait(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    RemoteMemory memory(list, sizeof(LVCOLUMNW) + kRemoteTextChars * sizeof(wchar_t));
    for (int index = 0; index < count && memory.Ready(); ++index) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = reinterpret_cast<wchar_t*>(memory.At(sizeof column));
        column.cchTextMax = static_cast<int>(kRemoteTextChars);
        memory.Write(0, &column, sizeof column);
        SendAndWait(list, LVM_GETCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(memory.At(0)));
        memory.Read(0, &column, sizeof column);
        columns.emplace_back(memory.ReadText(sizeof column, kRemoteTextChars), column.cx);
    }
    return columns;
}

void RemoteListViewSetChecked(HWND list, int row, bool checked) {
    SetRemoteItemState(list, row, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), LVIS_STATEIMAGEMASK);
}

bool RemoteListViewChecked(HWND list, int row) {
    auto state = static_cast<UINT>(SendAndWait(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void RemoteListViewSetSelected(HWND list, int row, bool selected) {
    SetRemoteItemState(list, row, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

int RemoteProgressPosition(HWND bar) { return static_cast<int>(SendAndWait(bar, PBM_GETPOS, 0, 0)); }

bool ChooseInOpenDialog(HWND dialog, const std::string& folder, const std::vector<std::string>& names) {
    // The file name box: a combo box (cmb13) in the Explorer-style dialog, an edit (edt1) in older ones.
    HWND nameBox = GetDlgItem(dialog, cmb13);
    if (!nameBox) {
        nameBox = GetDlgItem(dialog, edt1);
    }
    HWND open = GetDlgItem(dialog, IDOK);
    if (!nameBox || !open) {
        return false;
    }
    auto type = [&](const std::string& text) {
        std::wstring wide = Widen(text);
        SendAndWait(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    };
    type(folder);
    SendAndWait(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(open));
    std::string quoted;
    for (const auto& name : names) {
        quoted += (quoted.empty() ? "\"" : " \"") + name + "\"";
    }
    type(quoted);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(open));
    return true;
}
