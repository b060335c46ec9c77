// A wrong include on purpose: a tool window must not use a settings window. The layer check must name it.
#pragma once
#include "engine/WipeMethods.h"
#include "settings/MiscellaneousForm.h"
