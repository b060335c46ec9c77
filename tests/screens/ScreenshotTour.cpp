// Not a test: opens every window of Quorvale.exe (from QUORVALE_EXE) through its buttons, each
// page of its page controls and the tools' message boxes, and saves a picture of each window as
// "<folder>\<stop>.bmp". scripts/screenshots.sh runs it and turns the pictures into PNG files.
//
//   quorvale_screenshots <folder>          every window
//   quorvale_screenshots <folder> <name>   only the main window, saved as <name>.bmp
#include "driver/LayoutCheck.h"
#include "driver/WindowTour.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The window as it is on the screen, frame and title bar included, as a 24-bit picture.
bool SaveWindowPicture(HWND window, const std::string& path) {
    RECT rect{};
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::string bits(static_cast<size_t>(stride) * static_cast<size_t>(height), '\0');
    int lines = GetDIBits(memory, picture, 0, static_cast<UINT>(height), bits.data(),
                          reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (lines != height) {
        std::fprintf(stderr, "GetDIBits gave %d of %d lines\n", lines, height);
        return false;
    }
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    std::string content(reinterpret_cast<const char*>(&file), sizeof file);
    content.append(reinterpret_cast<const char*>(&info), sizeof info);
    content += bits;
    return WriteWholeFile(path, content) == ERROR_SUCCESS;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorvale_screenshots <folder> [main-window-name]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const bool mainOnly = argc > 2;
    PhysicalPixelsScope physical;
    QuorvaleApp app(kTourOptionsIni);
    if (!AddTourPlugins(app)) {
        std::fprintf(stderr, "No sample plug-ins: set QUORVALE_PACKAGE_DIR to the unpacked package.\n");
        return 1;
    }
    app.Start();
    if (!app.WaitMainWindow()) {
        std::fprintf(stderr, "The main window did not come up.\n");
        return 1;
    }
    int failures = 0;
    auto shoot = [&](const TourStop& stop) {
        BringWindowToTop(stop.window);
        Sleep(400); // the window has painted
        std::string name = mainOnly ? argv[2] : stop.name;
        if (SaveWindowPicture(stop.window, folder + "\\" + name + ".bmp")) {
            std::printf("%s\n", name.c_str());
        } else {
            std::fprintf(stderr, "Could not save the picture of %s.\n", name.c_str());
            ++failures;
        }
        std::fflush(stdout);
    };
    if (mainOnly) {
        shoot({"main-window", app.MainWindow(), {0, 0}, {}});
    } else {
        std::string why;
        HDC screen = GetDC(nullptr);
        int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        if (!TourWindows(app, dpi, true, shoot, why)) {
            std::fprintf(stderr, "The tour stopped: %s\n", why.c_str());
            ++failures;
        }
    }
    app.Close();
    return failures == 0 ? 0 : 1;
}
