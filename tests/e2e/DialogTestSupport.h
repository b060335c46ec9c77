// What the end-to-end tests of the settings dialogs share: opening a dialog from the main window,
// waiting for it to go, and reading "Options.ini" back.
#pragma once

#include "driver/DialogDriver.h"
#include "driver/QuorvaleDriver.h"
#include "platform/WindowText.h"
#include "platform/Registry.h"
#include "settings/RunValue.h"
#include "store/OptionsStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Presses a button of an open window and waits for the window (of that class and caption) it opens.
inline HWND OpenWindowFrom(const QuorvaleApp& app, HWND from, std::string_view button, const wchar_t* className,
                           std::string_view caption) {
    EXPECT_TRUE(app.PressButton(from, button)) << "no button " << button;
    HWND window = app.WaitWindow(className, caption);
    EXPECT_NE(window, nullptr) << "the window \"" << caption << "\" did not open";
    return window;
}

// Starts the copy and opens a window from a button of its main window; nullptr, with a failure,
// when either does not come up.
inline HWND StartAndOpen(QuorvaleApp& app, std::string_view button, const wchar_t* className,
                         std::string_view caption) {
    app.Start();
    if (!app.WaitMainWindow()) {
        ADD_FAILURE() << "the main window did not come up";
        return nullptr;
    }
    return OpenWindowFrom(app, app.MainWindow(), button, className, caption);
}

// Clicks a control of the window that opens another window, and waits for that one.
inline HWND OpenWindowByClick(const QuorvaleApp& app, HWND control, const wchar_t* className,
                              std::string_view caption) {
    ClickControl(control);
    HWND window = app.WaitWindow(className, caption);
    EXPECT_NE(window, nullptr) << "the window \"" << caption << "\" did not open";
    return window;
}

// Presses the button and waits until the window has gone.
inline bool CloseWith(const QuorvaleApp& app, HWND window, std::string_view button) {
    EXPECT_TRUE(app.PressButton(window, button)) << "no button " << button;
    return WaitUntil([&] { return !IsWindow(window); }, 10000);
}

// Moves another process's top-level window so its top left corner is at the screen's.
inline void MoveToScreenCorner(HWND window) {
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    WaitUntil(
        [&] {
            RECT rect{};
            GetWindowRect(window, &rect);
            return rect.left == 0 && rect.top == 0;
        },
        5000);
}

// Whether the window's centre is the other window's centre (to a pixel of rounding).
inline bool CentredOn(HWND window, HWND on) {
    RECT a{};
    RECT b{};
    GetWindowRect(window, &a);
    GetWindowRect(on, &b);
    return std::abs((a.left + a.right) - (b.left + b.right)) <= 2 &&
           std::abs((a.top + a.bottom) - (b.top + b.bottom)) <= 2;
}

// The window's client area in design pixels, given the screen's DPI.
inline SIZE DesignClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    int dpi = ScreenDpi();
    return {MulDiv(client.right, 96, dpi), MulDiv(client.bottom, 96, dpi)};
}

inline std::vector<std::string> SectionOf(const QuorvaleApp& app, std::string_view section) {
    return OptionsStore(app.OptionsPath()).GetSectionEntries(section);
}

// The "Quorvale" Run value under HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER; nullopt when there is none.
inline std::optional<std::string> RunValueIn(HKEY root) {
    RegKey key = OpenRegKey(root, kRunKeyPath);
    return key ? GetRegString(key.get(), kRunValueName) : std::nullopt;
}

inline void PutRunValue(HKEY root, const std::optional<std::string>& data) {
    RegKey key = CreateRegKey(root, kRunKeyPath);
    ASSERT_TRUE(key);
    if (data) {
        ASSERT_TRUE(SetRegString(key.get(), kRunValueName, *data));
    } else {
        DeleteRegValue(key.get(), kRunValueName);
    }
}

// The Run values of the machine and of the user as a test found them, put back when it ends.
class RunValuesRestore {
public:
    RunValuesRestore() : machine_(RunValueIn(HKEY_LOCAL_MACHINE)), user_(RunValueIn(HKEY_CURRENT_USER)) {}
    ~RunValuesRestore() {
        PutRunValue(HKEY_LOCAL_MACHINE, machine_);
        PutRunValue(HKEY_CURRENT_USER, user_);
    }

    const std::optional<std::string>& Machine() const { return machine_; }

private:
    std::optional<std::string> machine_;
    std::optional<std::string> user_;
};
