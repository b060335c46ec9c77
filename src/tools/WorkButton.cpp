#include "tools/WorkButton.h"

#include "platform/WindowText.h"

void WorkButton::SetBusy(bool busy) {
    busy_ = busy;
    offersStop_ = busy;
    EnableWindow(button_, TRUE);
    SetWindowTextUtf8(button_, busy ? stopCaption_ : startCaption_);
}

void WorkButton::WithdrawStop() {
    offersStop_ = false;
    SetWindowTextUtf8(button_, startCaption_);
    EnableWindow(button_, FALSE);
}

void WorkButton::RunBusy(HWND& window, const std::function<void()>& work, const std::function<void()>& idle) {
    struct IdleAgain {
        WorkButton& button;
        HWND& window;
        const std::function<void()>& idle;
        ~IdleAgain() {
            if (button.busy_ && window) {
                idle();
            }
            button.busy_ = false;
            button.offersStop_ = false;
        }
    } idleAgain{*this, window, idle};
    work();
}

bool WorkButton::TakeWhileBusy(UINT msg, bool& stopRequested, const std::function<void()>& closeQuery) const {
    if (!busy_) {
        return false;
    }
    if (msg == WM_CLOSE) {
        closeQuery();
        return true;
    }
    if (msg == WM_DESTROY) {
        stopRequested = true;
    }
    return false;
}
