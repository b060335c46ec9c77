#include "driver/DialogDriver.h"

#include "driver/QuorvaleDriver.h"
#include "driver/RemoteMemory.h"
#include "platform/Handle.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>

namespace {

constexpr DWORD kReplyTimeoutMs = 10000;

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

} // namespace

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

void PressKey(WORD virtualKey) { SendInputs({KeyInput(virtualKey, false)}); }

void ReleaseKey(WORD virtualKey) { SendInputs({KeyInput(virtualKey, true)}); }

void MoveMouseOver(HWND control) { SendInputs({MouseInput(control, 0.5, 0.5, MOUSEEVENTF_MOVE)}); }

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
