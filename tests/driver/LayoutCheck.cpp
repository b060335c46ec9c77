#include "driver/LayoutCheck.h"

#include "driver/QuorvaleDriver.h"
#include "platform/Handle.h"
#include "platform/Text.h"

#include <commctrl.h>

#include <sstream>

namespace {

using SetThreadDpiAwarenessContextFn = void*(WINAPI*)(void*);
// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE: a thread that is told no DPI is given every rectangle unscaled.
void* const kPerMonitorAware = reinterpret_cast<void*>(static_cast<INT_PTR>(-3));

SetThreadDpiAwarenessContextFn ThreadDpiSetter() {
    return reinterpret_cast<SetThreadDpiAwarenessContextFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext")));
}

int OwnDpi() {
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}

std::string ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return AsciiUpper(Narrow(name));
}

// A control's name in a problem line: its class, id and caption.
std::string Describe(HWND control) {
    std::ostringstream text;
    text << ClassOf(control) << " #" << GetDlgCtrlID(control);
    std::string caption = RemoteWindowText(control);
    if (!caption.empty()) {
        text << " \"" << caption << "\"";
    }
    return text.str();
}

RECT RectInParent(HWND control, HWND parent) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string RectText(const RECT& r) {
    std::ostringstream text;
    text << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
    return text.str();
}

bool Contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The page area of a page control (below its tabs), in its parent's coordinates. The record of
// TCM_ADJUSTRECT must live in the control's own process.
RECT PageArea(HWND tab, HWND parent) {
    RECT area{};
    GetClientRect(tab, &area);
    DWORD processId = 0;
    GetWindowThreadProcessId(tab, &processId);
    KernelHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    void* remote = process ? VirtualAllocEx(process.get(), nullptr, sizeof area, MEM_COMMIT, PAGE_READWRITE) : nullptr;
    if (remote && WriteProcessMemory(process.get(), remote, &area, sizeof area, nullptr)) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 5000, &ignored);
        ReadProcessMemory(process.get(), remote, &area, sizeof area, nullptr);
    }
    if (remote) {
        VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    }
    MapWindowPoints(tab, parent, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

// The area a control may hold others in: a page control's page area, a group box's rectangle.
bool HoldsOthers(HWND control, HWND parent, RECT& area) {
    std::string type = ClassOf(control);
    if (type == "SYSTABCONTROL32") {
        area = PageArea(control, parent);
        return true;
    }
    if (type == "BUTTON" && (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) {
        area = RectInParent(control, parent);
        return true;
    }
    return false;
}

// An up-down control laps over the border of the field it belongs to, by design.
bool UpDownWithBuddy(HWND upDown, HWND field) {
    return ClassOf(upDown) == "MSCTLS_UPDOWN32" &&
           reinterpret_cast<HWND>(SendMessageW(upDown, UDM_GETBUDDY, 0, 0)) == field;
}

SIZE MeasureText(const std::wstring& text, const LOGFONTW& font, UINT format, int wrapWidth) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT handle = CreateFontIndirectW(&font);
    HGDIOBJ old = SelectObject(dc, handle);
    RECT rect{0, 0, wrapWidth, 0};
    DrawTextW(dc, text.c_str(), -1, &rect, DT_CALCRECT | format);
    SelectObject(dc, old);
    DeleteObject(handle);
    DeleteDC(dc);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// The room a control leaves its caption, and how the control draws it; false for controls whose
// text is no caption (edits, lists) or is sized by the control itself (page tabs).
bool CaptionRoom(HWND control, int dpi, const LOGFONTW& font, SIZE& room, UINT& format) {
    std::string type = ClassOf(control);
    LONG style = GetWindowLongW(control, GWL_STYLE);
    RECT client{};
    GetClientRect(control, &client);
    room = {client.right, client.bottom};
    if (type == "BUTTON") {
        format = DT_SINGLELINE;
        switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON: {
            // The raised frame and the focus rectangle take this much on each side.
            int inset = MulDiv(3, dpi, 96);
            room.cx -= 2 * inset;
            room.cy -= 2 * inset;
            return true;
        }
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE: {
            // The box or circle, then half a digit's width before the caption.
            int glyph = 12 * dpi / 96 + 1;
            room.cx -= glyph + MeasureText(L"0", font, DT_SINGLELINE, 0).cx / 2;
            return true;
        }
        default:
            return false;
        }
    }
    if (type == "STATIC") {
        switch (style & SS_TYPEMASK) {
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT:
            format = DT_WORDBREAK | DT_EXPANDTABS;
            break;
        case SS_LEFTNOWORDWRAP:
            format = DT_SINGLELINE | DT_EXPANDTABS;
            break;
        default:
            return false;
        }
        if (style & SS_NOPREFIX) {
            format |= DT_NOPREFIX;
        }
        return true;
    }
    return false;
}

void CheckCaption(HWND control, int dpi, const LOGFONTW& font, std::vector<std::string>& problems) {
    SIZE room{};
    UINT format = 0;
    std::wstring caption = Widen(RemoteWindowText(control));
    if (caption.empty() || !CaptionRoom(control, dpi, font, room, format)) {
        return;
    }
    SIZE needed = MeasureText(caption, font, format, (format & DT_WORDBREAK) ? room.cx : 0);
    if (needed.cx > room.cx || needed.cy > room.cy) {
        std::ostringstream text;
        text << Describe(control) << ": caption needs " << needed.cx << "x" << needed.cy << ", room is " << room.cx
             << "x" << room.cy;
        problems.push_back(text.str());
    }
}

void CheckColumns(HWND list, std::vector<std::string>& problems) {
    if (ClassOf(list) != "SYSLISTVIEW32") {
        return;
    }
    auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    auto columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    int total = 0;
    for (int column = 0; column < columns; ++column) {
        total += static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    }
    RECT client{};
    GetClientRect(list, &client);
    if (total > client.right) {
        std::ostringstream text;
        text << Describe(list) << ": columns are " << total << " wide, the list " << client.right;
        problems.push_back(text.str());
    }
}

std::vector<HWND> VisibleChildren(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child)) {
            children.push_back(child);
        }
    }
    return children;
}

} // namespace

PhysicalPixelsScope::PhysicalPixelsScope() {
    if (auto setter = ThreadDpiSetter()) {
        previous_ = setter(kPerMonitorAware);
    }
}

PhysicalPixelsScope::~PhysicalPixelsScope() {
    auto setter = ThreadDpiSetter();
    if (setter && previous_) {
        setter(previous_);
    }
}

LOGFONTW MessageFontAt(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    // Windows and Wine scale the 96-DPI metrics by the DPI a process starts with; this process
    // may have started with another one than the program it looks at.
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, OwnDpi());
    return metrics.lfMessageFont;
}

SIZE ClientSizeOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

std::vector<std::string> LayoutProblems(HWND window, int dpi, const std::vector<ControlFont>& fonts) {
    std::vector<std::string> problems;
    LOGFONTW messageFont = MessageFontAt(dpi);
    RECT client{};
    GetClientRect(window, &client);
    std::vector<HWND> children = VisibleChildren(window);
    for (size_t i = 0; i < children.size(); ++i) {
        HWND control = children[i];
        RECT place = RectInParent(control, window);
        if (!Contains(client, place)) {
            problems.push_back(Describe(control) + ": " + RectText(place) + " is not inside the window's client area " +
                               RectText(client));
        }
        LOGFONTW font = messageFont;
        for (const ControlFont& own : fonts) {
            if (own.id == GetDlgCtrlID(control)) {
                font = own.font;
            }
        }
        CheckCaption(control, dpi, font, problems);
        CheckColumns(control, problems);
        for (size_t j = i + 1; j < children.size(); ++j) {
            HWND other = children[j];
            RECT otherPlace = RectInParent(other, window);
            RECT common{};
            if (!IntersectRect(&common, &place, &otherPlace)) {
                continue;
            }
            if (UpDownWithBuddy(control, other) || UpDownWithBuddy(other, control)) {
                continue;
            }
            RECT area{};
            if ((HoldsOthers(control, window, area) && Contains(area, otherPlace)) ||
                (HoldsOthers(other, window, area) && Contains(area, place))) {
                continue;
            }
            problems.push_back(Describe(control) + " " + RectText(place) + " overlaps " + Describe(other) + " " +
                               RectText(otherPlace));
        }
    }
    return problems;
}
