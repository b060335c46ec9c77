// Running displays repaint at most ten times a second, yet always end on the latest state.
#include "platform/Messages.h"
#include "ui/ThrottledDisplay.h"

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

    // Lets window messages run, as a wipe does between its passes, until the condition holds; false
    // when it has not within 10 s.
    template <typename Condition> static bool RunMessagesUntil(Condition condition) {
        const DWORD start = GetTickCount();
        while (!condition()) {
            if (GetTickCount() - start > 10000) {
                return false;
            }
            ProcessMessages();
            Sleep(5);
        }
        return true;
    }

    // Lets window messages run until a timer of this test's own, set now with the display's interval,
    // has fired: by then any timer the display set earlier would have fired too.
    void RunMessagesPastTheInterval(const ThrottledDisplay& display) {
        ownTimerFired = false;
        const UINT_PTR id = SetTimer(window_, 1, display.IntervalMs(), MarkOwnTimerFired);
        ASSERT_NE(id, 0u);
        EXPECT_TRUE(RunMessagesUntil([] { return ownTimerFired; }));
        KillTimer(window_, id);
    }
    static void CALLBACK MarkOwnTimerFired(HWND, UINT, UINT_PTR, DWORD) { ownTimerFired = true; }
    static inline bool ownTimerFired = false;

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
    ASSERT_TRUE(RunMessagesUntil([this] { return shown_.size() > 1; })) << "the kept update never showed";
    EXPECT_EQ(shown_, (std::vector<int>{1, 3})) << "the latest kept update shows once the interval has passed";
}

TEST_F(ThrottledDisplayTest, AfterTheIntervalTheNextUpdateShowsAtOnce) {
    ThrottledDisplay display(window_);
    Show(display, 1);
    Sleep(display.IntervalMs() + 20);
    Show(display, 2);
    EXPECT_EQ(shown_, (std::vector<int>{1, 2}));
}

// Where showing is slow, updates come rarer, so that showing stays a small share of the time.
TEST_F(ThrottledDisplayTest, ASlowDisplayIsShownLessOften) {
    // The second update must come after the usual interval yet before the slow display's own, which a
    // machine busy enough to stall this thread for half a second can spoil: the case is then tried again.
    bool cameInBetween = false;
    for (int attempt = 0; attempt < 5 && !cameInBetween; ++attempt) {
        shown_.clear();
        ThrottledDisplay display(window_);
        display.Update([this] {
            Sleep(30);
            shown_.push_back(1);
        });
        const DWORD shownAt = GetTickCount();
        EXPECT_GE(display.IntervalMs(), 500u) << "a display that took 30 ms waits about 600 ms for the next";
        Sleep(ThrottledDisplay::kIntervalMs + 50);
        Show(display, 2);
        cameInBetween = GetTickCount() - shownAt < display.IntervalMs();
        if (cameInBetween) {
            EXPECT_EQ(shown_, std::vector<int>{1}) << "an update within the slow display's interval is kept";
            ASSERT_TRUE(RunMessagesUntil([this] { return shown_.size() > 1; })) << "the kept update never showed";
            EXPECT_EQ(shown_, (std::vector<int>{1, 2})) << "and still shows the latest state then";
        }
    }
    EXPECT_TRUE(cameInBetween) << "the machine never let the case happen";
}

TEST_F(ThrottledDisplayTest, ADroppedUpdateIsNeverShown) {
    ThrottledDisplay display(window_);
    Show(display, 1);
    Show(display, 2);
    display.Drop();
    RunMessagesPastTheInterval(display);
    display.Flush();
    EXPECT_EQ(shown_, std::vector<int>{1});
}

} // namespace
