// The common dialogs the windows use, with UTF-8 text.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <string_view>
#include <vector>

// Runs the Explorer-style open-file dialog. filter is "Name|pattern|Name|pattern" as the
// program writes it; options are OFN_* flags (OFN_EXPLORER is always added). Returns the full
// paths of the chosen files in the dialog's order; empty when the user cancels or the dialog fails.
std::vector<std::string> ChooseFilesToOpen(HWND owner, std::string_view title, std::string_view filter, DWORD options);

// Runs the shell's folder browser (file-system folders only). Returns the chosen folder's full path;
// empty when the user cancels or the dialog fails.
std::string ChooseFolder(HWND owner, std::string_view title);

// The full paths in a filled open-dialog buffer: either one full path, or a folder followed by
// file names, each ended by a NUL and the whole by a second NUL.
std::vector<std::string> PathsFromOpenDialogBuffer(std::wstring_view buffer);
