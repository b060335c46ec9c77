// What the Miscellaneous dialog changes in the running program when OK applies its settings: the
// tray icon (stealth mode) and the schedule timer. The main window implements it.
#pragma once

#include <cstdint>

class RunningProgram {
public:
    virtual bool TrayIconShown() const = 0;
    virtual void ShowTrayIcon(bool show) = 0;
    // Arms or stops the interval timer.
    virtual void SetSchedule(bool enabled, int32_t customInterval) = 0;

protected:
    ~RunningProgram() = default;
};
