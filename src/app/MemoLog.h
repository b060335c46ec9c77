// The progress log control of the main window (a read-only multi-line edit) as a ProgressLog.
#pragma once

#include "engine/ProgressLog.h"
#include "ui/ThrottledDisplay.h"

#include <windows.h>

#include <string>

class MemoLog : public ProgressLog {
public:
    MemoLog() = default;
    // Takes the edit control; lifts its text limit so long runs are never cut off.
    void Attach(HWND edit);

    void Clear();
    void AppendLine(std::string_view line) override;
    // The running line is repainted at most ten times a second; the latest one is always shown
    // before the next line is appended, so the log's text ends the same as if every one were.
    void ReplaceLastLine(std::string_view line) override;
    // Shows a running line still kept back, now.
    void Flush();
    // Gives the control the focus (after a tool window closes).
    void Focus() const;

private:
    void ReplaceFrom(int charIndex, std::string_view text);
    void ReplaceLastLineNow(std::string_view line);

    HWND edit_ = nullptr;
    int lineCount_ = 0;
    ThrottledDisplay runningLine_;
};
