#include "tools/WashRate.h"

#include <cmath>
#include <cstdio>

bool WashRate::Sample(int64_t bytesWritten, uint32_t elapsedMs) {
    const uint32_t span = elapsedMs - lastMs_;
    if (span < kSampleSpanMs || bytesWritten < lastBytes_) {
        return false;
    }
    const double stretch = static_cast<double>(bytesWritten - lastBytes_) * 1000.0 / span;
    rate_ = rate_ ? *rate_ * (1.0 - kNewWeight) + stretch * kNewWeight : stretch;
    lastBytes_ = bytesWritten;
    lastMs_ = elapsedMs;
    return true;
}

std::optional<double> WashRate::BytesPerSecond() const { return rate_; }

std::optional<int64_t> WashRate::SecondsLeft(int64_t bytesLeft) const {
    if (!rate_ || *rate_ < 1.0) {
        return std::nullopt;
    }
    return static_cast<int64_t>(std::ceil(static_cast<double>(bytesLeft > 0 ? bytesLeft : 0) / *rate_));
}

std::string ThroughputText(double bytesPerSecond) {
    constexpr double kKilo = 1024.0, kMega = kKilo * 1024.0, kGiga = kMega * 1024.0;
    char text[32];
    if (bytesPerSecond >= kGiga) {
        std::snprintf(text, sizeof text, "%.1f GB/s", bytesPerSecond / kGiga);
    } else if (bytesPerSecond >= kMega) {
        std::snprintf(text, sizeof text, "%.1f MB/s", bytesPerSecond / kMega);
    } else {
        std::snprintf(text, sizeof text, "%.0f KB/s", bytesPerSecond / kKilo);
    }
    return text;
}

std::string TimeLeftText(int64_t seconds) {
    const int64_t hours = seconds / 3600, minutes = seconds % 3600 / 60, rest = seconds % 60;
    std::string text;
    if (hours > 0) {
        text = std::to_string(hours) + " h " + std::to_string(minutes) + " min";
    } else if (minutes >= 10) {
        text = std::to_string(minutes) + " min";
    } else if (minutes > 0) {
        text = std::to_string(minutes) + " min " + std::to_string(rest) + " s";
    } else {
        text = std::to_string(rest) + " s";
    }
    return "About " + text + " left";
}
