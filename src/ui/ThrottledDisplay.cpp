#include "ui/ThrottledDisplay.h"

#include <algorithm>
#include <utility>

ThrottledDisplay::~ThrottledDisplay() { StopTimer(); }

void ThrottledDisplay::Update(std::function<void()> show) {
    if (!shownOnce_ || GetTickCount() - lastShown_ >= intervalMs_) {
        kept_ = nullptr;
        StopTimer();
        ShowNow(show);
        return;
    }
    kept_ = std::move(show);
    // The timer's id is this object, so the callback finds it without a table.
    if (!timerSet_ && owner_ && SetTimer(owner_, reinterpret_cast<UINT_PTR>(this), intervalMs_, &TimerFired)) {
        timerSet_ = true;
    }
}

void ThrottledDisplay::Flush() {
    StopTimer();
    if (kept_) {
        std::function<void()> show = std::move(kept_);
        kept_ = nullptr;
        ShowNow(show);
    }
}

void ThrottledDisplay::Drop() {
    StopTimer();
    kept_ = nullptr;
}

void ThrottledDisplay::ShowNow(const std::function<void()>& show) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    show();
    QueryPerformanceCounter(&end);
    lastShown_ = GetTickCount();
    shownOnce_ = true;
    auto costMs = static_cast<DWORD>((end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart);
    intervalMs_ = std::max(kIntervalMs, kCostFactor * costMs);
}

void ThrottledDisplay::StopTimer() {
    if (timerSet_) {
        KillTimer(owner_, reinterpret_cast<UINT_PTR>(this));
        timerSet_ = false;
    }
}

void CALLBACK ThrottledDisplay::TimerFired(HWND, UINT, UINT_PTR id, DWORD) {
    reinterpret_cast<ThrottledDisplay*>(id)->Flush();
}
