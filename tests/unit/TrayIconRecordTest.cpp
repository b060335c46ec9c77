// The notification-icon record the program hands the shell: the first form of the record, whose
// size differs between the 32-bit and the 64-bit build, and which the shell takes in both.
#include "platform/Shell.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The first record is the one every shell since Windows 95 takes: cbSize, hWnd, uID, uFlags,
// uCallbackMessage, hIcon and a 64-character tip, with the handles as wide as the build's pointers
// (in the 64-bit build each handle is aligned to 8 bytes: 4 + 4 + 8 + 4 + 4 + 4 + 4 + 8 + 64).
TEST(TrayIconRecord, HasTheFirstRecordsSizeForThisBuild) {
    EXPECT_EQ(kTrayIconRecordSize, sizeof(void*) == 8 ? 104u : 88u);
    EXPECT_EQ(kTrayIconRecordSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
}

TEST(TrayIconRecord, TheShellAddsChangesAndRemovesAnIconWithIt) {
    HWND window = CreateWindowExW(0, L"STATIC", L"tray record test", 0, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    NOTIFYICONDATAA record{};
    record.cbSize = kTrayIconRecordSize;
    record.hWnd = window;
    record.uID = 7;
    record.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    record.uCallbackMessage = WM_APP + 1;
    record.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    std::strcpy(record.szTip, "Quorvale");
    EXPECT_TRUE(NotifyTrayIcon(NIM_ADD, record));
    std::strcpy(record.szTip, "Quorvale again");
    EXPECT_TRUE(NotifyTrayIcon(NIM_MODIFY, record));
    EXPECT_TRUE(NotifyTrayIcon(NIM_DELETE, record));
    // Gone: a second removal is refused.
    EXPECT_FALSE(NotifyTrayIcon(NIM_DELETE, record));
    DestroyWindow(window);
}

} // namespace
