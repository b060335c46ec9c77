#include "platform/UserAccount.h"

#include "platform/Text.h"

#include <windows.h>

#include <lmcons.h>

std::string CurrentUserName() {
    wchar_t name[UNLEN + 1] = {};
    DWORD size = UNLEN + 1;
    if (!GetUserNameW(name, &size) || size == 0) {
        return {};
    }
    return Narrow(std::wstring_view(name, size - 1));
}
