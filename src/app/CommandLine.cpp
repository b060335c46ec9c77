#include "app/CommandLine.h"

#include "app/MainForm.h"
#include "engine/EraseRun.h"
#include "engine/WipeMethods.h"
#include "platform/Files.h"
#include "platform/Handle.h"
#include "platform/Text.h"
#include "store/OptionsStore.h"
#include "tools/ShredderRules.h"

#include <windows.h>

namespace {

// The progress log as shown, and a copy of its lines for the log file of an unattended run.
class LogTranscript : public ProgressLog {
public:
    explicit LogTranscript(ProgressLog& shown) : shown_(shown) {}
    void AppendLine(std::string_view line) override {
        lines_.emplace_back(line);
        shown_.AppendLine(line);
    }
    void ReplaceLastLine(std::string_view line) override {
        if (lines_.empty()) {
            lines_.emplace_back(line);
        } else {
            lines_.back() = std::string(line);
        }
        shown_.ReplaceLastLine(line);
    }
    std::string Text() const {
        std::string text;
        for (const std::string& line : lines_) {
            text += line + "\r\n";
        }
        return text;
    }

private:
    ProgressLog& shown_;
    std::vector<std::string> lines_;
};

} // namespace

std::optional<CommandRequest> ParseCommand(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return std::nullopt;
    }
    std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (EqualsNoCase(arguments.front(), "/erase")) {
        return CommandRequest{rest.size() <= 1 ? CommandRequest::Erase : CommandRequest::Usage, rest};
    }
    if (EqualsNoCase(arguments.front(), "/preview")) {
        return CommandRequest{rest.size() == 1 ? CommandRequest::Preview : CommandRequest::Usage, rest};
    }
    if (EqualsNoCase(arguments.front(), "/shredder")) {
        return CommandRequest{CommandRequest::ShredderWindow, rest};
    }
    if (EqualsNoCase(arguments.front(), "/shred")) {
        return CommandRequest{rest.empty() ? CommandRequest::Usage : CommandRequest::Shred, rest};
    }
    for (const char* help : {"/?", "-h", "/help"}) {
        if (EqualsNoCase(arguments.front(), help)) {
            return CommandRequest{CommandRequest::Help, {}};
        }
    }
    // Windows writes the start-up word itself; whatever its case, the window starts (only the exact
    // word arms the start-up erase).
    if (EqualsNoCase(arguments.front(), "/startup")) {
        return std::nullopt;
    }
    // A mistyped switch of a scheduled task must not start a window that nobody sees.
    const char first = arguments.front().empty() ? '\0' : arguments.front().front();
    if (first == '/' || first == '-') {
        return CommandRequest{CommandRequest::UnknownSwitch, {arguments.front()}};
    }
    return std::nullopt;
}

int AnswerHelpRequest(const CommandRequest& request) {
    if (request.kind == CommandRequest::UnknownSwitch) {
        SayOnConsole(kUnknownSwitchText + request.paths.front());
    }
    SayOnConsole(kUsageText);
    SayOnConsole(kExitCodesText);
    return request.kind == CommandRequest::Help ? kExitAllErased : kExitNotRun;
}

void SayOnConsole(const std::string& text) {
    static HANDLE output = [] {
        HANDLE handed = GetStdHandle(STD_OUTPUT_HANDLE);
        if (handed && handed != INVALID_HANDLE_VALUE) {
            return handed; // redirected to a file or a pipe by whoever started the program
        }
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
            return INVALID_HANDLE_VALUE;
        }
        return CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    }();
    if (output == INVALID_HANDLE_VALUE) {
        return;
    }
    std::string line = text + "\r\n";
    DWORD written = 0;
    WriteFile(output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

int ShredFromCommandLine(const std::vector<std::string>& files) {
    const ShredderSettings settings = ReadShredderSettings(OptionsStore(OptionsFilePath()));
    TakeNeverEraseList(OptionsFilePath());
    int code = kExitAllErased;
    for (const std::string& named : files) {
        const std::string file = FullPathOf(named);
        std::optional<std::string> why = ShredRefusal(file);
        if (!why) {
            try {
                WipeFileByMethod(file, settings.method, settings.passes);
                if (GetAttributes(file) != INVALID_FILE_ATTRIBUTES) {
                    why = "could not be deleted";
                }
            } catch (const WipeOpenError&) {
                why = kStatusNotWritable;
            }
        }
        if (why) {
            SayOnConsole("Not shredded: " + file + " (" + *why + ")");
            code = kExitNotAllErased;
        } else {
            SayOnConsole("Shredded: " + file);
        }
    }
    return code;
}

int PreviewFromCommandLine(const std::string& file) {
    const std::string path = FullPathOf(file);
    // Made first, so that a preview that cannot be kept is not looked for.
    if (WriteWholeFile(path, "") != ERROR_SUCCESS) {
        SayOnConsole("The preview file " + path + " cannot be written.");
        return kExitNotRun;
    }
    UnseenLog log; // the plan is what the preview is for
    const ErasePreview preview = FindErasePreview(OptionsFilePath(), nullptr, log);
    if (WriteWholeFile(path, PreviewText(preview)) != ERROR_SUCCESS) {
        SayOnConsole("The preview file " + path + " cannot be written.");
        return kExitNotRun;
    }
    SayOnConsole(std::string(kPreviewTotalsText) + " " + preview.summary);
    return kExitAllErased;
}

int EraseFromCommandLine(TFrmMain& main, const std::string& logPath) {
    // The log file is made first: a run whose log cannot be kept does not start.
    if (!logPath.empty() && WriteWholeFile(logPath, "") != ERROR_SUCCESS) {
        SayOnConsole("The log file " + logPath + " cannot be written: nothing was erased.");
        return kExitNotRun;
    }
    LogTranscript transcript(main.Log());
    EraseRunEnd end;
    try {
        // The log file holds the whole account; the window's copy of the log shows it too.
        const std::optional<EraseRunEnd> ran = main.RunErase(transcript, {}, kAllNotErasedLines);
        if (!ran) {
            return kExitNotRun;
        }
        end = *ran;
    } catch (...) {
        // No one is there to read a box: the run counts as not run.
        end.stopped = true;
    }
    main.Log().Flush();
    if (!logPath.empty()) {
        WriteWholeFile(logPath, transcript.Text());
    }
    for (const std::string& line : NotErasedLines(NotErasedEntries, kAllNotErasedLines)) {
        SayOnConsole(line);
    }
    SayOnConsole(end.boxText);
    if (end.stopped) {
        return kExitNotRun;
    }
    return NotErasedEntries.empty() ? kExitAllErased : kExitNotAllErased;
}
