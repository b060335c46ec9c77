// The Firefox, Netscape and Opera items of the erase run. Each finds the browser's profile folders
// below the user's application-data folder (Opera: or the program-files folder), wipes the item's
// files there with the run's method, counts them into ErasedFileCount and ReleasedByteCount with
// FileResultLine() kept as the log's last line, and adds its counts to the run totals at its end.
// A named file (cookies.txt, history.dat...) that cannot be opened for reading and writing is
// skipped and not counted. Nothing is raised and nothing but the running line is written.
#pragma once

#include "engine/ProgressLog.h"

#include <cstdint>
#include <string>

// Firefox: the profiles are the folders in "%AppData%\Mozilla\Firefox\Profiles" whose names do not
// begin with "."; without that folder an item changes no counter and adds nothing to the totals.
// The form-data and history items first terminate every running "firefox.exe", profile or not.
void EraseFirefoxCache(const std::string& method, int32_t passes, ProgressLog& log);
void EraseFirefoxCookies(const std::string& method, int32_t passes, ProgressLog& log);
// formhistory.dat of every profile, then signons.txt of every profile, in one count.
void EraseFirefoxFormData(const std::string& method, int32_t passes, ProgressLog& log);
void EraseFirefoxHistory(const std::string& method, int32_t passes, ProgressLog& log);

// Netscape: the profile folders are two levels below "%AppData%\Mozilla\Profiles" (each profile's
// inner folders), dot-folders passed by at both levels. The counters are reset at the start.
// The history item terminates every running "netscp.exe" first.
void EraseNetscapeCache(const std::string& method, int32_t passes, ProgressLog& log);
void EraseNetscapeCookies(const std::string& method, int32_t passes, ProgressLog& log);
// Every "*.s" file of every profile folder, then every "*.w" file, in one count.
void EraseNetscapeFormData(const std::string& method, int32_t passes, ProgressLog& log);
void EraseNetscapeHistory(const std::string& method, int32_t passes, ProgressLog& log);

// Opera: one profile folder, from FindOperaProfile. The counters are reset at the start.
void EraseOperaCache(const std::string& method, int32_t passes, ProgressLog& log);
void EraseOperaCookies(const std::string& method, int32_t passes, ProgressLog& log);
// global.dat, vlink4.dat and opera.dir, in that order.
void EraseOperaHistory(const std::string& method, int32_t passes, ProgressLog& log);

// "%AppData%\Opera\Opera\profile\" when that folder holds "opera6.ini", otherwise
// "%ProgramFiles%\opera\profile\" whether it exists or not. Ends in a backslash; "" when the
// variable it needs is not set.
std::string FindOperaProfile();
