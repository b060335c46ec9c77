#include "platform/Shell.h"

#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace {

// ShellExecuteW with UTF-8 arguments; true when it started what was asked.
bool ShellExecuteUtf8(std::string_view verb, std::string_view file, const std::wstring& parameters,
                      std::string_view workingFolder, int show) {
    const std::wstring wideVerb = Widen(verb);
    const std::wstring wideFolder = Widen(workingFolder);
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
        nullptr, verb.empty() ? nullptr : wideVerb.c_str(), Widen(file).c_str(),
        parameters.empty() ? nullptr : parameters.c_str(), wideFolder.empty() ? nullptr : wideFolder.c_str(), show));
    return result > 32;
}

} // namespace

bool ShellOpen(std::string_view verb, std::string_view file, std::string_view workingFolder, int show) {
    return ShellExecuteUtf8(verb, file, L"", workingFolder, show);
}

bool OpenHelpTopic(std::string_view helpFile, std::string_view page) {
    // One quoted argument: the file's path may hold spaces; "::/" names the page inside it.
    return ShellExecuteUtf8("open", "hh.exe", L"\"" + Widen(helpFile) + L"::/" + Widen(page) + L"\"", "",
                            SW_SHOWNORMAL);
}

bool NotifyTrayIcon(DWORD message, NOTIFYICONDATAA& record) { return Shell_NotifyIconA(message, &record) != FALSE; }

#include <shlobj.h>

namespace {

bool IsFullPath(const std::string& path) {
    const bool drive = path.size() >= 3 && path[1] == ':' && path[2] == '\\' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return drive || (path.size() > 2 && path.compare(0, 2, "\\\\") == 0);
}

// What the environment reference names, or where it is not set the shell's special folder; "" when
// neither names a full path.
std::string UserFolder(const char* reference, int csidl) {
    std::string folder = FolderOfVariable(reference);
    if (folder.empty()) {
        folder = SpecialFolderPath(csidl);
        if (!folder.empty()) {
            folder = WithTrailingBackslash(folder);
        }
    }
    return IsFullPath(folder) ? folder : std::string();
}

} // namespace

std::string AppDataFolder() { return UserFolder("%AppData%", CSIDL_APPDATA); }

std::string LocalAppDataFolder() { return UserFolder("%LocalAppData%", CSIDL_LOCAL_APPDATA); }

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

std::vector<std::string> TakeDroppedPaths(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        if (length > 0 && DragQueryFileW(drop, i, path.data(), length + 1) == length) {
            path.resize(length);
            paths.push_back(Narrow(path));
        }
    }
    DragFinish(drop);
    return paths;
}
