#include "app/CommandLine.h"

#include "engine/EraseRun.h"
#include "engine/WipeMethods.h"
#include "platform/Files.h"
#include "platform/Handle.h"
#include "platform/Text.h"
#include "store/OptionsStore.h"
#include "tools/ShredderRules.h"

#include <windows.h>

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
    if (EqualsNoCase(arguments.front(), "/shred")) {
        return CommandRequest{rest.empty() ? CommandRequest::Usage : CommandRequest::Shred, rest};
    }
    return std::nullopt;
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
