#include "app/MemoLog.h"

#include "ui/ControlSubclass.h"

#include "platform/Text.h"

void MemoLog::Attach(HWND edit) {
    edit_ = edit;
    runningLine_.SetOwner(edit);
    SendMessageW(edit_, EM_SETLIMITTEXT, 0, 0);
    // Nothing can be typed into the log: it has no caret (the edit makes one whenever it takes the
    // focus), while its text can still be selected and copied.
    SubclassControl(edit_, [](HWND control, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (msg != WM_SETFOCUS) {
            return std::nullopt;
        }
        LRESULT result = DefaultControlProc(control, msg, wParam, lParam);
        DestroyCaret();
        return result;
    });
    lineCount_ = GetWindowTextLengthW(edit_) > 0 ? static_cast<int>(SendMessageW(edit_, EM_GETLINECOUNT, 0, 0)) : 0;
}

void MemoLog::Clear() {
    runningLine_.Drop();
    SetWindowTextW(edit_, L"");
    lineCount_ = 0;
}

// Lines are separated by CR LF, with none after the last. After each change the caret goes to
// the start of the last line, so the control shows its last line from the left edge.
void MemoLog::ReplaceFrom(int charIndex, std::string_view text) {
    std::wstring wide = Widen(text);
    SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(charIndex), -1);
    SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
    auto last = SendMessageW(edit_, EM_GETLINECOUNT, 0, 0) - 1;
    auto lastStart = SendMessageW(edit_, EM_LINEINDEX, static_cast<WPARAM>(last), 0);
    SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(lastStart), lastStart);
    SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
}

void MemoLog::AppendLine(std::string_view line) {
    runningLine_.Flush();
    std::string text = lineCount_ > 0 ? "\r\n" + std::string(line) : std::string(line);
    ReplaceFrom(GetWindowTextLengthW(edit_), text);
    ++lineCount_;
}

void MemoLog::ReplaceLastLine(std::string_view line) {
    runningLine_.Update([this, text = std::string(line)] { ReplaceLastLineNow(text); });
}

void MemoLog::ReplaceLastLineNow(std::string_view line) {
    if (lineCount_ == 0) {
        AppendLine(line);
        return;
    }
    auto last = SendMessageW(edit_, EM_GETLINECOUNT, 0, 0) - 1;
    auto start = SendMessageW(edit_, EM_LINEINDEX, static_cast<WPARAM>(last), 0);
    ReplaceFrom(static_cast<int>(start), line);
}

void MemoLog::Flush() { runningLine_.Flush(); }

void MemoLog::Focus() const { SetFocus(edit_); }
