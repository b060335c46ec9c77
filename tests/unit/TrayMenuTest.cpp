// The tray icon's menu as the main window pops it up, read from the menu itself. Another process
// cannot read a menu under Wine, so the main window lives in this test's process for it.
#include "app/UnitFrmMain.h"
#include "platform/Registry.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

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

TEST(TrayMenu, ReadsEraseNowShowMainWindowHelpExit) {
    StoredSidRestore sid;
    HWND applicationWindow = CreateWindowExW(0, L"STATIC", L"Quorvale", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(applicationWindow, nullptr);
    captionsRead.clear();
    {
        TFrmMain main(applicationWindow, {});
        UINT_PTR timer = SetTimer(nullptr, 0, 100, ReadOpenMenu);
        ASSERT_NE(timer, 0u);
        // As a right click on the icon: returns once the menu has closed.
        SendMessageW(main.Handle(), WM_TRAYICON, kTrayIconId, WM_RBUTTONDOWN);
        KillTimer(nullptr, timer);
        main.Close();
    }
    // Closing the main window ends its program's message loop; this test's process goes on.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    DestroyWindow(applicationWindow);
    EXPECT_EQ(captionsRead, (std::vector<std::string>{"Erase Now", "Show Main Window", "Help", "Exit"}));
}

} // namespace
