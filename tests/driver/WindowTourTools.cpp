#include "driver/WindowTourSteps.h"

#include "about/AboutForm.h"
#include "app/MainForm.h"
#include "tools/DriveWasherForm.h"
#include "tools/FileShredderForm.h"

namespace {

// One tool window: opened from the main window, its stop, the "Error" box its start button shows
// with nothing chosen (when asked for), then closed.
struct ToolStop {
    int openButton;
    const wchar_t* className;
    const char* caption;
    const char* name;
    const char* emptyBoxName;
    SIZE design;
    int startButton;
    int closeButton;
};

bool TourTool(TourSteps& tour, HWND main, bool messageBoxes, const ToolStop& tool) {
    HWND window = tour.Open(main, tool.openButton, tool.className, tool.caption);
    if (!window) {
        return false;
    }
    tour.Stop(tool.name, window, tool.design);
    if (messageBoxes) {
        HWND box = tour.OpenMessageBox(window, tool.startButton, "Error");
        if (!box) {
            return false;
        }
        tour.Stop(tool.emptyBoxName, box, {0, 0});
        if (!tour.Answer(box)) {
            return false;
        }
    }
    return tour.CloseWith(window, tool.closeButton);
}

} // namespace

bool TourTools(TourSteps& tour, HWND main, bool messageBoxes) {
    const ToolStop shredder{TFrmMain::IDC_BTN_SHREDDER,
                            kFileShredderClass,
                            kFileShredderCaption,
                            "file-shredder",
                            "file-shredder-no-files",
                            {490, 330},
                            TFrmFileShredder::IDC_BTN_SHRED,
                            TFrmFileShredder::IDC_BTN_SHRED_EXIT};
    const ToolStop washer{TFrmMain::IDC_BTN_DRIVEWASHER,
                          kDriveWasherClass,
                          kDriveWasherCaption,
                          "drive-washer",
                          "drive-washer-no-drives",
                          {490, 342},
                          TFrmDriveWasher::IDC_BTN_DRIVECLEAN,
                          TFrmDriveWasher::IDC_BTN_CANCEL};
    return TourTool(tour, main, messageBoxes, shredder) && TourTool(tour, main, messageBoxes, washer);
}

bool TourAbout(TourSteps& tour, HWND main, int dpi) {
    HWND about = tour.Open(main, TFrmMain::IDC_BTN_ABOUT, kAboutClass, "About Quorvale");
    if (!about) {
        return false;
    }
    LOGFONTW title{};
    title.lfHeight = -MulDiv(kTitleFontHeight, dpi, 96);
    title.lfWeight = FW_BOLD;
    lstrcpyW(title.lfFaceName, kTitleFontFace);
    tour.Stop("about", about, {296, 241}, {{TFrmAbout::IDC_LABEL1, title}});
    return tour.CloseWith(about, TFrmAbout::IDC_BTN_ABOUT_OK);
}
