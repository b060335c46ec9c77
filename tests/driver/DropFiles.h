// Drops files on a window of another process as Explorer's drag and drop ends: a DROPFILES block
// with wide names (the list ended by an empty name) in that process, handed over by WM_DROPFILES.
#pragma once

#include "driver/RemoteMemory.h"

#include <memory>
#include <string>
#include <vector>

// Posts the drop; the block must live until the window has taken it (wait for what the drop does
// before letting it go). nullptr when the block could not be made.
std::unique_ptr<RemoteMemory> DropFilesOn(HWND window, const std::vector<std::string>& paths);
