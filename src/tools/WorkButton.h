// The button of a tool window that starts its work and stops it while the work runs (the File
// Shredder's, the Drive Washer's). The window's busy state is kept here, not read back from the
// button's caption.
#pragma once

#include <windows.h>

#include <functional>

class WorkButton {
public:
    WorkButton(const char* startCaption, const char* stopCaption)
        : startCaption_(startCaption), stopCaption_(stopCaption) {}
    void Attach(HWND button) { button_ = button; }

    bool Busy() const { return busy_; }
    // Whether a click now asks to stop: the work runs and Stop has not been taken back.
    bool OffersStop() const { return busy_ && offersStop_; }

    // Busy: the button says Stop and can be clicked. Idle: it says Start again.
    void SetBusy(bool busy);
    // Takes the Stop offer back once a stop is asked for: the button says Start and stays disabled
    // until the work has ended, so no second run can start inside the first.
    void WithdrawStop();

    // Runs work with the window busy, and makes it idle again (idle, while the window is still
    // there) however the work ends, by return or by exception.
    void RunBusy(HWND& window, const std::function<void()>& work, const std::function<void()>& idle);

    // A busy window's close and destroy messages: WM_CLOSE goes to closeQuery (which stops the
    // work; the window closes once it has ended) and is taken (true); WM_DESTROY from outside (the
    // owner went) sets the stop flag so that no further pass is written, and goes on to the form.
    bool TakeWhileBusy(UINT msg, bool& stopRequested, const std::function<void()>& closeQuery) const;

private:
    HWND button_ = nullptr;
    const char* startCaption_;
    const char* stopCaption_;
    bool busy_ = false;
    bool offersStop_ = false;
};
