// Shows the latest of a quick stream of display updates (a running result line, a pass label) at
// most every interval, so that painting never slows the work it reports on. An update that comes
// too soon is kept; it is shown when the next one is due, by Flush, or by a timer of the owner
// window once the interval has passed (timers fire while the work lets window messages run).
#pragma once

#include <windows.h>

#include <functional>

class ThrottledDisplay {
public:
    static constexpr DWORD kIntervalMs = 100;

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

private:
    static void CALLBACK TimerFired(HWND window, UINT message, UINT_PTR id, DWORD time);
    void ShowNow(const std::function<void()>& show);
    void StopTimer();

    HWND owner_;
    std::function<void()> kept_;
    DWORD lastShown_ = 0;
    bool shownOnce_ = false;
    bool timerSet_ = false;
};
