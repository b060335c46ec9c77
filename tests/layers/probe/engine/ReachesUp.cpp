// A wrong include on purpose: the engine must not know the main window. The layer check must name it.
#include "app/MainForm.h"
#include "platform/Files.h"
