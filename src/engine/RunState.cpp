#include "engine/RunState.h"

bool StopRequested = false;
