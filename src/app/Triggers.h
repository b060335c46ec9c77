// What the main window's background triggers do besides starting an erase run: the start-up rules
// (the schedule's interval, the start-up erase, the user's SID for the service), the boss key's
// press, the end-of-session decision and the action after an end-of-session run. Each reads
// Options.ini at the moment it is needed.
#pragma once

#include "store/OptionsStore.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Interval of the schedule timer for a "CustomInterval" choice.
UINT ScheduleIntervalMs(int32_t customInterval);

// Whether the start-up erase is armed: the setting is on and the first argument is exactly "/startup".
bool StartupEraseRequested(const std::vector<std::string>& arguments, bool systemStartErase);

// Stores the current user's SID text as "SID" under HKEY_LOCAL_MACHINE "\Software\Quorvale".
void StoreUserSid();

// Values of [Miscellaneous] SystemShutdownOption; any other text means a restart.
constexpr const char* kAfterEraseShowWindow = "ShowWindow";
constexpr const char* kAfterEraseShutdown = "Shutdown";
constexpr const char* kAfterEraseRestart = "Restart";

// The class names of the boss-key lines whose flag, the character right after the first "=", is
// "1"; each is the text after the first "," of its line. In file order.
std::vector<std::string> EnabledBossKeyClassNames(const OptionsStore& options);

// The boss key was pressed: nothing when EnableBosskey is off; otherwise BossKeyClassNames becomes
// the enabled class names and, when there is at least one, BossWindowsHidden flips and every
// top-level window goes through BossKeyWindowProc.
void PressBossKey(const std::string& optionsPath);

// Whether Windows ending the session must wait for an erase run first (SystemShutdownErase).
bool EndOfSessionEraseWanted(const std::string& optionsPath);

// After an end-of-session run: Windows' shut-down dialog through "Shell.Application" for
// "ShowWindow" (the default), a forced shutdown for "Shutdown", a forced restart for anything else.
// Returns in every case, also when the shell's object cannot be created or its call fails.
void CarryOutAfterEraseAction(const std::string& optionsPath);
