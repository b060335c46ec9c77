// The Internet Explorer items of the erase run: temporary Internet files, cookies, history, typed
// addresses, index.dat files, AutoComplete form data and passwords.
#pragma once

#include "engine/ProgressLog.h"
#include "gate/ServicePlace.h"

#include <optional>
#include <string>
#include <vector>

// Registry keys under HKEY_CURRENT_USER.
constexpr const char* kTypedUrlsKey = "\\Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr const char* kAutoCompletePasswordsKey = "\\Software\\Microsoft\\Internet Explorer\\IntelliForms\\SPW";

// The service that erases the AutoComplete form data on the NT family, and its program.
constexpr const char* kSiblingServiceName = "SellwynService";
constexpr const char* kSiblingServiceProgram = "SellwickService.exe";

// How long the form-data item waits for the service to be installed, to start or to stop.
constexpr unsigned long kSiblingServiceWaitMs = 10000;

// One pass of zeros over the file, then its length set to 0. The file and its attributes stay.
// Lets window messages run first and between the two steps, and returns at once when the erase run
// is stopped. Every failure is swallowed.
void ZeroAndTruncateFile(const std::string& path);

// Zeroes and removes every cache entry that is not a cookie, counting each into the item counters
// and keeping FileResultLine() as the log's last line. Stops between entries when the run is
// stopped; the item's counts then stay out of the run totals.
void EraseIECache(ProgressLog& log);

// Zeroes and removes every cookie whose file name is not on the "IECookies" keep list of the given
// Options.ini (exact, case-sensitive). Kept cookies are neither touched nor counted.
void EraseIECookies(const std::string& optionsPath, ProgressLog& log);

// Clears the URL history through the shell's history object. Counts nothing, writes nothing.
void EraseIEHistory();

// Ends Internet Explorer, deletes every typed address and writes back the "IEAddressBar" keep list
// of the given Options.ini as url1, url2, ... in keep-list order.
void EraseIETypedURLs(const std::string& optionsPath, ProgressLog& log);

// Zeroes the index.dat files below the Internet cache and history folders, as the Windows family
// keeps them. The log's last line is the placeholder or the running FileResultLine().
void EraseIEIndexDat(ProgressLog& log);

// The folders EraseIEIndexDat walks for an OSFamily, given the Internet cache and history folders
// (without trailing "\"). A folder Windows does not know ("") is left out.
std::vector<std::string> IndexDatFolders(const std::string& osFamily, const std::string& cacheFolder,
                                         const std::string& historyFolder);

// Zeroes folder\index.dat in place (neither truncated nor deleted) and walks on into the
// sub-folders whose names do not begin with "."; an index.dat whose first byte is already 0 ends
// the walk of its folder and everything below it.
void WipeIndexDatTree(const std::string& folder, ProgressLog& log);

// On the NT family: stops, starts and stops the sibling service (its program in programFolder,
// ending in "\"), whose start erases the form data. When the service had to be installed and
// RefuseServicePlace refused its place, the log gets "Refused: " + kFormDataWhat + " (" +
// ServiceNotInstalledWhy + ")" and the run's account the same entry.
// Elsewhere: deletes the sub-keys of the user's protected storage key for AutoComplete data.
constexpr const char* kFormDataWhat = "Internet Explorer AutoComplete form data";
void EraseIEFormData(ProgressLog& log, const std::string& programFolder);

// The protected storage key (under HKEY_LOCAL_MACHINE) that holds a user's AutoComplete form data
// on the Windows 9x family.
std::string ProtectedStorageFormDataKey(const std::string& userName);

// Deletes the AutoComplete passwords and replaces the log's last line with the count followed by
// " registry entries were erased.".
void EraseIEPasswords(ProgressLog& log);

// Stop and start of the sibling service. Starting installs it first, by its own command line from
// programFolder, when it is missing, unless RefuseServicePlace refuses that place: then it returns
// the refusal and neither installs nor starts. Both wait (at most kSiblingServiceWaitMs) until the
// service has left the pending state.
void StopSiblingService();
std::optional<ServicePlaceRefusal> StartSiblingService(const std::string& programFolder);
// Why the form data was not erased when the service's place was refused.
std::string ServiceNotInstalledWhy(const ServicePlaceRefusal& refusal);

// The command line that installs the sibling service from the program's folder (ending in "\").
std::string SiblingServiceInstallCommand(const std::string& programFolder);
