#include "platform/Clipboard.h"

#include <windows.h>

bool EmptyClipboardContents() {
    if (!OpenClipboard(nullptr)) {
        return false;
    }
    bool emptied = EmptyClipboard() != FALSE;
    CloseClipboard();
    return emptied;
}
