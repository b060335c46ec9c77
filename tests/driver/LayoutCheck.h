// Reads the layout of another process's window as a user would judge it: controls that overlap,
// controls outside their window, captions that do not fit their control, list-view columns wider
// than their list. Captions are measured with the font the program uses at that DPI.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// While it lives, this thread reads the rectangles of every window in physical pixels, whatever
// DPI the window's process was started with (Wine would otherwise rescale them to this thread's).
class PhysicalPixelsScope {
public:
    PhysicalPixelsScope();
    ~PhysicalPixelsScope();
    PhysicalPixelsScope(const PhysicalPixelsScope&) = delete;
    PhysicalPixelsScope& operator=(const PhysicalPixelsScope&) = delete;

private:
    void* previous_ = nullptr;
};

// The message font (SPI_GETNONCLIENTMETRICS lfMessageFont) as a process started at that DPI has it.
LOGFONTW MessageFontAt(int dpi);

// The client size of the window in physical pixels.
SIZE ClientSizeOf(HWND window);

// A control the program gives a font of its own (the message font is the rule).
struct ControlFont {
    int id;
    LOGFONTW font;
};

// Every fault of the window's layout at that DPI, one line each naming the controls; empty when
// the layout is sound. Only visible controls count. A page control may hold its page's controls,
// and a group box its members; no other two controls may overlap.
std::vector<std::string> LayoutProblems(HWND window, int dpi, const std::vector<ControlFont>& fonts = {});
