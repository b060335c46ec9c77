#include "platform/Shell.h"

#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Text.h"

bool ShellOpen(std::string_view verb, std::string_view file, std::string_view workingFolder, int show) {
    std::wstring wideVerb = Widen(verb);
    auto result =
        reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, verb.empty() ? nullptr : wideVerb.c_str(), Widen(file).c_str(),
                                                nullptr, Widen(workingFolder).c_str(), show));
    return result > 32;
}

bool NotifyTrayIcon(DWORD message, NOTIFYICONDATAA& record) { return Shell_NotifyIconA(message, &record) != FALSE; }

#include <shlobj.h>

std::string SpecialFolderPath(int csidl) {
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list) {
        return {};
    }
    wchar_t path[MAX_PATH] = {};
    BOOL ok = SHGetPathFromIDListW(list, path);
    CoTaskMemFree(list);
    return ok ? Narrow(path) : std::string();
}

std::string LocalAppDataFolder() {
    std::string folder = FolderOfVariable("%LocalAppData%");
    if (folder.empty()) {
        folder = SpecialFolderPath(CSIDL_LOCAL_APPDATA);
        if (!folder.empty()) {
            folder = WithTrailingBackslash(folder);
        }
    }
    return folder;
}
