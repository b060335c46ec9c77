#include "platform/Environment.h"

#include "platform/Files.h"
#include "platform/Text.h"

#include <windows.h>

std::string ExpandEnvironmentText(std::string_view text) {
    std::wstring source = Widen(text);
    DWORD needed = ExpandEnvironmentStringsW(source.c_str(), nullptr, 0);
    if (needed == 0) {
        return std::string(text);
    }
    std::wstring expanded(needed, L'\0');
    DWORD got = ExpandEnvironmentStringsW(source.c_str(), expanded.data(), needed);
    if (got == 0 || got > needed) {
        return std::string(text);
    }
    expanded.resize(got - 1);
    return Narrow(expanded);
}

std::string FolderOfVariable(const std::string& reference) {
    std::string folder = ExpandEnvironmentText(reference);
    if (folder.empty() || folder == reference) {
        return {};
    }
    return WithTrailingBackslash(folder);
}
