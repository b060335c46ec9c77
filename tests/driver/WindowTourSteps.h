// The steps of the window tour, shared by its files: opening a window by its button, stopping
// at it, closing it.
#pragma once

#include "driver/DialogDriver.h"
#include "driver/WindowTour.h"

#include <string_view>

class TourSteps {
public:
    TourSteps(const QuorvaleApp& app, const std::function<void(const TourStop&)>& visit, std::string& why)
        : app_(app), visit_(visit), why_(why) {}

    void Stop(const std::string& name, HWND window, SIZE design, std::vector<ControlFont> fonts = {}) {
        visit_({name, window, design, std::move(fonts)});
    }

    // Clicks the control (by id, whatever its caption) and waits for the window it opens.
    HWND Open(HWND from, int id, const wchar_t* className, std::string_view caption) {
        HWND control = ControlOf(from, id);
        if (!control || !IsWindowEnabled(control)) {
            return Fail(caption, "its button is missing or disabled");
        }
        PostMessageW(control, BM_CLICK, 0, 0);
        HWND window = app_.WaitWindow(className, caption);
        return window ? window : Fail(caption, "it did not open");
    }

    HWND OpenMessageBox(HWND from, int id, std::string_view caption) {
        PostMessageW(ControlOf(from, id), BM_CLICK, 0, 0);
        HWND box = app_.WaitMessageBox(caption);
        return box ? box : Fail(caption, "the message box did not open");
    }

    bool CloseWith(HWND window, int id) {
        PostMessageW(ControlOf(window, id), BM_CLICK, 0, 0);
        if (!WaitUntil([&] { return !IsWindow(window); }, 10000)) {
            Fail(RemoteWindowText(window), "it did not close");
            return false;
        }
        return true;
    }

    bool Answer(HWND box) {
        QuorvaleApp::AnswerMessageBox(box, IDOK);
        return WaitUntil([&] { return !IsWindow(box); }, 10000) || Fail("message box", "it did not close");
    }

    void Pages(HWND tab, const std::vector<std::string>& names, HWND window, SIZE design) {
        for (size_t page = 0; page < names.size(); ++page) {
            TurnToPage(tab, static_cast<int>(page));
            Stop(names[page], window, design);
        }
    }

    HWND Fail(std::string_view window, std::string_view what) {
        why_ = "\"" + std::string(window) + "\": " + std::string(what);
        return nullptr;
    }

private:
    const QuorvaleApp& app_;
    const std::function<void(const TourStop&)>& visit_;
    std::string& why_;
};

// The file shredder, the drive washer and the About box, from the main window.
bool TourTools(TourSteps& tour, HWND main, bool messageBoxes);
bool TourAbout(TourSteps& tour, HWND main, int dpi);
