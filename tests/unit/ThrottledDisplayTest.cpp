// Running displays repaint at most ten times a second, yet always end on the latest state.
#include "platform/Messages.h"
#include "platform/ThrottledDisplay.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ThrottledDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = CreateWindowExW(0, L"STATIC", L"throttle test", 0, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override { DestroyWindow(window_); }

    // Lets window messages run for a while, as a wipe does between its passes.
    static void RunMessagesFor(DWORD ms) {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            ProcessMessages();
            Sleep(5);
        }
    }

    void Show(ThrottledDisplay& display, int value) {
        display.Update([this, value] { shown_.push_back(value); });
    }

    HWND window_ = nullptr;
    std::vector<int> shown_;
};

TEST_F(ThrottledDisplayTest, AQuickStreamShowsItsFirstAtOnceAndItsLatestOnFlush) {
    ThrottledDisplay display(window_);
    for (int i = 1; i <= 1000; ++i) {
        Show(display, i);
    }
    ASSERT_FALSE(shown_.empty());
    EXPECT_EQ(shown_.front(), 1) << "the first update of a stream is not held back";
    EXPECT_LT(shown_.size(), 10u) << "a thousand updates in a moment must not each be painted";
    display.Flush();
    EXPECT_EQ(shown_.back(), 1000);
    size_t count = shown_.size();
    display.Flush();
    EXPECT_EQ(shown_.size(), count) << "nothing kept, nothing shown again";
}

TEST_F(ThrottledDisplayTest, AKeptUpdateIsShownByTheTimerWhileMessagesRun) {
    ThrottledDisplay display(window_);
    Show(display, 1);
    Show(display, 2);
    Show(display, 3);
    EXPECT_EQ(shown_, std::vector<int>{1});
    RunMessagesFor(400);
    EXPECT_EQ(shown_, (std::vector<int>{1, 3})) << "the latest kept update shows within the interval";
}

TEST_F(ThrottledDisplayTest, AfterTheIntervalTheNextUpdateShowsAtOnce) {
    ThrottledDisplay display(window_);
    Show(display, 1);
    Sleep(ThrottledDisplay::kIntervalMs + 20);
    Show(display, 2);
    EXPECT_EQ(shown_, (std::vector<int>{1, 2}));
}

// Where showing is slow, updates come rarer, so that showing stays a small share of the time.
TEST_F(ThrottledDisplayTest, ASlowDisplayIsShownLessOften) {
    ThrottledDisplay display(window_);
    display.Update([this] {
        Sleep(30);
        shown_.push_back(1);
    });
    Sleep(ThrottledDisplay::kIntervalMs + 50);
    Show(display, 2);
    EXPECT_EQ(shown_, std::vector<int>{1}) << "a display that took 30 ms waits about 600 ms for the next";
    RunMessagesFor(1000);
    EXPECT_EQ(shown_, (std::vector<int>{1, 2})) << "and still shows the latest state then";
}

TEST_F(ThrottledDisplayTest, ADroppedUpdateIsNeverShown) {
    ThrottledDisplay display(window_);
    Show(display, 1);
    Show(display, 2);
    display.Drop();
    RunMessagesFor(300);
    display.Flush();
    EXPECT_EQ(shown_, std::vector<int>{1});
}

} // namespace
