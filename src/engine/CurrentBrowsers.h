// The erase items of today's browsers: the Chromium family (Google Chrome, Microsoft Edge, Brave,
// Vivaldi) and Firefox from version 3 on, every profile. Caches are wiped file by file; history,
// cookies, form data and saved passwords are removed from the browsers' databases in place
// (BrowserDatabases), so bookmarks, settings and extensions stay, and so do the cookies of the
// kept sites. Each item resets the file counters at its start and adds them to the run totals at
// its end, keeps FileResultLine() as the log's last line while it works, then appends a line with
// the database rows it removed, and a line saying that the browser is running when it held
// something the item had to leave. No browser process is ever ended.
#pragma once

#include "engine/ProgressLog.h"

#include <cstdint>
#include <string>
#include <vector>

enum class ChromiumBrowser { Chrome, Edge, Brave, Vivaldi };

// What an item of these browsers erases.
enum class BrowserTrace { Cache, Cookies, History, FormData, Passwords, SessionRestore };

// The item's settings from the run.
struct BrowserItemRun {
    const std::string& method;
    int32_t passes;
    const std::vector<std::string>& keptSites; // for the cookie items
    ProgressLog& log;
};

// A Chromium browser's trace in every profile of its user-data folder (Chrome's is
// "%LocalAppData%\Google\Chrome\User Data"): the folders in it that hold a "Preferences" file, links passed
// by. SessionRestore is not an item of these browsers and erases nothing.
void EraseChromiumTrace(ChromiumBrowser browser, BrowserTrace trace, const BrowserItemRun& run);

// Firefox's trace in every profile of "%AppData%\Mozilla\Firefox\Profiles" (links passed by) and,
// for the cache, of "%LocalAppData%\Mozilla\Firefox\Profiles". Passwords are the saved logins.
void EraseFirefoxProfilesTrace(BrowserTrace trace, const BrowserItemRun& run);

// The sites of the cookies the browsers keep now, for the keep list's dialog: each site once,
// sorted. Databases a running browser holds are passed by.
std::vector<std::string> ChromiumCookieSites();
std::vector<std::string> FirefoxCookieSites();

// The name a user knows the browser by ("Google Chrome").
const char* ChromiumBrowserName(ChromiumBrowser browser);
