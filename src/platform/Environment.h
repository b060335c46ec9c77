// Environment variables in text ("%AppData%\\Mozilla").
#pragma once

#include <string>
#include <string_view>

// ExpandEnvironmentStringsW with UTF-8 text; names that are not set stay as written.
std::string ExpandEnvironmentText(std::string_view text);

// The folder an environment reference such as "%AppData%" names, ending in a backslash. "" when
// the variable is not set: the reference would stay as written and be taken for a folder below
// the current one.
std::string FolderOfVariable(const std::string& reference);
