// Program entry.
#include "app/Application.h"
#include "platform/ThisProcess.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunApplication(CommandLineArguments()); }
