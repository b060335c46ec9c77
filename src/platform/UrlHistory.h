// Internet Explorer's browsing history through the URL history object of the shell.
#pragma once

#include <windows.h>

// Creates the URL history object and calls IUrlHistoryStg2::ClearHistory, with COM initialised on
// the calling thread for the call (and left as it was found). Returns the result of ClearHistory,
// or the failure of initialising COM, creating the object or finding the interface.
HRESULT ClearUrlHistory();
