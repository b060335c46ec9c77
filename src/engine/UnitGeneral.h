// The erasure engine's shared parts: run state, wipe methods, folder wipe, result lines and
// system helpers.
#pragma once

#include "engine/FolderWipe.h"
#include "engine/ProgressLog.h"
#include "engine/RunState.h"
#include "engine/SystemInfo.h"
#include "engine/WipeMethods.h"
