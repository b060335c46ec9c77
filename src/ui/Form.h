// The small window framework every window of the program is built on: a base class that routes
// messages to named handlers, controls made from a table, DPI scaling in one place, the modal
// show helper, and the boundary where exceptions are turned into an "Error" box.
#pragma once

#include "platform/Handle.h"

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One control of a window, placed in the design's pixels (96 dots per inch).
struct ControlSpec {
    const wchar_t* className; // WC_BUTTON, WC_EDIT, ...
    const char* caption;
    int id;
    int left, top, width, height;
    DWORD style; // added to WS_CHILD | WS_VISIBLE
    DWORD exStyle = 0;
};

// MainWindow: the outermost visible window of the owner chain, the program's main window for a
// dialog opened from another dialog.
enum class CentreOn { Desktop, Owner, MainWindow };

struct FormSpec {
    const wchar_t* className;
    const char* caption;
    int clientWidth, clientHeight; // design pixels
    DWORD style;
    DWORD exStyle;
    CentreOn centre;
};

class TForm {
public:
    TForm() = default;
    virtual ~TForm();
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    HWND Handle() const { return hwnd_; }
    HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
    int ModalResult() const { return modalResult_; }

    // Closes the window as its title-bar close button would.
    void Close() { SendMessageW(hwnd_, WM_CLOSE, 0, 0); }

    // Shows the window modally: the owner is disabled and a nested message loop runs until the
    // window is destroyed; the owner is enabled again before that. Returns the modal result.
    int ShowModal();

protected:
    // Creates the window (hidden) and centres it. Throws std::runtime_error on failure.
    void CreateForm(const FormSpec& spec, HWND owner);
    void CreateControls(const ControlSpec* specs, size_t count);
    template <size_t N> void CreateControls(const ControlSpec (&specs)[N]) { CreateControls(specs, N); }
    int Scale(int designPixels) const;
    void SetModalResult(int result) { modalResult_ = result; }
    // The button Enter presses when the focus is on no push button; a button created with
    // BS_DEFPUSHBUTTON is the default at first. 0: Enter presses only a focused button.
    void SetDefaultButton(int id);
    // The control that has the focus when the window is first shown; the first one Tab reaches
    // when none is set.
    void SetActiveControl(int id) { savedFocus_ = Control(id); }

    // The page control that Ctrl+Tab and Ctrl+PgDn turn while the focus is on this control; nullptr
    // when there is none.
    virtual HWND PageControlFor(HWND) const { return nullptr; }
    // The page of the help file (help.chm) that F1 opens for this window, e.g. "drive_washer.htm";
    // nullptr: F1 opens nothing.
    virtual const char* HelpPage() const { return nullptr; }
    // Whether the control takes every key itself (a hotkey capture field): only Tab, Esc and Enter
    // keep their meaning in the window then.
    virtual bool CapturesKeys(HWND) const { return false; }

    // Routes one message. This base version decodes the messages every window receives the same
    // way and calls the handlers below; a derived window overrides it only for messages of its own
    // (WM_CLOSE, WM_HOTKEY...) and passes the rest on to it.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    // The decoded messages. Each handler answers whether it handled its message; none does unless
    // a window overrides it. A click (BN_CLICKED, also a menu command and Enter or Esc as IDOK
    // and IDCANCEL) goes to OnButtonClicked; any WM_COMMAND it did not take, to OnCommand.
    virtual bool OnButtonClicked(int /*id*/) { return false; }
    virtual bool OnCommand(int /*id*/, int /*code*/) { return false; }
    virtual std::optional<LRESULT> OnNotify(const NMHDR& /*header*/) { return std::nullopt; }
    virtual bool OnTimer(UINT_PTR /*id*/) { return false; }
    // The brush behind a static's or a button's text; nullptr leaves the window's default.
    virtual HBRUSH OnControlColour(HWND /*control*/, HDC /*dc*/) { return nullptr; }

    HWND hwnd_ = nullptr;

private:
    friend bool TranslateFormMessage(MSG& msg);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static TForm* FromWindow(HWND window);

    // Keyboard use (FormKeys.cpp). Tab walks the controls in the order they were created, whatever
    // their z-order (page controls lie beneath their pages).
    enum class KeyOutcome { Handled, DispatchOnly, DialogManager };
    KeyOutcome TranslateKey(const MSG& msg);
    HWND NextTabStop(HWND from, bool backward) const;
    // Moves the focus as Tab does: an edit's text is selected, a push button becomes the default.
    void MoveFocus(HWND to);
    void ShowDefaultButton(HWND focus);
    void PressEnter(HWND focus);
    void PressEscape();
    bool PressMnemonic(wchar_t letter);
    void TurnPage(HWND tab, bool backward);
    void SaveFocus();
    bool RestoreFocus();
    std::optional<LRESULT> KeyboardMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND modalOwner_ = nullptr;
    bool modal_ = false;
    int modalResult_ = 0;
    int dpi_ = 96;
    Font font_; // goes after the window, in the destructor
    std::vector<HWND> tabOrder_;
    int defaultId_ = 0;
    HWND savedFocus_ = nullptr;
};

// One row of a window's id-to-handler table: the control or command id and what its click calls.
template <typename F> struct ClickRoute {
    int id;
    void (F::*handler)();
};

// Calls the handler the table names for id; false when no row has that id.
template <typename F, size_t N> bool RouteClick(F& form, const ClickRoute<F> (&table)[N], int id) {
    for (const ClickRoute<F>& route : table) {
        if (route.id == id) {
            (form.*route.handler)();
            return true;
        }
    }
    return false;
}

// Creates a window of type F on demand, shows it modally and destroys it; returns its modal result.
template <typename F, typename... Args> int RunModal(HWND owner, Args&&... args) {
    F form(owner, std::forward<Args>(args)...);
    return form.ShowModal();
}

// Opens a page of the help file beside the program in the help viewer; false when it could not be
// started.
bool ShowHelpPage(std::string_view page);

// The application's general error handler: shows the message in an "Error" box.
void ShowApplicationError(std::string_view message);

// Gives a message to the keyboard handling of the form it is for (Tab, Ctrl+Tab, Enter, Esc,
// mnemonics, then the dialog manager); true when it was handled and must not be dispatched again.
// The framework installs it as the message loops' filter (platform/Messages.h) when it registers
// its first window class.
bool TranslateFormMessage(MSG& msg);
