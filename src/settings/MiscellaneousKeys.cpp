// The keyboard fields of the Miscellaneous dialog: the two hotkey capture fields, whose text is
// only ever what their key handlers build, and the passes field.
#include "settings/MiscellaneousForm.h"

#include "ui/ControlSubclass.h"
#include "platform/WindowText.h"
#include "settings/MiscellaneousRules.h"

#include <commctrl.h>

namespace {

bool KeyHeld(int virtualKey) { return GetKeyState(virtualKey) < 0; }

} // namespace

void TFrmMiscellaneous::SubclassFields() {
    auto hotkeyField = [this](HWND field, UINT msg, WPARAM wParam, LPARAM lParam) {
        return HotkeyFieldMessage(field, msg, wParam, lParam);
    };
    SubclassControl(Control(IDC_EDT_STEALTHKEY), hotkeyField);
    SubclassControl(Control(IDC_EDT_BOSSKEY), hotkeyField);
    SubclassControl(Control(IDC_EDT_TIMES), [this](HWND field, UINT msg, WPARAM wParam, LPARAM lParam) {
        return EdtTimesMessage(field, msg, wParam, lParam);
    });
}

std::optional<LRESULT> TFrmMiscellaneous::HotkeyFieldMessage(HWND field, UINT msg, WPARAM wParam, LPARAM) {
    const bool stealth = GetDlgCtrlID(field) == IDC_EDT_STEALTHKEY;
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        stealth ? EdtStealthKeyKeyDown(static_cast<UINT>(wParam)) : EdtBossKeyKeyDown(static_cast<UINT>(wParam));
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        stealth ? EdtStealthKeyKeyUp(static_cast<UINT>(wParam)) : EdtBossKeyKeyUp(static_cast<UINT>(wParam));
        return 0;
    case WM_MOUSEMOVE:
        stealth ? EdtStealthKeyMouseMove() : EdtBossKeyMouseMove();
        return std::nullopt;
    case WM_SETFOCUS:
        CaptureEnter(field);
        return std::nullopt;
    case WM_KILLFOCUS:
        CaptureExit(field);
        return std::nullopt;
    // Typing, pasting and editing would put other text into the field.
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_DEADCHAR:
    case WM_SYSDEADCHAR:
    case WM_IME_CHAR:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
        return 0;
    default:
        return std::nullopt;
    }
}

void TFrmMiscellaneous::EdtStealthKeyKeyDown(UINT key) { CaptureKeyDown(IDC_EDT_STEALTHKEY, key); }
void TFrmMiscellaneous::EdtBossKeyKeyDown(UINT key) { CaptureKeyDown(IDC_EDT_BOSSKEY, key); }
void TFrmMiscellaneous::EdtStealthKeyKeyUp(UINT key) { CaptureKeyUp(IDC_EDT_STEALTHKEY, key); }
void TFrmMiscellaneous::EdtBossKeyKeyUp(UINT key) { CaptureKeyUp(IDC_EDT_BOSSKEY, key); }

void TFrmMiscellaneous::EdtStealthKeyMouseMove() {
    if (GetFocus() != Control(IDC_EDT_STEALTHKEY)) {
        SetFocus(Control(IDC_EDT_STEALTHKEY));
    }
}

void TFrmMiscellaneous::EdtBossKeyMouseMove() {
    if (GetFocus() != Control(IDC_EDT_BOSSKEY)) {
        SetFocus(Control(IDC_EDT_BOSSKEY));
    }
}

void TFrmMiscellaneous::CaptureKeyDown(int fieldId, UINT key) {
    HWND field = Control(fieldId);
    SetWindowTextUtf8(field, HotkeyTextOnKeyDown(key, KeyHeld(VK_CONTROL), KeyHeld(VK_SHIFT), KeyHeld(VK_MENU)));
    SendMessageW(field, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    KeepSettledText(field);
}

void TFrmMiscellaneous::CaptureKeyUp(int fieldId, UINT key) {
    HWND field = Control(fieldId);
    std::string text = WindowText(field);
    std::string after = HotkeyTextOnKeyUp(text, key);
    if (after != text) {
        SetWindowTextUtf8(field, after);
    }
    KeepSettledText(field);
}

void TFrmMiscellaneous::KeepSettledText(HWND field) {
    std::string text = WindowText(field);
    if (text.empty() || text.back() != '+') {
        (field == Control(IDC_EDT_STEALTHKEY) ? settledStealthKey_ : settledBossKey_) = text;
    }
}

void TFrmMiscellaneous::CaptureEnter(HWND field) { KeepSettledText(field); }

void TFrmMiscellaneous::CaptureExit(HWND field) {
    std::string text = WindowText(field);
    if (!text.empty() && text.back() == '+') {
        SetWindowTextUtf8(field, field == Control(IDC_EDT_STEALTHKEY) ? settledStealthKey_ : settledBossKey_);
    }
}

std::optional<LRESULT> TFrmMiscellaneous::EdtTimesMessage(HWND field, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CHAR:
        if (!IsPassesFieldCharacter(static_cast<wchar_t>(wParam))) {
            MessageBeep(0);
            return 0;
        }
        return std::nullopt;
    case WM_KEYDOWN:
        if (wParam == VK_UP || wParam == VK_DOWN) {
            EdtTimesStep(wParam == VK_UP ? 1 : -1);
            return 0;
        }
        // The edit control would hand Enter on to the window's default button.
        if (wParam == VK_RETURN) {
            return 0;
        }
        return std::nullopt;
    case WM_GETDLGCODE: {
        // Enter reaches the field, which refuses it, instead of the window.
        LRESULT code = DefaultControlProc(field, msg, wParam, lParam);
        const auto* message = reinterpret_cast<const MSG*>(lParam);
        if (message && (message->message == WM_KEYDOWN || message->message == WM_CHAR) &&
            message->wParam == VK_RETURN) {
            code |= DLGC_WANTMESSAGE;
        }
        return code;
    }
    case WM_SETFOCUS: {
        LRESULT result = DefaultControlProc(field, msg, wParam, lParam);
        EdtTimesEnter();
        return result;
    }
    default:
        return std::nullopt;
    }
}

void TFrmMiscellaneous::EdtTimesEnter() { SendMessageW(Control(IDC_EDT_TIMES), EM_SETSEL, 0, -1); }

void TFrmMiscellaneous::EdtTimesStep(int delta) {
    HWND field = Control(IDC_EDT_TIMES);
    SetWindowTextUtf8(field, StepPassesText(WindowText(field), delta));
    SendMessageW(field, EM_SETSEL, 0, -1);
}
