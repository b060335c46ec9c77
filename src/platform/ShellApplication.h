// The shell's automation object "Shell.Application", reached by its name as a script would.
#pragma once

// Calls the object's method "ShutDownWindows", which shows Windows' own shut-down dialog. Returns
// false when the object cannot be created, has no such method or the call fails. COM must be
// initialised on the calling thread.
bool ShellShutDownWindows();
