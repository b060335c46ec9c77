// The drive washer's speed and time left: measured over stretches of time, smoothed, and said in
// words a user reads beside the bar.
#include "tools/WashRate.h"

#include <gtest/gtest.h>

namespace {

constexpr int64_t kMiB = 1024 * 1024;

TEST(WashRate, IsUnknownUntilAFirstStretchIsMeasuredThenTheSpeedOfThatStretch) {
    WashRate rate;
    EXPECT_FALSE(rate.BytesPerSecond());
    EXPECT_FALSE(rate.SecondsLeft(kMiB));
    EXPECT_FALSE(rate.Sample(10 * kMiB, WashRate::kSampleSpanMs - 1)) << "too short a stretch to tell";
    EXPECT_FALSE(rate.BytesPerSecond());
    ASSERT_TRUE(rate.Sample(25 * kMiB, 500));
    ASSERT_TRUE(rate.BytesPerSecond());
    EXPECT_DOUBLE_EQ(*rate.BytesPerSecond(), 50.0 * kMiB);
    // At 50 MiB/s, 120 MiB take 2.4 s: rounded up.
    EXPECT_EQ(rate.SecondsLeft(120 * kMiB), 3);
    EXPECT_EQ(rate.SecondsLeft(0), 0);
    EXPECT_EQ(rate.SecondsLeft(-5), 0) << "more written than was free at the start";
}

TEST(WashRate, ANewStretchMovesTheSpeedOnlyPartOfTheWay) {
    WashRate rate;
    ASSERT_TRUE(rate.Sample(100 * kMiB, 1000)); // 100 MiB/s
    EXPECT_FALSE(rate.Sample(101 * kMiB, 1100)) << "a second estimate within one span";
    ASSERT_TRUE(rate.Sample(120 * kMiB, 2000)); // this stretch: 20 MiB in 1 s
    const double expected = 100.0 * kMiB * (1.0 - WashRate::kNewWeight) + 20.0 * kMiB * WashRate::kNewWeight;
    EXPECT_DOUBLE_EQ(*rate.BytesPerSecond(), expected);
    EXPECT_GT(*rate.BytesPerSecond(), 20.0 * kMiB);
    EXPECT_LT(*rate.BytesPerSecond(), 100.0 * kMiB);
}

TEST(WashRate, AStandStillLeavesTheTimeLeftUnknown) {
    WashRate rate;
    ASSERT_TRUE(rate.Sample(0, 1000)); // a disk that takes nothing
    EXPECT_DOUBLE_EQ(*rate.BytesPerSecond(), 0.0);
    EXPECT_FALSE(rate.SecondsLeft(kMiB));
}

TEST(WashRateText, SpeedsInBinaryUnits) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "0 KB/s"},
        {812.0 * 1024, "812 KB/s"},
        {1024.0 * 1024, "1.0 MB/s"},
        {45.2 * kMiB, "45.2 MB/s"},
        {1023.9 * kMiB, "1023.9 MB/s"},
        {1.3 * 1024 * kMiB, "1.3 GB/s"},
    };
    for (const auto& [speed, text] : cases) {
        EXPECT_EQ(ThroughputText(speed), text) << speed;
    }
}

TEST(WashRateText, TimeLeftInSecondsMinutesAndHours) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "About 0 s left"},          {45, "About 45 s left"},        {60, "About 1 min 0 s left"},
        {80, "About 1 min 20 s left"},  {599, "About 9 min 59 s left"}, {600, "About 10 min left"},
        {759, "About 12 min left"},     {3599, "About 59 min left"},    {3600, "About 1 h 0 min left"},
        {7500, "About 2 h 5 min left"},
    };
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(TimeLeftText(seconds), text) << seconds;
    }
}

} // namespace
