#include "engine/CurrentBrowsers.h"

#include "engine/BrowserDatabases.h"
#include "engine/FolderWipe.h"
#include "engine/RunState.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Shell.h"

#include <algorithm>
#include <initializer_list>
#include <optional>

namespace {

struct ChromiumPlace {
    const char* name;
    const char* userData; // below the local application-data folder
};

constexpr ChromiumPlace kChromium[] = {
    {"Google Chrome", "Google\\Chrome\\User Data"},
    {"Microsoft Edge", "Microsoft\\Edge\\User Data"},
    {"Brave", "BraveSoftware\\Brave-Browser\\User Data"},
    {"Vivaldi", "Vivaldi\\User Data"},
};

constexpr const char* kFirefoxName = "Firefox";
constexpr const char* kFirefoxProfiles = "Mozilla\\Firefox\\Profiles";

const ChromiumPlace& PlaceOf(ChromiumBrowser browser) { return kChromium[static_cast<int>(browser)]; }

// The sub-folders of folder that are neither links nor named with a leading ".", as full paths.
std::vector<std::string> RealSubFolders(const std::string& folder) {
    std::vector<std::string> folders;
    for (const auto& entry : ListFolder(JoinPath(folder, "*.*"))) {
        if (entry.IsFolder() && !entry.IsLink() && entry.name.front() != '.') {
            folders.push_back(JoinPath(folder, entry.name));
        }
    }
    return folders;
}

bool IsRealFolder(const std::string& folder) {
    DWORD attributes = GetAttributes(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The user-data folder of the browser; "" when it is not there (or is a link).
std::string ChromiumUserData(ChromiumBrowser browser) {
    std::string local = LocalAppDataFolder();
    if (local.empty()) {
        return {};
    }
    std::string folder = local + PlaceOf(browser).userData;
    return IsRealFolder(folder) ? folder : std::string();
}

std::vector<std::string> ChromiumProfiles(const std::string& userData) {
    std::vector<std::string> profiles;
    for (const std::string& folder : RealSubFolders(userData)) {
        if (FileExists(JoinPath(folder, "Preferences"))) {
            profiles.push_back(folder);
        }
    }
    return profiles;
}

std::string FirefoxProfilesIn(const std::string& base) {
    if (base.empty()) {
        return {};
    }
    std::string folder = base + kFirefoxProfiles;
    return IsRealFolder(folder) ? folder : std::string();
}

// The run of one item: the counters, the rows its databases gave up, and whether the browser held
// anything.
class BrowserItem {
public:
    BrowserItem(const char* browserName, const BrowserItemRun& run) : name_(browserName), run_(run) {
        ResetFileCounters();
    }

    // A cache file the running browser holds is noted as not erased by the walk; the item then
    // says that the browser is running.
    void CacheFolder(const std::string& folder) {
        const size_t noted = NotErasedEntries.size();
        WipeFolderTree(folder, run_.method, run_.passes, run_.log);
        for (size_t i = noted; i < NotErasedEntries.size(); ++i) {
            inUse_ = inUse_ || IsInUseReason(NotErasedEntries[i].why);
        }
    }

    void File(const std::string& path) {
        if (EraseNamedFile(path, run_.method, run_.passes, run_.log) == NamedFileErase::InUse) {
            inUse_ = true;
        }
    }

    // A database whose removed rows the item counts (countedRows) or that it only empties.
    void Database(const std::string& path, const DatabaseEditor& edit, bool countedRows = true) {
        DatabaseEditResult result = EditBrowserDatabase(path, edit, run_.method, run_.passes, run_.log);
        if (result.outcome == DatabaseEdit::InUse) {
            inUse_ = true;
        }
        if (countedRows && result.outcome != DatabaseEdit::Missing) {
            rowsCounted_ = true;
            rows_ += result.rows;
        }
    }

    // Appends the rows line (when a counted database was there) and the running browser's line.
    void Finish(const char* rowSingular, const char* rowPlural) {
        if (rowsCounted_ && rowSingular) {
            run_.log.AppendLine(RowsErasedLine(rows_, rowSingular, rowPlural));
        }
        if (inUse_) {
            run_.log.AppendLine(std::string(name_) + " is running: close it for its traces to be erased.");
        }
        AddFileCountersToTotals();
    }

private:
    const char* name_;
    const BrowserItemRun& run_;
    int64_t rows_ = 0;
    bool rowsCounted_ = false;
    bool inUse_ = false;
};

// Each row's count as a user reads it.
struct RowWords {
    const char* singular;
    const char* plural;
};

RowWords WordsFor(BrowserTrace trace) {
    switch (trace) {
    case BrowserTrace::Cookies:
        return {"cookie", "cookies"};
    case BrowserTrace::History:
        return {"history entry", "history entries"};
    case BrowserTrace::FormData:
        return {"form entry", "form entries"};
    case BrowserTrace::Passwords:
        return {"saved password", "saved passwords"};
    default:
        return {nullptr, nullptr};
    }
}

// Empties the counted tables and then the others that go with them; returns the rows removed from
// the counted ones, or -1 when any delete failed.
int64_t DeleteRowsCounting(SqliteDatabase& db, std::initializer_list<const char*> counted,
                           std::initializer_list<const char*> alsoEmptied) {
    int64_t rows = DeleteAllRows(db, counted);
    return rows < 0 || DeleteAllRows(db, alsoEmptied) < 0 ? -1 : rows;
}

// Every row of every table but the database's own bookkeeping ("meta"): for the browser's
// derived databases (top sites, shortcuts, the address bar's predictor), which it refills. The
// names come from the file, so each is quoted as a name and run as one statement.
int64_t EmptyEveryTable(SqliteDatabase& db) {
    for (const std::string& table : db.QueryTexts(
             "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' AND name <> 'meta'")) {
        if (!db.ExecOne("DELETE FROM " + QuotedIdentifier(table))) {
            return -1;
        }
    }
    return 0;
}

int64_t EditChromiumHistory(SqliteDatabase& db) {
    return DeleteRowsCounting(db, {"visits", "downloads"},
                              {"urls", "visit_source", "keyword_search_terms", "segments", "segment_usage",
                               "downloads_url_chains", "downloads_slices", "content_annotations", "context_annotations",
                               "clusters", "clusters_and_visits", "cluster_keywords", "cluster_visit_duplicates",
                               "visited_links", "history_sync_metadata"});
}

void EraseChromiumProfile(const std::string& profile, BrowserTrace trace, BrowserItem& item,
                          const std::vector<std::string>& keptSites) {
    auto at = [&](const char* name) { return JoinPath(profile, name); };
    switch (trace) {
    case BrowserTrace::Cache:
        for (const char* folder :
             {"Cache", "Code Cache", "GPUCache", "DawnCache", "DawnGraphiteCache", "DawnWebGPUCache", "Media Cache",
              "Application Cache", "Service Worker\\CacheStorage", "Service Worker\\ScriptCache"}) {
            item.CacheFolder(at(folder));
        }
        break;
    case BrowserTrace::Cookies:
        for (const char* name : {"Network\\Cookies", "Cookies"}) {
            item.Database(at(name), [&](SqliteDatabase& db) {
                return DeleteCookiesNotKept(db, "cookies", "host_key", keptSites);
            });
        }
        break;
    case BrowserTrace::History:
        item.Database(at("History"), EditChromiumHistory);
        for (const char* name : {"Top Sites", "Shortcuts", "Network Action Predictor"}) {
            item.Database(at(name), EmptyEveryTable, false);
        }
        for (const char* name : {"Visited Links", "History Provider Cache"}) {
            item.File(at(name));
        }
        break;
    case BrowserTrace::FormData:
        item.Database(at("Web Data"),
                      [](SqliteDatabase& db) { return DeleteRowsCounting(db, {"autofill"}, {"autofill_dates"}); });
        break;
    case BrowserTrace::Passwords:
        for (const char* name : {"Login Data", "Login Data For Account"}) {
            item.Database(at(name), [](SqliteDatabase& db) {
                return DeleteRowsCounting(db, {"logins"}, {"stats", "insecure_credentials", "password_notes"});
            });
        }
        break;
    case BrowserTrace::SessionRestore:
        break;
    }
}

// Firefox's history: every visit, the typed-address history, the download history and every
// place that no bookmark, keyword or annotation holds; bookmarked places stay, without their visit
// counts. Counts the visits and downloads removed.
int64_t EditFirefoxPlaces(SqliteDatabase& db) {
    if (!db.HasTable("moz_places")) {
        return 0;
    }
    int64_t removed = DeleteRowsCounting(db, {"moz_historyvisits", "moz_downloads"},
                                         {"moz_historyvisits_extra", "moz_inputhistory", "moz_places_metadata",
                                          "moz_places_metadata_search_queries", "moz_previews_tombstones"});
    if (removed < 0) {
        return -1;
    }
    if (db.HasTable("moz_annos") && db.HasTable("moz_anno_attributes")) {
        if (!db.ExecOne("DELETE FROM moz_annos WHERE anno_attribute_id IN "
                        "(SELECT id FROM moz_anno_attributes WHERE name LIKE 'downloads/%')")) {
            return -1;
        }
        removed += db.Changes();
    }
    std::string held = "0";
    if (db.HasTable("moz_bookmarks")) {
        held += " OR id IN (SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL)";
    }
    if (db.HasTable("moz_keywords") && db.HasColumn("moz_keywords", "place_id")) {
        held += " OR id IN (SELECT place_id FROM moz_keywords WHERE place_id IS NOT NULL)";
    }
    if (db.HasTable("moz_annos")) {
        held += " OR id IN (SELECT place_id FROM moz_annos)";
    }
    if (!db.ExecOne("DELETE FROM moz_places WHERE NOT (" + held + ")")) {
        return -1;
    }
    if (db.HasTable("moz_places_extra") && db.HasColumn("moz_places_extra", "place_id") &&
        !db.ExecOne("DELETE FROM moz_places_extra WHERE place_id NOT IN (SELECT id FROM moz_places)")) {
        return -1;
    }
    for (const char* column : {"visit_count", "last_visit_date", "typed"}) {
        if (db.HasColumn("moz_places", column) &&
            !db.ExecOne(std::string("UPDATE moz_places SET ") + column +
                        (std::string(column) == "last_visit_date" ? " = NULL" : " = 0"))) {
            return -1;
        }
    }
    if (db.HasTable("moz_origins") && db.HasColumn("moz_places", "origin_id") &&
        !db.ExecOne(
            "DELETE FROM moz_origins WHERE id NOT IN (SELECT origin_id FROM moz_places WHERE origin_id IS NOT NULL)")) {
        return -1;
    }
    return removed;
}

// The addresses of the pages Firefox keeps bookmarks of, read without changing places.sqlite (none
// when it is missing); nullopt when it is there but cannot be read (Firefox holds it).
std::optional<std::vector<std::string>> FirefoxBookmarkedPages(const std::string& places) {
    SqliteDatabase db;
    switch (db.OpenCopy(places)) {
    case DatabaseOpen::Opened:
        break;
    case DatabaseOpen::Missing:
        return std::vector<std::string>();
    default:
        return std::nullopt;
    }
    if (!db.HasTable("moz_bookmarks") || !db.HasTable("moz_places")) {
        return std::vector<std::string>();
    }
    return db.QueryTexts("SELECT url FROM moz_places WHERE id IN (SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL)");
}

// "https://host.example" of "https://host.example/any/page".
std::string OriginOf(const std::string& address) {
    const size_t scheme = address.find("://");
    return scheme == std::string::npos ? address : address.substr(0, address.find('/', scheme + 3));
}

// Firefox's page icons: every page that no bookmark holds goes (its address is a visit's trace),
// with its links to icons and every icon no page is left linked to. A site's own icon (its
// /favicon.ico, linked to no page as it serves them all) stays for the sites of bookmarks.
int64_t EditFirefoxFavicons(SqliteDatabase& db, const std::vector<std::string>& bookmarked) {
    if (!db.HasTable("moz_pages_w_icons")) {
        return 0;
    }
    std::vector<std::string> pages = db.QueryTexts("SELECT page_url FROM moz_pages_w_icons");
    pages.erase(std::remove_if(pages.begin(), pages.end(),
                               [&](const std::string& page) {
                                   return std::find(bookmarked.begin(), bookmarked.end(), page) != bookmarked.end();
                               }),
                pages.end());
    if (db.ExecForEach("DELETE FROM moz_pages_w_icons WHERE page_url = ?", pages) < 0) {
        return -1;
    }
    if (!db.HasTable("moz_icons_to_pages") || !db.HasTable("moz_icons")) {
        return 0;
    }
    if (!db.ExecOne("DELETE FROM moz_icons_to_pages WHERE page_id NOT IN (SELECT id FROM moz_pages_w_icons)")) {
        return -1;
    }
    const std::string unlinked = "id NOT IN (SELECT icon_id FROM moz_icons_to_pages)";
    if (!db.HasColumn("moz_icons", "root")) {
        return db.ExecOne("DELETE FROM moz_icons WHERE " + unlinked) ? 0 : -1;
    }
    std::vector<std::string> sites;
    for (const std::string& page : bookmarked) {
        sites.push_back(OriginOf(page));
    }
    std::vector<std::string> roots = db.QueryTexts("SELECT icon_url FROM moz_icons WHERE root = 1 AND " + unlinked);
    roots.erase(std::remove_if(roots.begin(), roots.end(),
                               [&](const std::string& icon) {
                                   return std::find(sites.begin(), sites.end(), OriginOf(icon)) != sites.end();
                               }),
                roots.end());
    if (db.ExecForEach("DELETE FROM moz_icons WHERE root = 1 AND icon_url = ?", roots) < 0) {
        return -1;
    }
    return db.ExecOne("DELETE FROM moz_icons WHERE root = 0 AND " + unlinked) ? 0 : -1;
}

// The icons of the pages visited, once places.sqlite has told which pages the bookmarks hold.
void EraseFirefoxFavicons(const std::string& profile, BrowserItem& item) {
    const std::string favicons = JoinPath(profile, "favicons.sqlite");
    if (!FileExists(favicons)) {
        return;
    }
    std::optional<std::vector<std::string>> bookmarked = FirefoxBookmarkedPages(JoinPath(profile, "places.sqlite"));
    if (!bookmarked) {
        NoteNotErased(favicons, "the bookmarks in places.sqlite cannot be read, so the icons they keep are not known");
        return;
    }
    item.Database(
        favicons, [&](SqliteDatabase& db) { return EditFirefoxFavicons(db, *bookmarked); }, false);
}

void EraseFirefoxProfile(const std::string& profile, BrowserTrace trace, BrowserItem& item,
                         const std::vector<std::string>& keptSites) {
    auto at = [&](const char* name) { return JoinPath(profile, name); };
    switch (trace) {
    case BrowserTrace::Cache:
        for (const char* folder : {"cache2", "startupCache", "OfflineCache"}) {
            item.CacheFolder(at(folder));
        }
        break;
    case BrowserTrace::Cookies:
        item.Database(at("cookies.sqlite"),
                      [&](SqliteDatabase& db) { return DeleteCookiesNotKept(db, "moz_cookies", "host", keptSites); });
        break;
    case BrowserTrace::History:
        item.Database(at("places.sqlite"), EditFirefoxPlaces);
        EraseFirefoxFavicons(profile, item);
        break;
    case BrowserTrace::FormData:
        item.Database(at("formhistory.sqlite"), [](SqliteDatabase& db) {
            return DeleteRowsCounting(db, {"moz_formhistory"},
                                      {"moz_deleted_formhistory", "moz_history_to_sources", "moz_sources"});
        });
        break;
    case BrowserTrace::SessionRestore:
        for (const char* name :
             {"sessionstore.jsonlz4", "sessionstore.js", "sessionstore.bak", "sessionCheckpoints.json"}) {
            item.File(at(name));
        }
        item.CacheFolder(at("sessionstore-backups"));
        break;
    case BrowserTrace::Passwords:
        for (const char* name : {"logins.json", "logins-backup.json", "signons.sqlite"}) {
            item.File(at(name));
        }
        break;
    }
}

} // namespace

const char* ChromiumBrowserName(ChromiumBrowser browser) { return PlaceOf(browser).name; }

void EraseChromiumTrace(ChromiumBrowser browser, BrowserTrace trace, const BrowserItemRun& run) {
    std::string userData = ChromiumUserData(browser);
    if (userData.empty() || trace == BrowserTrace::SessionRestore) {
        return;
    }
    BrowserItem item(PlaceOf(browser).name, run);
    for (const std::string& profile : ChromiumProfiles(userData)) {
        EraseChromiumProfile(profile, trace, item, run.keptSites);
    }
    if (trace == BrowserTrace::Cache) {
        for (const char* folder : {"ShaderCache", "GrShaderCache", "GraphiteDawnCache"}) {
            item.CacheFolder(JoinPath(userData, folder));
        }
    }
    RowWords words = WordsFor(trace);
    item.Finish(words.singular, words.plural);
}

void EraseFirefoxProfilesTrace(BrowserTrace trace, const BrowserItemRun& run) {
    std::string roaming = FirefoxProfilesIn(FolderOfVariable("%AppData%"));
    std::string local = trace == BrowserTrace::Cache ? FirefoxProfilesIn(LocalAppDataFolder()) : std::string();
    if (roaming.empty() && local.empty()) {
        return;
    }
    BrowserItem item(kFirefoxName, run);
    for (const std::string& folder : {roaming, local}) {
        if (folder.empty()) {
            continue;
        }
        for (const std::string& profile : RealSubFolders(folder)) {
            EraseFirefoxProfile(profile, trace, item, run.keptSites);
        }
    }
    RowWords words = WordsFor(trace);
    item.Finish(words.singular, words.plural);
}

namespace {

std::vector<std::string> MergedSites(std::vector<std::string> sites) {
    std::sort(sites.begin(), sites.end());
    sites.erase(std::unique(sites.begin(), sites.end()), sites.end());
    return sites;
}

void AddSites(std::vector<std::string>& sites, const std::vector<std::string>& more) {
    sites.insert(sites.end(), more.begin(), more.end());
}

} // namespace

std::vector<std::string> ChromiumCookieSites() {
    std::vector<std::string> sites;
    for (ChromiumBrowser browser :
         {ChromiumBrowser::Chrome, ChromiumBrowser::Edge, ChromiumBrowser::Brave, ChromiumBrowser::Vivaldi}) {
        std::string userData = ChromiumUserData(browser);
        if (userData.empty()) {
            continue;
        }
        for (const std::string& profile : ChromiumProfiles(userData)) {
            for (const char* name : {"Network\\Cookies", "Cookies"}) {
                AddSites(sites, CookieSitesIn(JoinPath(profile, name), "cookies", "host_key"));
            }
        }
    }
    return MergedSites(std::move(sites));
}

std::vector<std::string> FirefoxCookieSites() {
    std::vector<std::string> sites;
    std::string roaming = FirefoxProfilesIn(FolderOfVariable("%AppData%"));
    if (!roaming.empty()) {
        for (const std::string& profile : RealSubFolders(roaming)) {
            AddSites(sites, CookieSitesIn(JoinPath(profile, "cookies.sqlite"), "moz_cookies", "host"));
        }
    }
    return MergedSites(std::move(sites));
}
