// The service's life under the service control manager: erase while starting, then run until
// stopped.
#pragma once

// Hands this process to the service control manager and returns when the service has stopped.
// Returns false, having done nothing, when the process was not started by the service control
// manager.
bool RunAsService();
