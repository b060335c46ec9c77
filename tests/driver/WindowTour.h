// Opens every window of Quorvale.exe in turn through its real buttons, and every page of its page
// controls, stopping at each while it is up: what the layout test checks and the screenshots show.
#pragma once

#include "driver/LayoutCheck.h"
#include "driver/QuorvaleDriver.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct TourStop {
    std::string name; // fit for a file name: "main-window", "options-windows", ...
    HWND window;
    SIZE designClient;              // the client size at 96 DPI; {0, 0} for a message box
    std::vector<ControlFont> fonts; // controls with a font of their own
};

// An Options.ini under which every button that opens a window is enabled and the lists show entries.
extern const char* const kTourOptionsIni;

// Puts the release package's sample plug-ins (QUORVALE_PACKAGE_DIR) beside the copy, so that the
// plug-in page shows what a user sees first. False when there are none to copy.
bool AddTourPlugins(const QuorvaleApp& app);

// Walks the windows from the running copy's main window; visit is called at each stop. With
// messageBoxes the tools' refusals of an empty choice are stops too. Returns false, naming the
// window in why, when a window does not open or close; the rest of the tour is then skipped.
bool TourWindows(const QuorvaleApp& app, int dpi, bool messageBoxes, const std::function<void(const TourStop&)>& visit,
                 std::string& why);
