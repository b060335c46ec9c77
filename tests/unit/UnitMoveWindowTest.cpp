// The boss key's window callback against real top-level windows of this thread, and the forced
// shutdown and restart with ExitWindowsEx diverted (the real call would end the test prefix).
#include "app/UnitFrmMain.h"
#include "app/UnitMoveWindow.h"
#include "engine/SystemInfo.h"
#include "platform/Power.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

constexpr const char* kShutdownPrivilege = "SeShutdownPrivilege";

const std::string kTarget = "QvBossTarget";
const std::string kOther = "QvBossOther";
// 255 characters: Windows keeps the whole name, the callback reads only the first 254.
const std::string kLongClass(255, 'L');

// Top-level windows of this thread, by name, destroyed at the end of the test.
class TestWindows {
public:
    ~TestWindows() {
        for (auto& [name, window] : windows_) {
            DestroyWindow(window);
        }
    }
    void Add(const std::string& name, const std::string& className, const std::string& title) {
        std::wstring wideClass = Widen(className);
        if (className != kDialogWindowClass) {
            WNDCLASSW wc{};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = wideClass.c_str();
            RegisterClassW(&wc); // fails harmlessly when an earlier case registered it
        }
        // Layered pop-ups: Wine hides them at once, where a framed window waits up to 2 s for the
        // window manager the test display does not have.
        HWND window = CreateWindowExW(WS_EX_LAYERED, wideClass.c_str(), Widen(title).c_str(), WS_POPUP, 0, 0, 100, 100,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window, nullptr) << name;
        ShowWindow(window, SW_SHOWNOACTIVATE);
        windows_[name] = window;
    }
    HWND operator[](const std::string& name) const { return windows_.at(name); }
    std::map<std::string, bool> Visibility() const {
        std::map<std::string, bool> visible;
        for (const auto& [name, window] : windows_) {
            visible[name] = IsWindowVisible(window) != FALSE;
        }
        return visible;
    }

private:
    std::map<std::string, HWND> windows_;
};

// One of each kind of window the callback tells apart.
void AddEveryKind(TestWindows& windows) {
    windows.Add("target", kTarget, "Target");
    windows.Add("target2", kTarget, "Second target");
    windows.Add("other", kOther, "Other");
    windows.Add("buddy list", kDialogWindowClass, "Friends Buddy List Window");
    windows.Add("file dialog", kDialogWindowClass, "Open");
    windows.Add("lower-case title", kDialogWindowClass, "Friends buddy list window");
    windows.Add("no space", kDialogWindowClass, "FriendsBuddy List Window");
    windows.Add("long", kLongClass, "Long class");
}

struct BossCase {
    const char* proves;
    std::vector<std::string> classNames;
    LPARAM count;
    bool hide;
    std::vector<std::string> hiddenBefore;
    std::vector<std::string> hiddenAfter;
};

TEST(BossKeyWindowProc, HidesOrShowsTheWindowsOfTheListedClasses) {
    const BossCase cases[] = {
        {"a listed class is hidden, others are not", {kTarget}, 1, true, {}, {"target", "target2"}},
        {"showing shows also windows hidden before", {kTarget}, 1, false, {"target", "other"}, {"other"}},
        {"a class differing only in case does not match", {"qvbosstarget"}, 1, true, {}, {}},
        {"count 0 considers no entry", {kTarget}, 0, true, {}, {}},
        {"only the first count entries are considered", {kOther, kTarget}, 1, true, {}, {"other"}},
        {"a class listed twice is hidden all the same", {kTarget, kTarget}, 2, true, {}, {"target", "target2"}},
        {"a count beyond the list is harmless", {kOther}, 5, true, {}, {"other"}},
        {"a dialog entry hides only a title with \" Buddy List Window\"",
         {kDialogWindowClass},
         1,
         true,
         {},
         {"buddy list"}},
        {"a dialog entry shows only a buddy list",
         {kDialogWindowClass},
         1,
         false,
         {"buddy list", "file dialog"},
         {"file dialog"}},
        {"only 254 characters of a class name are compared", {kLongClass.substr(0, 254)}, 1, true, {}, {"long"}},
        {"an empty list changes nothing", {}, 0, true, {}, {}},
    };
    for (const auto& c : cases) {
        TestWindows windows;
        AddEveryKind(windows);
        for (const auto& name : c.hiddenBefore) {
            ShowWindow(windows[name], SW_HIDE);
        }
        BossKeyClassNames = c.classNames;
        BossWindowsHidden = c.hide;
        EXPECT_TRUE(EnumWindows(BossKeyWindowProc, c.count)) << c.proves << ": the walk was cut short";

        std::map<std::string, bool> expected = windows.Visibility();
        for (auto& [name, visible] : expected) {
            visible = true;
        }
        for (const auto& name : c.hiddenAfter) {
            expected[name] = false;
        }
        EXPECT_EQ(windows.Visibility(), expected) << c.proves;
    }
    BossKeyClassNames.clear();
    BossWindowsHidden = false;
}

TEST(BossKeyWindowProc, GoesOnAfterEveryWindowMatchedOrNot) {
    TestWindows windows;
    AddEveryKind(windows);
    BossKeyClassNames = {kTarget};
    BossWindowsHidden = true;
    EXPECT_TRUE(BossKeyWindowProc(windows["target"], 1));
    EXPECT_TRUE(BossKeyWindowProc(windows["other"], 1));
    EXPECT_FALSE(IsWindowVisible(windows["target"]));
    BossKeyClassNames.clear();
    BossWindowsHidden = false;
}

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
