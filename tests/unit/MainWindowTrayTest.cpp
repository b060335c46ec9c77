// The main window and the notification area, with the main window in this test's process: what it
// sends the notification area at start-up, and its tray menu read from the menu itself (another
// process cannot read a menu under Wine).
#include "app/MainForm.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "store/OptionsStore.h"
#include "support/TestWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

std::vector<std::string> captionsRead;

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM found) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (std::wstring(className) == L"#32768" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Runs inside the menu's own loop: reads the open menu's entries, then closes it.
void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND menuWindow = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindMenuWindow, reinterpret_cast<LPARAM>(&menuWindow));
    if (!menuWindow) {
        return; // not up yet; the next tick looks again
    }
    KillTimer(nullptr, timer);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        captionsRead.push_back(Narrow(text));
    }
    EndMenu();
}

// The user SID value the main window leaves under HKEY_LOCAL_MACHINE, put back as it was.
class StoredSidRestore {
public:
    StoredSidRestore() {
        RegKey key = OpenRegKey(HKEY_LOCAL_MACHINE, kKey);
        saved_ = key ? GetRegString(key.get(), "SID") : std::nullopt;
    }
    ~StoredSidRestore() {
        RegKey key = CreateRegKey(HKEY_LOCAL_MACHINE, kKey);
        if (key && saved_) {
            SetRegString(key.get(), "SID", *saved_);
        } else if (key) {
            DeleteRegValue(key.get(), "SID");
        }
    }

private:
    static constexpr const char* kKey = "Software\\Quorvale";
    std::optional<std::string> saved_;
};

// The program's main window in this process, with Options.ini beside this test program holding the
// given text while it lives (the file as it was is put back afterwards).
class MainWindowHere {
public:
    explicit MainWindowHere(const std::string& optionsIni) {
        hadOptions_ = ReadWholeFile(OptionsFilePath(), savedOptions_);
        WriteWholeFile(OptionsFilePath(), optionsIni);
        applicationWindow_ = CreateWindowExW(0, L"STATIC", L"Quorvale", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                             GetModuleHandleW(nullptr), nullptr);
        main_ = std::make_unique<TFrmMain>(applicationWindow_, std::vector<std::string>{});
    }
    ~MainWindowHere() {
        main_->Close();
        main_.reset();
        // Closing the main window ends its program's message loop; this test's process goes on.
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        DestroyWindow(applicationWindow_);
        if (hadOptions_) {
            WriteWholeFile(OptionsFilePath(), savedOptions_);
        } else {
            DeleteFileAt(OptionsFilePath());
        }
    }
    HWND Handle() const { return main_->Handle(); }

private:
    StoredSidRestore sid_;
    bool hadOptions_ = false;
    std::string savedOptions_;
    HWND applicationWindow_ = nullptr;
    std::unique_ptr<TFrmMain> main_;
};

TEST(TrayMenu, ReadsEraseNowShowMainWindowHelpExit) {
    MainWindowHere main("");
    captionsRead.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 100, ReadOpenMenu);
    ASSERT_NE(timer, 0u);
    // As a right click on the icon: returns once the menu has closed.
    SendMessageW(main.Handle(), WM_TRAYICON, kTrayIconId, WM_RBUTTONDOWN);
    KillTimer(nullptr, timer);
    EXPECT_EQ(captionsRead, (std::vector<std::string>{"Erase Now", "Show Main Window", "Help", "Exit"}));
}

// Stands in front of Wine's notification area (the shell hands its requests to the first window of
// the tray's class) and notes which requests came for which window.
class NotificationAreaWatch {
public:
    NotificationAreaWatch() {
        window_ = CreateTestWindow(L"Shell_TrayWnd", Receive, WS_EX_TOPMOST, WS_POPUP, nullptr);
        requests.clear();
    }
    ~NotificationAreaWatch() {
        DestroyWindow(window_);
        UnregisterClassW(L"Shell_TrayWnd", GetModuleHandleW(nullptr));
    }
    bool Watching() const { return window_ != nullptr && FindWindowW(L"Shell_TrayWnd", nullptr) == window_; }

    static inline std::vector<std::pair<HWND, DWORD>> requests; // the icon's window, NIM_ADD / NIM_DELETE / ...

private:
    static LRESULT CALLBACK Receive(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_COPYDATA) {
            requests.emplace_back(reinterpret_cast<HWND>(wParam), reinterpret_cast<COPYDATASTRUCT*>(lParam)->dwData);
            return TRUE;
        }
        return DefWindowProcW(window, msg, wParam, lParam);
    }
    HWND window_ = nullptr;
};

TEST(TrayIconAtStartUp, IsAddedUnlessInStealthModeWhenNothingAtAllIsSent) {
    const struct {
        const char* options;
        std::vector<DWORD> requests;
    } cases[] = {
        {"", {NIM_ADD}},
        {"[Miscellaneous]\r\nStealthMode=1\r\n", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        NotificationAreaWatch watch;
        ASSERT_TRUE(watch.Watching());
        MainWindowHere main(c.options);
        std::vector<DWORD> requests;
        for (const auto& [window, request] : NotificationAreaWatch::requests) {
            if (window == main.Handle()) {
                requests.push_back(request);
            }
        }
        EXPECT_EQ(requests, c.requests);
    }
}

} // namespace
