// The progress log as the engine sees it: lines are appended, or the last line is replaced by
// the running result line. The main window's log control implements it; tests record into one.
#pragma once

#include <string_view>

class ProgressLog {
public:
    virtual ~ProgressLog() = default;
    virtual void AppendLine(std::string_view line) = 0;
    // Replaces the last line; on an empty log the line is appended.
    virtual void ReplaceLastLine(std::string_view line) = 0;
};

// A log no one reads: a run that only its results matter for.
class UnseenLog : public ProgressLog {
public:
    void AppendLine(std::string_view) override {}
    void ReplaceLastLine(std::string_view) override {}
};
