// Entry of the test build of Quorvale.exe (QuorvaleTestBuild.exe), which only the end-to-end tests
// run. It is the shipped program with two seams, both for things a test cannot wait for or survive:
//   - ExitWindowsEx is never called: each call's flags, and whether the shutdown privilege was
//     enabled at that moment, are appended to "ExitWindowsEx.txt" beside the program (under Wine a
//     forced shutdown kills every process of the test prefix);
//   - "/test-schedule-ms:N" (taken out of the arguments) makes the schedule timer tick every N ms
//     instead of every 15 minutes or more; "/test-schedule-divisor:N" keeps the chosen interval but
//     divides it by N, so that a test sees which choice armed the timer.
// The shipped program's entry (src/app/Main.cpp) contains neither, so nothing in a user's command
// line or environment can reach them.
#include "app/Application.h"
#include "platform/ThisProcess.h"
#include "platform/Files.h"
#include "platform/Power.h"

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

constexpr const char* kScheduleSwitch = "/test-schedule-ms:";
constexpr const char* kScheduleDivisorSwitch = "/test-schedule-divisor:";

// The number after a switch that starts the argument, or nullopt when it does not.
std::optional<UINT> SwitchNumber(const std::string& argument, const char* name) {
    if (argument.rfind(name, 0) != 0) {
        return std::nullopt;
    }
    return static_cast<UINT>(std::strtoul(argument.c_str() + std::strlen(name), nullptr, 10));
}

bool RecordExitWindows(UINT flags) {
    std::string path = ExecutableDir() + "ExitWindowsEx.txt";
    std::string record;
    ReadWholeFile(path, record);
    record += "flags=" + std::to_string(flags) +
              " privilege=" + (TokenPrivilegeEnabled("SeShutdownPrivilege") ? "enabled" : "disabled") + "\r\n";
    WriteWholeFile(path, record);
    return true;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    DivertExitWindows(RecordExitWindows);
    TestBuildSeams seams;
    std::vector<std::string> arguments;
    for (const std::string& argument : CommandLineArguments()) {
        if (auto interval = SwitchNumber(argument, kScheduleSwitch)) {
            seams.scheduleIntervalMs = *interval;
        } else if (auto divisor = SwitchNumber(argument, kScheduleDivisorSwitch)) {
            seams.scheduleDivisor = *divisor;
        } else {
            arguments.push_back(argument);
        }
    }
    return RunApplication(arguments, seams);
}
