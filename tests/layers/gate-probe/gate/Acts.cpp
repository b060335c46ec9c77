// The gate may call the platform's deleting functions.
#include "platform/Files.h"

bool GateDeleteFile(const std::string& path) { return DeleteFileAt(path); }
