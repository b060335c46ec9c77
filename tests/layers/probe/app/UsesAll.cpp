// Right includes: the program's top layer may use every layer below it.
#include "engine/WipeMethods.h"
#include "settings/MiscellaneousForm.h"
#include "tools/FileShredderForm.h"
