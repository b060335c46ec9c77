// Right includes: the program's top layer may use every layer below it.
#include "engine/WipeMethods.h"
#include "settings/UnitMiscellaneous.h"
#include "tools/UnitFrmFileShredder.h"
