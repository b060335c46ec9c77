#include "driver/WindowTourSteps.h"

#include "about/UnitFrmAbout.h"
#include "app/UnitFrmMain.h"
#include "tools/UnitFrmDriveWasher.h"
#include "tools/UnitFrmFileShredder.h"

bool TourTools(TourSteps& tour, HWND main, bool messageBoxes) {
    HWND shredder = tour.Open(main, IDC_BTN_SHREDDER, kFileShredderClass, kFileShredderCaption);
    if (!shredder) {
        return false;
    }
    tour.Stop("file-shredder", shredder, {490, 330});
    if (messageBoxes) {
        HWND box = tour.OpenMessageBox(shredder, IDC_BTN_SHRED, "Error");
        if (!box) {
            return false;
        }
        tour.Stop("file-shredder-no-files", box, {0, 0});
        if (!tour.Answer(box)) {
            return false;
        }
    }
    if (!tour.CloseWith(shredder, IDC_BTN_SHRED_EXIT)) {
        return false;
    }
    HWND washer = tour.Open(main, IDC_BTN_DRIVEWASHER, kDriveWasherClass, kDriveWasherCaption);
    if (!washer) {
        return false;
    }
    tour.Stop("drive-washer", washer, {490, 342});
    if (messageBoxes) {
        HWND box = tour.OpenMessageBox(washer, IDC_BTN_DRIVECLEAN, "Error");
        if (!box) {
            return false;
        }
        tour.Stop("drive-washer-no-drives", box, {0, 0});
        if (!tour.Answer(box)) {
            return false;
        }
    }
    return tour.CloseWith(washer, IDC_BTN_CANCEL);
}

bool TourAbout(TourSteps& tour, HWND main, int dpi) {
    HWND about = tour.Open(main, IDC_BTN_ABOUT, kAboutClass, "About Quorvale");
    if (!about) {
        return false;
    }
    LOGFONTW title{};
    title.lfHeight = -MulDiv(kTitleFontHeight, dpi, 96);
    title.lfWeight = FW_BOLD;
    lstrcpyW(title.lfFaceName, kTitleFontFace);
    tour.Stop("about", about, {296, 241}, {{IDC_LABEL1, title}});
    return tour.CloseWith(about, IDC_BTN_ABOUT_OK);
}
