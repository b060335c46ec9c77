#include "ui/ControlSubclass.h"

#include "ui/Form.h"

#include <commctrl.h>

#include <exception>

namespace {

constexpr UINT_PTR kSubclassId = 0x5156; // "QV"

LRESULT CALLBACK RouteControlMessage(HWND control, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR refData) {
    auto* handler = reinterpret_cast<ControlMessageHandler*>(refData);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(control, RouteControlMessage, kSubclassId);
        delete handler;
        return DefSubclassProc(control, msg, wParam, lParam);
    }
    try {
        if (std::optional<LRESULT> result = (*handler)(control, msg, wParam, lParam)) {
            return *result;
        }
    } catch (const std::exception& e) {
        ShowApplicationError(e.what());
    } catch (...) {
        ShowApplicationError("An unexpected error occurred.");
    }
    return DefSubclassProc(control, msg, wParam, lParam);
}

} // namespace

bool SubclassControl(HWND control, ControlMessageHandler handler) {
    auto* routed = new ControlMessageHandler(std::move(handler));
    if (!control ||
        !SetWindowSubclass(control, RouteControlMessage, kSubclassId, reinterpret_cast<DWORD_PTR>(routed))) {
        delete routed;
        return false;
    }
    return true;
}

LRESULT DefaultControlProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(control, msg, wParam, lParam);
}
