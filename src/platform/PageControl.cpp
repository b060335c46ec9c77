#include "platform/PageControl.h"

#include "platform/Handle.h"
#include "platform/StandardControls.h"

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

bool PageControl::Holds(HWND control) const {
    if (!control) {
        return false;
    }
    if (control == tab_) {
        return true;
    }
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
