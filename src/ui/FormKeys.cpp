// Keyboard use of the framework's windows: Tab and Shift+Tab in the order the controls were made,
// Ctrl+Tab and Ctrl+PgDn through pages, Enter for the focused or default button, Esc for Cancel,
// mnemonics; arrow keys are left to the dialog manager. The windows are not dialog boxes, so the
// messages a dialog box answers for the dialog manager are answered here.
#include "ui/Form.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <string>

namespace {

bool KeyHeld(int virtualKey) { return GetKeyState(virtualKey) < 0; }

UINT DialogCode(HWND control, const MSG* msg = nullptr) {
    return control ? static_cast<UINT>(
                         SendMessageW(control, WM_GETDLGCODE, msg ? msg->wParam : 0, reinterpret_cast<LPARAM>(msg)))
                   : 0;
}

bool IsClass(HWND control, const wchar_t* className) {
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    return lstrcmpiW(name, className) == 0;
}

DWORD StyleOf(HWND control) { return static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE)); }

bool IsPushButton(HWND control) {
    if (!IsClass(control, WC_BUTTONW)) {
        return false;
    }
    DWORD type = StyleOf(control) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

bool Usable(HWND control) { return IsWindowVisible(control) && IsWindowEnabled(control); }

bool IsTabStop(HWND control) { return Usable(control) && (StyleOf(control) & WS_TABSTOP) != 0; }

// A drop-down list that is open takes Enter and Esc to close itself.
bool IsOpenDropDown(HWND control) {
    for (HWND window = control; window; window = GetParent(window)) {
        if (IsClass(window, WC_COMBOBOXW)) {
            return SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
        }
        if (!(StyleOf(window) & WS_CHILD)) {
            break;
        }
    }
    return false;
}

// The letter after a single "&" of the caption ("&&" shows an ampersand); 0 when there is none.
wchar_t MnemonicOf(const std::wstring& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == L'&') {
            if (caption[i + 1] != L'&') {
                return caption[i + 1];
            }
            ++i;
        }
    }
    return 0;
}

bool TakesMnemonic(HWND control) {
    if (IsClass(control, WC_STATICW)) {
        DWORD style = StyleOf(control);
        DWORD type = style & SS_TYPEMASK;
        return !(style & SS_NOPREFIX) && (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
    }
    return IsClass(control, WC_BUTTONW) && (StyleOf(control) & BS_TYPEMASK) != BS_GROUPBOX;
}

std::wstring CaptionOf(HWND control) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

bool TranslateFormMessage(MSG& msg) {
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    TForm* form = TForm::FromWindow(root);
    if (!form) {
        return false;
    }
    switch (form->TranslateKey(msg)) {
    case TForm::KeyOutcome::Handled:
        return true;
    case TForm::KeyOutcome::DispatchOnly:
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        return true;
    case TForm::KeyOutcome::DialogManager:
        break;
    }
    return IsDialogMessageW(root, &msg) != FALSE;
}

void TForm::SetDefaultButton(int id) {
    defaultId_ = id;
    ShowDefaultButton(GetFocus());
}

TForm::KeyOutcome TForm::TranslateKey(const MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) {
        return KeyOutcome::DialogManager;
    }
    const bool keyDown = msg.message == WM_KEYDOWN;
    HWND focus = GetFocus();
    if (focus == hwnd_ || !IsChild(hwnd_, focus)) {
        focus = nullptr;
    }
    const bool ctrl = KeyHeld(VK_CONTROL);
    const bool alt = KeyHeld(VK_MENU);
    const bool shift = KeyHeld(VK_SHIFT);
    if (keyDown && msg.wParam == VK_TAB && !alt) {
        if (ctrl) {
            HWND tab = PageControlFor(focus);
            if (!tab) {
                return KeyOutcome::DialogManager;
            }
            TurnPage(tab, shift);
            return KeyOutcome::Handled;
        }
        if (DialogCode(focus, &msg) & DLGC_WANTTAB) {
            return KeyOutcome::DialogManager;
        }
        MoveFocus(NextTabStop(focus, shift));
        return KeyOutcome::Handled;
    }
    if (keyDown && (msg.wParam == VK_NEXT || msg.wParam == VK_PRIOR) && ctrl && !alt) {
        if (HWND tab = PageControlFor(focus)) {
            TurnPage(tab, msg.wParam == VK_PRIOR);
            return KeyOutcome::Handled;
        }
    }
    if (keyDown && msg.wParam == VK_ESCAPE && !IsOpenDropDown(focus)) {
        PressEscape();
        return KeyOutcome::Handled;
    }
    if (keyDown && msg.wParam == VK_RETURN && !alt && !IsOpenDropDown(focus) &&
        !(DialogCode(focus, &msg) & DLGC_WANTMESSAGE)) {
        PressEnter(focus);
        return KeyOutcome::Handled;
    }
    if (focus && CapturesKeys(focus)) {
        return KeyOutcome::DispatchOnly;
    }
    if (keyDown && msg.wParam == VK_F1 && !ctrl && !alt && !shift) {
        // Windows asks a window for help with WM_HELP; the same message serves every window here.
        HELPINFO info{};
        info.cbSize = sizeof info;
        info.iContextType = HELPINFO_WINDOW;
        HWND about = focus ? focus : hwnd_;
        info.hItemHandle = about;
        info.iCtrlId = GetDlgCtrlID(about);
        GetCursorPos(&info.MousePos);
        SendMessageW(hwnd_, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        return KeyOutcome::Handled;
    }
    const bool mnemonicChar =
        msg.message == WM_SYSCHAR ||
        (msg.message == WM_CHAR && !(DialogCode(focus, &msg) & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)));
    if (mnemonicChar && PressMnemonic(static_cast<wchar_t>(msg.wParam))) {
        return KeyOutcome::Handled;
    }
    return KeyOutcome::DialogManager;
}

HWND TForm::NextTabStop(HWND from, bool backward) const {
    // A focused part of a control (the edit of a combo box) stands for the control.
    while (from && GetParent(from) != hwnd_) {
        from = GetParent(from);
    }
    const auto count = static_cast<ptrdiff_t>(tabOrder_.size());
    auto at = std::find(tabOrder_.begin(), tabOrder_.end(), from);
    ptrdiff_t index = at == tabOrder_.end() ? (backward ? count : -1) : at - tabOrder_.begin();
    for (ptrdiff_t step = 1; step <= count; ++step) {
        ptrdiff_t next = ((index + (backward ? -step : step)) % count + count) % count;
        if (IsTabStop(tabOrder_[static_cast<size_t>(next)])) {
            return tabOrder_[static_cast<size_t>(next)];
        }
    }
    return nullptr;
}

void TForm::MoveFocus(HWND to) {
    if (!to) {
        return;
    }
    // An entry field's text is selected so typing replaces it; a read-only one (the progress log)
    // keeps its text unselected, there is nothing to replace.
    if ((DialogCode(to) & DLGC_HASSETSEL) && !(GetWindowLongW(to, GWL_STYLE) & ES_READONLY)) {
        SendMessageW(to, EM_SETSEL, 0, -1);
    }
    SetFocus(to);
    ShowDefaultButton(to);
}

// As in a dialog box: a focused push button is the default one, otherwise the window's default.
void TForm::ShowDefaultButton(HWND focus) {
    HWND wanted =
        focus && IsChild(hwnd_, focus) && IsPushButton(focus) ? focus : (defaultId_ ? Control(defaultId_) : nullptr);
    for (HWND control : tabOrder_) {
        if (!IsPushButton(control)) {
            continue;
        }
        bool isDefault = (StyleOf(control) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        if (isDefault != (control == wanted)) {
            SendMessageW(control, BM_SETSTYLE, control == wanted ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
        }
    }
}

void TForm::PressEnter(HWND focus) {
    HWND button = focus && IsPushButton(focus) ? focus : (defaultId_ ? Control(defaultId_) : nullptr);
    if (button && Usable(button)) {
        SendMessageW(button, BM_CLICK, 0, 0);
    }
}

void TForm::PressEscape() {
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(Control(IDCANCEL)));
}

// A button's mnemonic clicks it (a check box or radio button takes the focus too); a label's
// mnemonic focuses the control after it.
bool TForm::PressMnemonic(wchar_t letter) {
    const wint_t wanted = std::towupper(static_cast<wint_t>(letter));
    for (HWND control : tabOrder_) {
        if (!Usable(control) || !TakesMnemonic(control)) {
            continue;
        }
        wchar_t mnemonic = MnemonicOf(CaptionOf(control));
        if (mnemonic == 0 || std::towupper(static_cast<wint_t>(mnemonic)) != wanted) {
            continue;
        }
        if (IsClass(control, WC_STATICW)) {
            auto at = std::find(tabOrder_.begin(), tabOrder_.end(), control) + 1;
            if (at == tabOrder_.end() || !IsTabStop(*at)) {
                continue; // the field it names is disabled
            }
            MoveFocus(*at);
        } else {
            if (!IsPushButton(control)) {
                MoveFocus(control);
            }
            SendMessageW(control, BM_CLICK, 0, 0);
        }
        return true;
    }
    return false;
}

// Turns to the next page as a click on its tab would; a focus left on the page that went is moved
// to the tabs.
void TForm::TurnPage(HWND tab, bool backward) {
    auto count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
    if (count <= 0) {
        return;
    }
    auto current = static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0));
    int next = ((current + (backward ? -1 : 1)) % count + count) % count;
    SendMessageW(tab, TCM_SETCURFOCUS, static_cast<WPARAM>(next), 0);
    // A focused control that is hidden hands the focus to the window itself.
    HWND focus = GetFocus();
    if (!focus || !IsChild(hwnd_, focus) || !IsWindowVisible(focus)) {
        MoveFocus(tab);
    }
}

void TForm::SaveFocus() {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) {
        savedFocus_ = focus;
    }
}

bool TForm::RestoreFocus() {
    if (savedFocus_ && IsWindow(savedFocus_) && IsChild(hwnd_, savedFocus_) && Usable(savedFocus_)) {
        SetFocus(savedFocus_);
        return true;
    }
    HWND first = NextTabStop(nullptr, false);
    if (first) {
        MoveFocus(first);
    }
    return first != nullptr;
}

// The messages a dialog box answers for the dialog manager and for its controls, and the focus
// kept while the window is inactive.
std::optional<LRESULT> TForm::KeyboardMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NEXTDLGCTL:
        if (LOWORD(lParam)) {
            MoveFocus(reinterpret_cast<HWND>(wParam));
        } else {
            MoveFocus(NextTabStop(GetFocus(), wParam != 0));
        }
        return 0;
    case DM_GETDEFID:
        return defaultId_ ? MAKELRESULT(defaultId_, DC_HASDEFID) : 0;
    case DM_SETDEFID:
        SetDefaultButton(static_cast<int>(wParam));
        return TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            SaveFocus();
        } else if (!HIWORD(wParam) && RestoreFocus()) {
            return 0;
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}
