// A helper program for the item tests. "wait" idles until it is terminated (copied under a
// browser's executable name, it shows whether an item terminates that browser). "pagefile" runs the
// page-file item in a process whose Windows version the test chose, and exits with the family it saw.
#include "engine/SystemInfo.h"
#include "engine/WindowsItems.h"

#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "wait") {
        Sleep(60000);
        return 3;
    }
    if (command == "pagefile") {
        SetClearPageFileAtShutdown();
        std::string family = GetOSFamily();
        return family == "NewWinNT" ? 10 : family == "Win9x" ? 11 : family == "OldWinNt" ? 12 : 13;
    }
    return 2;
}
