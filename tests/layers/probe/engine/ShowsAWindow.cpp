// A wrong include on purpose: the engine shows no window, so it must not use the window framework.
// The layer check must name it.
#include "engine/WipeMethods.h"
#include "ui/Form.h"
