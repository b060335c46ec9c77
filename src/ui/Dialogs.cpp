#include "ui/Dialogs.h"

#include "platform/Text.h"

#include <shlobj.h>

namespace {

// Room for thousands of chosen names; the dialog reports FNERR_BUFFERTOOSMALL beyond that.
constexpr size_t kOpenBufferChars = 256 * 1024;

std::wstring FilterForDialog(std::string_view filter) {
    std::wstring wide = Widen(filter);
    for (auto& c : wide) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    wide.push_back(L'\0');
    wide.push_back(L'\0');
    return wide;
}

// The NUL-ended strings of the buffer up to the empty one that ends it.
std::vector<std::wstring_view> NulSeparatedParts(std::wstring_view buffer) {
    std::vector<std::wstring_view> parts;
    size_t start = 0;
    while (start < buffer.size()) {
        size_t end = buffer.find(L'\0', start);
        if (end == std::wstring_view::npos) {
            end = buffer.size();
        }
        if (end == start) {
            break;
        }
        parts.push_back(buffer.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

} // namespace

std::vector<std::string> PathsFromOpenDialogBuffer(std::wstring_view buffer) {
    std::vector<std::wstring_view> parts = NulSeparatedParts(buffer);
    std::vector<std::string> paths;
    if (parts.size() == 1) {
        paths.push_back(Narrow(parts.front()));
        return paths;
    }
    if (parts.empty()) {
        return paths;
    }
    std::wstring folder(parts.front());
    if (folder.back() != L'\\') {
        folder += L'\\';
    }
    for (size_t i = 1; i < parts.size(); ++i) {
        paths.push_back(Narrow(folder + std::wstring(parts[i])));
    }
    return paths;
}

std::vector<std::string> ChooseFilesToOpen(HWND owner, std::string_view title, std::string_view filter, DWORD options) {
    std::wstring wideTitle = Widen(title);
    std::wstring wideFilter = FilterForDialog(filter);
    std::wstring buffer(kOpenBufferChars, L'\0');

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = wideFilter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size() - 1);
    ofn.lpstrTitle = wideTitle.c_str();
    ofn.Flags = options | OFN_EXPLORER;
    if (!GetOpenFileNameW(&ofn)) {
        return {};
    }
    return PathsFromOpenDialogBuffer(buffer);
}

std::string ChooseFolder(HWND owner, std::string_view title) {
    const std::wstring wideTitle = Widen(title);
    wchar_t name[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pszDisplayName = name;
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (!chosen) {
        return std::string();
    }
    wchar_t path[MAX_PATH] = {};
    const bool found = SHGetPathFromIDListW(chosen, path) != FALSE;
    CoTaskMemFree(chosen);
    return found ? Narrow(path) : std::string();
}
