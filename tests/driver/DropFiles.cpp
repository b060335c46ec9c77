#include "driver/DropFiles.h"

#include <shlobj.h>

std::unique_ptr<RemoteMemory> DropFilesOn(HWND window, const std::vector<std::string>& paths) {
    std::wstring names;
    for (const std::string& path : paths) {
        names += Widen(path);
        names.push_back(L'\0');
    }
    names.push_back(L'\0');
    DROPFILES header{};
    header.pFiles = sizeof header;
    header.fWide = TRUE;
    const size_t namesBytes = names.size() * sizeof(wchar_t);
    auto memory = std::make_unique<RemoteMemory>(window, sizeof header + namesBytes);
    if (!memory->Ready() || !memory->Write(0, &header, sizeof header) ||
        !memory->Write(sizeof header, names.data(), namesBytes)) {
        return nullptr;
    }
    if (!PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory->At(0)), 0)) {
        return nullptr;
    }
    return memory;
}
