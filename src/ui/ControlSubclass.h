// Lets a window take part in the messages of one of its controls (key handling of an edit field,
// the cursor over a label) without writing a window procedure per control.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

// Handles one message of the control: a result ends it there; nullopt passes it on to the control.
using ControlMessageHandler = std::function<std::optional<LRESULT>(HWND control, UINT msg, WPARAM, LPARAM)>;

// Routes the control's messages through handler until the control is destroyed. An exception
// thrown by the handler is shown in the "Error" box and the message is passed on. Returns false
// when the control could not be subclassed.
bool SubclassControl(HWND control, ControlMessageHandler handler);

// The control's own handling of a message, for a handler that works before or after it.
LRESULT DefaultControlProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam);
