#include "engine/ProgramItems.h"

#include "engine/RunState.h"
#include "gate/ErasePlan.h"
#include "gate/GateActs.h"
#include "gate/SafetyGate.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Processes.h"
#include "platform/Shell.h"
#include "platform/Text.h"

#include <shlobj.h>

#include <optional>

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kListKey = "list";
// What Qt writes for a key that holds no value.
constexpr const char* kQtNoValue = "@Invalid()";

// One line of the file: its text, and where it ends with its line break.
struct TextLine {
    std::string_view text;
    size_t next;
};

TextLine LineAt(std::string_view bytes, size_t start) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
        return {bytes.substr(start), bytes.size()};
    }
    size_t next = end + (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1);
    return {bytes.substr(start, end - start), next};
}

// Whether the line's value goes on in the next line: it ends in an odd run of backslashes.
bool ContinuesOnNextLine(std::string_view text) {
    size_t backslashes = 0;
    while (backslashes < text.size() && text[text.size() - 1 - backslashes] == '\\') {
        ++backslashes;
    }
    return backslashes % 2 == 1;
}

// The section a header line names; nullopt for a line that is no section header.
std::optional<std::string_view> SectionOf(std::string_view text) {
    std::string_view trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() != '[') {
        return std::nullopt;
    }
    trimmed.remove_prefix(1);
    size_t close = trimmed.rfind(']');
    return Trim(close == std::string_view::npos ? trimmed : trimmed.substr(0, close));
}

bool IsCommentOrBlank(std::string_view text) {
    std::string_view trimmed = Trim(text);
    return trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#';
}

} // namespace

std::string RecentMediaResultLine(int64_t count) {
    return std::to_string(count) +
           (count == 1 ? " recent media entry was erased." : " recent media entries were erased.");
}

int64_t RecentMediaCount(std::string_view listValue) {
    std::string_view value = Trim(listValue);
    if (value == kQtNoValue) {
        return 0;
    }
    int64_t count = 0;
    bool quoted = false;
    bool itemHasText = false;
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else {
                itemHasText = true;
                i += c == '\\' ? 1 : 0; // an escaped character, a quote among them
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            count += itemHasText ? 1 : 0;
            itemHasText = false;
        } else if (c != ' ' && c != '\t') {
            itemHasText = true;
        }
    }
    return count + (itemHasText ? 1 : 0);
}

RecentMediaEdit WithoutRecentMedia(std::string_view settings) {
    RecentMediaEdit edit;
    edit.content.reserve(settings.size());
    bool inRecents = false;
    for (size_t start = 0; start < settings.size();) {
        TextLine line = LineAt(settings, start);
        std::string_view text = line.text;
        if (start == 0 && text.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
            text.remove_prefix(kUtf8ByteOrderMark.size());
        }
        if (std::optional<std::string_view> section = SectionOf(text)) {
            inRecents = EqualsNoCase(*section, kVlcRecentsSection);
        } else if (inRecents && !IsCommentOrBlank(text)) {
            // An entry: it goes, with the lines its value continues on.
            const size_t equals = text.find('=');
            const std::string_view key = Trim(text.substr(0, equals));
            std::string value(equals == std::string_view::npos ? std::string_view() : text.substr(equals + 1));
            while (ContinuesOnNextLine(value) && line.next < settings.size()) {
                value.pop_back();
                line = LineAt(settings, line.next);
                value += line.text;
            }
            if (EqualsNoCase(key, kListKey)) {
                edit.media += RecentMediaCount(value);
            }
            edit.changed = true;
            start = line.next;
            continue;
        }
        edit.content.append(settings.substr(start, line.next - start));
        start = line.next;
    }
    return edit;
}

bool VlcRunsForThisUser() {
    std::optional<std::vector<ProcessEntry>> processes = RunningProcesses();
    if (!processes) {
        return false;
    }
    for (const ProcessEntry& process : *processes) {
        if (EqualsNoCase(NameOf(process.exeFile), kVlcProgramName) &&
            OwnerOfProcess(process.id) != ProcessOwner::OtherUser) {
            return true;
        }
    }
    return false;
}

void EraseVlcRecentMedia(ProgressLog& log) {
    const std::string noneErased = kVlcPlaceholderLine;
    const std::string appData = AppDataFolder();
    if (appData.empty()) {
        return;
    }
    const std::string path = appData + kVlcSettingsFile;
    const DWORD attributes = GetAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || KeptByUser(path)) {
        return;
    }
    // Neither read through a link nor opened as a folder.
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) {
        const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        LogRefusal(log, path, folder ? "a folder" : TargetRefusal(path, attributes).value_or("a link"), noneErased);
        return;
    }
    std::optional<int64_t> size = FileSizeByReading(path);
    if (size && *size > kVlcLargestSettingsFile) {
        NoteNotErased(path, kVlcFileTooLargeReason);
        return;
    }
    std::string bytes;
    if (!size || !ReadWholeFile(path, bytes)) {
        NoteNotErased(path, OpenFailureReason(path, GetLastError()));
        return;
    }
    RecentMediaEdit edit = WithoutRecentMedia(bytes);
    if (!edit.changed) {
        return;
    }
    if (VlcRunsForThisUser()) {
        log.ReplaceLastLine(kVlcRunningLine);
        log.AppendLine(noneErased);
        NoteNotErased(path, kVlcRunningReason);
        return;
    }
    RewriteResult result = GateRewriteFile(path, edit.content,
                                           "without its recent media list (" + std::to_string(edit.media) +
                                               (edit.media == 1 ? " entry)" : " entries)"));
    if (result.refusal) {
        LogRefusal(log, path, *result.refusal, noneErased);
        return;
    }
    if (!result.done) {
        NoteNotErased(path, OpenFailureReason(path, result.error));
        return;
    }
    log.ReplaceLastLine(RecentMediaResultLine(edit.media));
}
