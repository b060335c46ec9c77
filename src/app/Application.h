// The program after its entry point: one copy per session, the hidden application window, the
// main window and its message loop.
#pragma once

#include "app/MainForm.h"

#include <string>
#include <vector>

// Runs the program with its command-line arguments (after the program name); returns the exit code.
int RunApplication(std::vector<std::string> arguments, const TestBuildSeams& seams = {});
