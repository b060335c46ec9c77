#include "ui/PageControl.h"

#include "platform/WindowsVersion.h"
#include "platform/Handle.h"
#include "ui/StandardControls.h"
#include "platform/Text.h"
#include "platform/WindowList.h"

#include <algorithm>

void PageControl::Attach(HWND tab) {
    tab_ = tab;
    // Visual styles exist from Windows XP on; older systems draw the classic look anyway.
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    Module uxtheme(LoadLibraryW(L"uxtheme.dll"));
    if (auto setWindowTheme = uxtheme ? GetProcedure<SetWindowThemeFn>(uxtheme.get(), "SetWindowTheme") : nullptr) {
        setWindowTheme(tab_, L"", L"");
    }
}

void PageControl::AddPage(std::string_view caption, std::vector<HWND> controls) {
    AddTabPage(tab_, caption);
    pages_.push_back(std::move(controls));
}

int PageControl::ActivePage() const { return SelectedTabPage(tab_); }

bool PageControl::Holds(HWND control) const { return control && (control == tab_ || OnPage(control)); }

bool PageControl::OnPage(HWND control) const {
    for (const auto& page : pages_) {
        if (std::find(page.begin(), page.end(), control) != page.end()) {
            return true;
        }
    }
    return false;
}

void PageControl::SelectPage(int index) { SelectTabPage(tab_, index); }

void PageControl::Apply(bool visible) const {
    int active = ActivePage();
    // Hide first, then show, so no control of two pages is left hidden.
    for (size_t page = 0; page < pages_.size(); ++page) {
        if (!visible || static_cast<int>(page) != active) {
            for (HWND control : pages_[page]) {
                ShowWindow(control, SW_HIDE);
            }
        }
    }
    if (visible && active >= 0 && static_cast<size_t>(active) < pages_.size()) {
        for (HWND control : pages_[static_cast<size_t>(active)]) {
            ShowWindow(control, SW_SHOW);
        }
    }
}

namespace {

// The tab control's own painting of its client area (tabs, border and page), as a brush.
GdiObject PagePicture(HWND tab) {
    RECT client{};
    GetClientRect(tab, &client);
    MemoryDC memory;
    GdiObject picture;
    {
        WindowDC screen(tab);
        memory.reset(CreateCompatibleDC(screen.get()));
        picture.reset(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    }
    if (!memory || !picture) {
        return GdiObject();
    }
    HGDIOBJ previous = SelectObject(memory.get(), picture.get());
    FillRect(memory.get(), &client, GetSysColorBrush(COLOR_BTNFACE));
    SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT | PRF_ERASEBKGND);
    SelectObject(memory.get(), previous);
    return GdiObject(CreatePatternBrush(static_cast<HBITMAP>(picture.get())));
}

} // namespace

HBRUSH PageControl::PageBrushFor(HWND control, HDC dc) {
    // Windows 9x cuts a pattern brush to 8 x 8 pixels; there pages keep the classic colour anyway.
    if (!OnPage(control) || !IsWindowsNtPlatform()) {
        return nullptr;
    }
    std::string className = AsciiLower(WindowClassNameOf(control, 64));
    if (className != "button" && className != "static") {
        return nullptr; // a read-only edit asks too, and keeps its own background
    }
    if (!pageBrush_) {
        pageBrush_ = PagePicture(tab_);
        if (!pageBrush_) {
            return nullptr;
        }
    }
    POINT origin{0, 0};
    MapWindowPoints(tab_, control, &origin, 1);
    SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(pageBrush_.get());
}
