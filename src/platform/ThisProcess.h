// What this process owns and was given: a named mutex, global atoms, its command line.
#pragma once

#include "platform/Handle.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// Creates the named mutex, owned by this process. alreadyExisted tells whether another process
// had made it first. Returns an empty handle when the mutex could not be made at all.
KernelHandle CreateOwnedMutex(std::string_view name, bool& alreadyExisted);

// Global atoms (GlobalAddAtomW and friends). 0 means failure or not found.
ATOM AddGlobalAtom(std::string_view name);
ATOM FindGlobalAtom(std::string_view name);

// The process's command-line arguments after the program name, UTF-8.
std::vector<std::string> CommandLineArguments();
