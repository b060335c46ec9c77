#include "app/BossKey.h"

#include "platform/WindowList.h"

std::vector<std::string> BossKeyClassNames;
bool BossWindowsHidden = false;

namespace {

bool IsBuddyList(HWND window) {
    return WindowCaptionOf(window, kWindowTextBufferChars).find(kBuddyListTitlePart) != std::string::npos;
}

} // namespace

BOOL CALLBACK BossKeyWindowProc(HWND window, LPARAM count) {
    try {
        std::string className = WindowClassNameOf(window, kWindowTextBufferChars);
        size_t considered = count > 0 ? static_cast<size_t>(count) : 0;
        if (considered > BossKeyClassNames.size()) {
            considered = BossKeyClassNames.size();
        }
        for (size_t i = 0; i < considered; ++i) {
            const std::string& entry = BossKeyClassNames[i];
            if (className != entry) {
                continue;
            }
            if (entry == kDialogWindowClass && !IsBuddyList(window)) {
                continue;
            }
            ShowAnyWindow(window, BossWindowsHidden ? SW_HIDE : SW_SHOW);
        }
    } catch (...) {
        // Out of memory for one window's name: that window is left as it is, the others still follow.
    }
    return TRUE;
}
