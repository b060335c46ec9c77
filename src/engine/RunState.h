// State of the erase run shared by the run, the wipe methods and the item routines.
#pragma once

// Set by a click on Stop; polled by the run and the wipe methods.
extern bool StopRequested;
