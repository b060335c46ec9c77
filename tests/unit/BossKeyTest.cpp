// The boss key's window callback against real top-level windows of this thread.
#include "app/BossKey.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

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
} // namespace
