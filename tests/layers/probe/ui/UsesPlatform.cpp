// Right includes: the window framework uses its own headers and the platform.
#include "platform/Messages.h"
#include "ui/Form.h"
