// Every window of the real Quorvale.exe, opened through its buttons, at 96 DPI and at 150 % and
// 200 %: the client area is the design's size scaled by the DPI, no control overlaps another or
// leaves its window, no caption is clipped, the list columns fit their lists and the list entries
// keep their fixed height, scaled.
#include "driver/LayoutCheck.h"
#include "driver/WindowTour.h"
#include "platform/Files.h"
#include "platform/Handle.h"
#include "platform/Registry.h"
#include "settings/ListPairForm.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace {

constexpr const char* kDesktopKey = "Control Panel\\Desktop";

// Sets the screen DPI that Wine gives every process started from now on (a running one keeps
// the DPI it started with); the value found is put back at the end.
class ScreenDpiSetting {
public:
    explicit ScreenDpiSetting(DWORD dpi) {
        RegKey key = CreateRegKey(HKEY_CURRENT_USER, kDesktopKey);
        saved_ = GetRegDword(key.get(), "LogPixels");
        EXPECT_TRUE(SetRegDword(key.get(), "LogPixels", dpi));
    }
    ~ScreenDpiSetting() {
        RegKey key = CreateRegKey(HKEY_CURRENT_USER, kDesktopKey);
        if (saved_) {
            SetRegDword(key.get(), "LogPixels", *saved_);
        } else {
            DeleteRegValue(key.get(), "LogPixels");
        }
    }
    ScreenDpiSetting(const ScreenDpiSetting&) = delete;
    ScreenDpiSetting& operator=(const ScreenDpiSetting&) = delete;

private:
    std::optional<DWORD> saved_;
};

class EveryWindowAtDpi : public testing::TestWithParam<int> {};

TEST_P(EveryWindowAtDpi, HasItsScaledClientSizeAndNoOverlappingOrClippedControl) {
    const int dpi = GetParam();
    ScreenDpiSetting setting(static_cast<DWORD>(dpi));
    PhysicalPixelsScope physical;
    QuorvaleApp app(kTourOptionsIni);
    ASSERT_TRUE(AddTourPlugins(app)) << "no sample plug-ins in QUORVALE_PACKAGE_DIR";
    app.Start();
    ASSERT_NE(app.WaitMainWindow(), nullptr);

    std::vector<std::string> visited;
    std::string why;
    bool toured = TourWindows(
        app, dpi, false,
        [&](const TourStop& stop) {
            SCOPED_TRACE(stop.name);
            visited.push_back(stop.name);
            SIZE client = ClientSizeOf(stop.window);
            EXPECT_EQ(client.cx, MulDiv(stop.designClient.cx, dpi, 96));
            EXPECT_EQ(client.cy, MulDiv(stop.designClient.cy, dpi, 96));
            for (const std::string& problem : LayoutProblems(stop.window, dpi, stop.fonts)) {
                ADD_FAILURE() << problem;
            }
            for (int list : {TFrmListPair::IDC_LIST_LEFT, TFrmListPair::IDC_LIST_RIGHT}) {
                HWND control = GetDlgItem(stop.window, list);
                if (control && WindowClassName(control) == "ListBox") {
                    EXPECT_EQ(SendMessageW(control, LB_GETITEMHEIGHT, 0, 0), MulDiv(kListPairItemHeight, dpi, 96));
                }
            }
        },
        why);
    EXPECT_TRUE(toured) << why;
    // Every window and every page was looked at.
    EXPECT_EQ(visited.size(), 23u);
    // ... and each has its picture in the screenshots and the gallery, so no window is left out.
    const char* screenshots = std::getenv("QUORVALE_SCREENSHOTS_DIR");
    ASSERT_NE(screenshots, nullptr) << "QUORVALE_SCREENSHOTS_DIR names docs/screenshots";
    const std::string folder = WindowsPathOf(screenshots);
    const std::string gallery = ReadFileText(folder + "\\README.md");
    for (const std::string& name : visited) {
        EXPECT_TRUE(FileExists(folder + "\\" + name + ".png")) << name << " has no screenshot";
        EXPECT_NE(gallery.find("(" + name + ".png)"), std::string::npos) << name << " is not in the gallery";
    }
}

INSTANTIATE_TEST_SUITE_P(Layout, EveryWindowAtDpi, testing::Values(96, 144, 192),
                         [](const testing::TestParamInfo<int>& info) { return std::to_string(info.param) + "Dpi"; });

} // namespace
