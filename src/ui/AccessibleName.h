// Names that screen readers read for controls whose caption alone does not say what they do (a
// ">>" button, a check box captioned only with a browser's name), without changing the caption.
#pragma once

#include <windows.h>

#include <string>

// From now on, Active Accessibility clients (screen readers) that ask for the control's name get
// name; everything else they ask is answered by the control's standard object. False when the
// control could not be subclassed; Windows without Active Accessibility keeps the caption.
bool SetAccessibleName(HWND control, std::string name);
