// A progress log for tests: keeps the lines, and every line ever appended or replaced in order.
#pragma once

#include "engine/ProgressLog.h"

#include <string>
#include <vector>

class RecordingLog : public ProgressLog {
public:
    void AppendLine(std::string_view line) override {
        lines.emplace_back(line);
        history.push_back("+" + std::string(line));
    }
    void ReplaceLastLine(std::string_view line) override {
        if (lines.empty()) {
            lines.emplace_back(line);
        } else {
            lines.back() = std::string(line);
        }
        history.push_back("=" + std::string(line));
    }

    std::vector<std::string> lines;   // the log as it stands
    std::vector<std::string> history; // "+line" for each append, "=line" for each replacement
};
