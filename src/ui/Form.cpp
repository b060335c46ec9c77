#include "ui/Form.h"

#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/Shell.h"
#include "platform/WindowText.h"
#include "platform/Text.h"

#include <commctrl.h>

#include <exception>
#include <stdexcept>

namespace {

void RegisterFormClass(const wchar_t* className, WNDPROC proc) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, className, &existing)) {
        return;
    }
    // From the first window of the framework on, every message loop gives keys to the forms first.
    SetMessageFilter(TranslateFormMessage);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    SetApplicationIcons(wc);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
}

HFONT CreateMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return CreateFontIndirectW(&metrics.lfMessageFont);
    }
    return nullptr;
}

HWND ActiveOwner() {
    HWND active = GetActiveWindow();
    return active ? active : nullptr;
}

} // namespace

TForm::~TForm() {
    if (hwnd_) {
        HWND hwnd = hwnd_;
        DestroyWindow(hwnd);
    }
}

void TForm::CreateForm(const FormSpec& spec, HWND owner) {
    RegisterFormClass(spec.className, &TForm::WindowProc);
    dpi_ = ScreenDpi();
    modalOwner_ = owner;
    RECT rect{0, 0, Scale(spec.clientWidth), Scale(spec.clientHeight)};
    AdjustWindowRectEx(&rect, spec.style, FALSE, spec.exStyle);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;

    HWND centreOn = owner;
    if (spec.centre == CentreOn::MainWindow) {
        for (HWND next = owner ? GetWindow(owner, GW_OWNER) : nullptr; next && IsWindowVisible(next);
             next = GetWindow(next, GW_OWNER)) {
            centreOn = next;
        }
    }
    RECT area;
    if (spec.centre != CentreOn::Desktop && centreOn && IsWindowVisible(centreOn)) {
        GetWindowRect(centreOn, &area);
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    int left = area.left + (area.right - area.left - width) / 2;
    int top = area.top + (area.bottom - area.top - height) / 2;

    HWND created =
        CreateWindowExW(spec.exStyle | WS_EX_CONTROLPARENT, spec.className, Widen(spec.caption).c_str(), spec.style,
                        left, top, width, height, owner, nullptr, GetModuleHandleW(nullptr), this);
    if (!created) {
        throw std::runtime_error("Unable to create the window \"" + std::string(spec.caption) + "\".");
    }
    font_.reset(CreateMessageFont());
}

void TForm::CreateControls(const ControlSpec* specs, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const ControlSpec& c = specs[i];
        HWND control =
            CreateWindowExW(c.exStyle, c.className, Widen(c.caption).c_str(), WS_CHILD | WS_VISIBLE | c.style,
                            Scale(c.left), Scale(c.top), Scale(c.width), Scale(c.height), hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), GetModuleHandleW(nullptr), nullptr);
        if (!control) {
            continue;
        }
        if (font_) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        }
        tabOrder_.push_back(control);
        if (defaultId_ == 0 && std::wstring_view(c.className) == WC_BUTTONW &&
            (c.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            defaultId_ = c.id;
        }
    }
}

int TForm::Scale(int designPixels) const { return MulDiv(designPixels, dpi_, 96); }

int TForm::ShowModal() {
    modal_ = true;
    modalResult_ = 0;
    HWND self = hwnd_;
    if (modalOwner_) {
        EnableWindow(modalOwner_, FALSE);
    }
    ShowWindow(self, SW_SHOW);
    SetForegroundWindow(self);
    MSG msg;
    while (IsWindow(self)) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam));
            }
            break;
        }
        DispatchLoopMessage(msg);
    }
    if (modalOwner_) {
        EnableWindow(modalOwner_, TRUE);
    }
    if (IsWindow(self)) {
        DestroyWindow(self);
    }
    return modalResult_;
}

LRESULT TForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (auto handled = KeyboardMessage(msg, wParam, lParam)) {
        return *handled;
    }
    switch (msg) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        // A static's STN_CLICKED has the same code as BN_CLICKED: what no button takes goes on.
        if ((code == BN_CLICKED && OnButtonClicked(id)) || OnCommand(id, code)) {
            return 0;
        }
        break;
    }
    case WM_NOTIFY:
        if (auto result = OnNotify(*reinterpret_cast<const NMHDR*>(lParam))) {
            return *result;
        }
        break;
    case WM_HELP:
        if (const char* page = HelpPage()) {
            ShowHelpPage(page);
            return TRUE;
        }
        break;
    case WM_TIMER:
        if (OnTimer(wParam)) {
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (HBRUSH brush = OnControlColour(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) {
            return reinterpret_cast<LRESULT>(brush);
        }
        break;
    default:
        break;
    }
    if (msg == WM_CLOSE && modal_ && modalOwner_) {
        // The owner must be enabled before its modal window goes, or Windows activates another program.
        EnableWindow(modalOwner_, TRUE);
        SetActiveWindow(modalOwner_);
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK TForm::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TForm* self;
    if (msg == WM_NCCREATE) {
        self = static_cast<TForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<TForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) {
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        result = self->HandleMessage(msg, wParam, lParam);
    } catch (const std::exception& e) {
        ShowApplicationError(e.what());
    } catch (...) {
        ShowApplicationError("An unexpected error occurred.");
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

TForm* TForm::FromWindow(HWND window) {
    if (!window || GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&TForm::WindowProc)) {
        return nullptr;
    }
    return reinterpret_cast<TForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool ShowHelpPage(std::string_view page) { return OpenHelpTopic(JoinPath(ExecutableDir(), "help.chm"), page); }

void ShowApplicationError(std::string_view message) {
    ShowMessageBox(ActiveOwner(), message, "Error", MB_OK | MB_ICONERROR);
}
