// Shows the latest of a quick stream of display updates (a running result line, a pass label) at
// most ten times a second, and less often where showing one is slow (a text control under some
// systems takes tens of milliseconds), so that the display never takes more than a small share
// of the work it reports on. An update that comes too soon is kept; it is shown when the next one
// is due, by Flush, or by a timer of the owner window once the interval has passed (timers fire
// while the work lets window messages run).
#pragma once

#include <windows.h>

#include <functional>

class ThrottledDisplay {
public:
    // The shortest interval between two updates shown.
    static constexpr DWORD kIntervalMs = 100;
    // The interval is at least this many times what showing the last update took.
    static constexpr DWORD kCostFactor = 20;

    // owner: the window whose timer shows a kept update late; it must outlive this object.
    explicit ThrottledDisplay(HWND owner = nullptr) : owner_(owner) {}
    ~ThrottledDisplay();
    ThrottledDisplay(const ThrottledDisplay&) = delete;
    ThrottledDisplay& operator=(const ThrottledDisplay&) = delete;

    void SetOwner(HWND owner) { owner_ = owner; }
    // Shows the update now when the interval since the last one shown has passed, else keeps it
    // (replacing any kept before).
    void Update(std::function<void()> show);
    // Shows the kept update, if any, now.
    void Flush();
    // Forgets the kept update (what it showed is about to be replaced anyway).
    void Drop();
    // The interval in force: at least kIntervalMs, more where showing the last update was slow.
    DWORD IntervalMs() const { return intervalMs_; }

private:
    static void CALLBACK TimerFired(HWND window, UINT message, UINT_PTR id, DWORD time);
    void ShowNow(const std::function<void()>& show);
    void StopTimer();

    HWND owner_;
    std::function<void()> kept_;
    DWORD lastShown_ = 0;
    DWORD intervalMs_ = kIntervalMs;
    bool shownOnce_ = false;
    bool timerSet_ = false;
};
