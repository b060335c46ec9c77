// A page control: a tab control whose pages are groups of controls placed beside it on the same
// window (above it in the z-order); only the controls of the selected page are shown.
#pragma once

#include "ui/Form.h"
#include "platform/Handle.h"

#include <windows.h>

#include <cstddef>
#include <string_view>
#include <vector>

class PageControl {
public:
    // Takes the tab control. It is drawn in the classic look, so its pages have the window's own
    // background, as the labels and check boxes on them do.
    void Attach(HWND tab);
    HWND Handle() const { return tab_; }

    // Adds a page with its caption and the controls that stand on it.
    void AddPage(std::string_view caption, std::vector<HWND> controls);
    int ActivePage() const;
    // Whether the control is the tabs or stands on one of the pages.
    bool Holds(HWND control) const;
    // Selects the page; Apply then shows it.
    void SelectPage(int index);
    // Shows the selected page's controls when visible is true; hides every page's controls otherwise.
    void Apply(bool visible) const;
    // For WM_CTLCOLORSTATIC and WM_CTLCOLORBTN: the brush a label, check box or radio button on a
    // page paints behind its text, cut from the picture the tab control paints of its page and
    // lined up with the control, so the control blends with the page whatever colour the system
    // gives pages. nullptr for any other control (the window's default applies).
    HBRUSH PageBrushFor(HWND control, HDC dc);

private:
    bool OnPage(HWND control) const;

    HWND tab_ = nullptr;
    std::vector<std::vector<HWND>> pages_;
    GdiObject pageBrush_;
};

// The window's controls made from a table, in the table's order: the controls of one page.
template <size_t N> std::vector<HWND> ControlsOf(HWND window, const ControlSpec (&specs)[N]) {
    std::vector<HWND> controls;
    for (const auto& spec : specs) {
        controls.push_back(GetDlgItem(window, spec.id));
    }
    return controls;
}
