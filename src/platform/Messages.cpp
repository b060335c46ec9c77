#include "platform/Messages.h"

#include "platform/Text.h"

#include <algorithm>

namespace {

MessageFilter installedFilter = nullptr;

} // namespace

void SetMessageFilter(MessageFilter filter) { installedFilter = filter; }

void DispatchLoopMessage(MSG& msg) {
    if (installedFilter && installedFilter(msg)) {
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

int RunMessageLoop() {
    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0 && got != -1) {
        DispatchLoopMessage(msg);
    }
    return got == 0 ? static_cast<int>(msg.wParam) : 1;
}

void ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        DispatchLoopMessage(msg);
    }
}

bool WaitLettingMessagesRun(HANDLE object, DWORD timeoutMs) {
    constexpr DWORD kSliceMs = 50;
    const DWORD start = GetTickCount();
    for (;;) {
        ProcessMessages();
        DWORD elapsed = GetTickCount() - start;
        DWORD slice = elapsed >= timeoutMs ? 0 : std::min(kSliceMs, timeoutMs - elapsed);
        if (object) {
            if (WaitForSingleObject(object, slice) == WAIT_OBJECT_0) {
                return true;
            }
        } else {
            Sleep(slice);
        }
        if (slice == 0) {
            return false;
        }
    }
}

int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT flags) {
    return MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), flags);
}
