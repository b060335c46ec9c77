// The drive washer's speed and time left, from the bytes written and the time they took: smoothed,
// so that the numbers beside the bar do not jump with every block, and unknown until a first
// stretch of the wash has been measured.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class WashRate {
public:
    // The shortest stretch of time a speed is measured over.
    static constexpr uint32_t kSampleSpanMs = 250;
    // How much a new stretch's speed weighs against the speed so far.
    static constexpr double kNewWeight = 0.3;

    // Takes the bytes written since the wash of the drive started and the milliseconds since then;
    // true when this gave a new estimate (at most one per kSampleSpanMs).
    bool Sample(int64_t bytesWritten, uint32_t elapsedMs);

    // Bytes per second; nullopt until the first stretch has been measured.
    std::optional<double> BytesPerSecond() const;
    // Whole seconds the bytes left take at that speed, rounded up; nullopt while it is unknown, or
    // when nothing is being written.
    std::optional<int64_t> SecondsLeft(int64_t bytesLeft) const;

private:
    std::optional<double> rate_;
    int64_t lastBytes_ = 0;
    uint32_t lastMs_ = 0;
};

// "812 KB/s", "45.2 MB/s", "1.3 GB/s" (binary units, one decimal from MB on).
std::string ThroughputText(double bytesPerSecond);
// "About 45 s left", "About 1 min 20 s left", "About 12 min left", "About 2 h 5 min left".
std::string TimeLeftText(int64_t seconds);
