// The forced shutdown and restart with ExitWindowsEx diverted (the real call would end the test
// prefix).
#include "app/Shutdown.h"
#include "engine/SystemInfo.h"
#include "platform/Power.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char* kShutdownPrivilege = "SeShutdownPrivilege";

// Records the diverted ExitWindowsEx calls, and whether the privilege was on at each.
struct ExitWindowsCall {
    UINT flags;
    bool privilegeEnabled;
    bool operator==(const ExitWindowsCall& o) const {
        return flags == o.flags && privilegeEnabled == o.privilegeEnabled;
    }
};
std::vector<ExitWindowsCall> exitWindowsCalls;

bool RecordExitWindows(UINT flags) {
    exitWindowsCalls.push_back({flags, TokenPrivilegeEnabled(kShutdownPrivilege)});
    return true;
}

void SetShutdownPrivilege(bool enabled) {
    HANDLE raw = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw));
    KernelHandle token(raw);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    ASSERT_TRUE(LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid));
    privileges.Privileges[0].Attributes = enabled ? SE_PRIVILEGE_ENABLED : 0;
    ASSERT_TRUE(AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr));
    ASSERT_EQ(TokenPrivilegeEnabled(kShutdownPrivilege), enabled);
}

class ForcedEndOfSession : public ::testing::Test {
protected:
    void SetUp() override {
        exitWindowsCalls.clear();
        DivertExitWindows(RecordExitWindows);
        SetShutdownPrivilege(false);
    }
    void TearDown() override {
        DivertExitWindows(nullptr);
        SetShutdownPrivilege(false);
    }
};

TEST_F(ForcedEndOfSession, EnableShutdownPrivilegeEnablesItInTheToken) {
    EnableShutdownPrivilege();
    EXPECT_TRUE(TokenPrivilegeEnabled(kShutdownPrivilege));
    EXPECT_TRUE(exitWindowsCalls.empty());
}

TEST_F(ForcedEndOfSession, OnTheNtFamilyThePrivilegeIsEnabledBeforeTheCall) {
    ASSERT_EQ(GetOSFamily(), "NewWinNT");
    ForceShutdown();
    SetShutdownPrivilege(false);
    ForceRestart();
    EXPECT_EQ(exitWindowsCalls, (std::vector<ExitWindowsCall>{{5, true}, {6, true}}));
}

TEST_F(ForcedEndOfSession, TheRealCallIsMadeOnlyWithoutADiversion) {
    // Flags 0 would be a plain log-off request; with the diversion nothing reaches Windows.
    EXPECT_TRUE(ExitWindowsWithFlags(EWX_LOGOFF));
    EXPECT_EQ(exitWindowsCalls, (std::vector<ExitWindowsCall>{{EWX_LOGOFF, false}}));
}

// The helper program under another Windows version, run as "force-shutdown" or "force-restart":
// it prints one line per diverted call and exits with the number of calls.
class ForcedEndOfSessionByFamily : public ::testing::Test {
protected:
    const std::string appKey = "Software\\Wine\\AppDefaults\\QvTestHelper.exe";
    void UseWindowsVersion(const char* wineVersion) {
        RegKey key = CreateRegKey(HKEY_CURRENT_USER, appKey);
        ASSERT_TRUE(key);
        ASSERT_TRUE(SetRegString(key.get(), "Version", wineVersion));
    }
    void TearDown() override { DeleteRegTree(HKEY_CURRENT_USER, appKey); }
    static std::string Helper(const char* command) {
        return "\"" + TestProgramFolder() + "QvTestHelper.exe\" " + command;
    }
};

TEST_F(ForcedEndOfSessionByFamily, EachFamilyGetsItsPathToExitWindowsEx) {
    const struct {
        const char* wineVersion;
        const char* command;
        const char* calls;
    } cases[] = {
        {"winxp", "force-shutdown", "flags=5 privilege=enabled\r\n"},
        {"winxp", "force-restart", "flags=6 privilege=enabled\r\n"},
        {"nt40", "force-shutdown", "flags=5 privilege=enabled\r\n"},
        {"win98", "force-shutdown", "flags=5 privilege=disabled\r\n"},
        {"win98", "force-restart", "flags=6 privilege=disabled\r\n"},
    };
    for (const auto& c : cases) {
        UseWindowsVersion(c.wineVersion);
        EXPECT_EQ(RunAndCapture(Helper(c.command)), c.calls) << c.wineVersion << " " << c.command;
    }
}

struct BoxSearch {
    DWORD processId;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[16] = L"";
    wchar_t title[64] = L"";
    GetClassNameW(window, className, 16);
    GetWindowTextW(window, title, 64);
    if (owner == search->processId && lstrcmpW(className, L"#32770") == 0 && lstrcmpW(title, search->caption) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A message box of the process with the caption; nullptr when none came up within 10 s.
HWND WaitMessageBoxOf(DWORD processId, const wchar_t* caption) {
    BoxSearch search{processId, caption, nullptr};
    for (int i = 0; i < 200 && !search.found; ++i) {
        EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&search));
        Sleep(50);
    }
    return search.found;
}

TEST_F(ForcedEndOfSessionByFamily, AnUnknownVersionGetsTheMessageOnceAndNoCall) {
    for (const char* command : {"force-shutdown", "force-restart"}) {
        UseWindowsVersion("win31"); // 3.10 belongs to no family
        ChildProcess helper(Helper(command));
        HWND box = WaitMessageBoxOf(helper.Id(), L"Information");
        ASSERT_NE(box, nullptr) << command;
        wchar_t text[128] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, 128);
        EXPECT_EQ(Narrow(text), kUnsupportedWindowsText);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        // Exit code: the number of ExitWindowsEx calls. A second message would keep the helper waiting.
        EXPECT_EQ(helper.Wait(10000), 0u) << command;
    }
}

} // namespace
