// Environment variables in text ("%AppData%\\Mozilla").
#pragma once

#include <string>
#include <string_view>

// ExpandEnvironmentStringsW with UTF-8 text; names that are not set stay as written.
std::string ExpandEnvironmentText(std::string_view text);
