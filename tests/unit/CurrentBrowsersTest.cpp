// The items of today's browsers against profiles built with SQLite itself: two profiles of each
// browser with the tables that matter, marker texts in what must go, and bookmarks, kept sites and
// saved passwords that must stay. LOCALAPPDATA and APPDATA point at scratch folders.
#include "ItemTestSupport.h"

#include "engine/BrowserDatabases.h"
#include "engine/CurrentBrowsers.h"
#include "engine/FolderWipe.h"
#include "engine/RunState.h"
#include "platform/Files.h"
#include "platform/SqliteDatabase.h"
#include "gate/ErasePlan.h"
#include "support/ChildProcess.h"
#include "support/DatabaseFiles.h"
#include "support/RecordingLog.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using Lines = std::vector<std::string>;

constexpr const char* kVisitedMarker = "qv-visited-marker-5d1f.example";
constexpr const char* kTrackerMarker = "qv-tracker-marker-93c2.example";
constexpr const char* kFormMarker = "qv-typed-form-marker-0e77";
constexpr const char* kBookmarked = "https://bookmarked.example/kept-page";

constexpr const char* kChromiumHistorySchema =
    "CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);"
    "CREATE TABLE urls(id INTEGER PRIMARY KEY AUTOINCREMENT, url LONGVARCHAR, title LONGVARCHAR,"
    " visit_count INTEGER DEFAULT 0 NOT NULL, typed_count INTEGER DEFAULT 0 NOT NULL,"
    " last_visit_time INTEGER NOT NULL, hidden INTEGER DEFAULT 0 NOT NULL);"
    "CREATE TABLE visits(id INTEGER PRIMARY KEY, url INTEGER NOT NULL, visit_time INTEGER NOT NULL,"
    " from_visit INTEGER, transition INTEGER DEFAULT 0 NOT NULL, segment_id INTEGER);"
    "CREATE TABLE keyword_search_terms(keyword_id INTEGER NOT NULL, url_id INTEGER NOT NULL,"
    " term LONGVARCHAR NOT NULL, normalized_term LONGVARCHAR NOT NULL);"
    "CREATE TABLE downloads(id INTEGER PRIMARY KEY, guid VARCHAR NOT NULL, current_path LONGVARCHAR NOT NULL,"
    " target_path LONGVARCHAR NOT NULL, start_time INTEGER NOT NULL, tab_url VARCHAR NOT NULL);"
    "INSERT INTO meta VALUES('version', '66');";

constexpr const char* kChromiumCookiesSchema =
    "CREATE TABLE cookies(creation_utc INTEGER NOT NULL, host_key TEXT NOT NULL, name TEXT NOT NULL,"
    " value TEXT NOT NULL, encrypted_value BLOB, path TEXT NOT NULL, expires_utc INTEGER NOT NULL,"
    " UNIQUE (host_key, name, path));";

constexpr const char* kFirefoxPlacesSchema =
    "CREATE TABLE moz_places(id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR,"
    " visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL,"
    " frecency INTEGER DEFAULT -1 NOT NULL, last_visit_date INTEGER, guid TEXT, origin_id INTEGER);"
    "CREATE TABLE moz_historyvisits(id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER,"
    " visit_date INTEGER, visit_type INTEGER, session INTEGER);"
    "CREATE TABLE moz_inputhistory(place_id INTEGER NOT NULL, input LONGVARCHAR NOT NULL, use_count INTEGER,"
    " PRIMARY KEY (place_id, input));"
    "CREATE TABLE moz_bookmarks(id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL, parent INTEGER,"
    " position INTEGER, title LONGVARCHAR, guid TEXT);"
    "CREATE TABLE moz_origins(id INTEGER PRIMARY KEY, prefix TEXT NOT NULL, host TEXT NOT NULL,"
    " frecency INTEGER NOT NULL, UNIQUE (prefix, host));"
    "CREATE TABLE moz_anno_attributes(id INTEGER PRIMARY KEY, name VARCHAR(32) UNIQUE NOT NULL);"
    "CREATE TABLE moz_annos(id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL, anno_attribute_id INTEGER,"
    " content LONGVARCHAR);";

// Runs the statements in a new database at path (its folder made as needed).
void MakeDatabase(const std::string& path, const std::string& sql, bool writeAheadLog = false) {
    MakeFolders(FolderOf(path));
    SqliteDatabase db;
    ASSERT_EQ(db.Create(path), DatabaseOpen::Opened) << path;
    if (writeAheadLog) {
        ASSERT_FALSE(db.QueryTexts("PRAGMA journal_mode=WAL").empty());
    }
    ASSERT_TRUE(db.Exec(sql)) << db.LastError();
}

int64_t Count(const std::string& path, const std::string& sql) {
    SqliteDatabase db;
    EXPECT_EQ(db.Open(path), DatabaseOpen::Opened) << path;
    return db.QueryNumber(sql);
}

Lines Texts(const std::string& path, const std::string& sql) {
    SqliteDatabase db;
    EXPECT_EQ(db.Open(path), DatabaseOpen::Opened) << path;
    return db.QueryTexts(sql);
}

std::string IntegrityOf(const std::string& path) {
    Lines result = Texts(path, "PRAGMA integrity_check");
    return result.empty() ? "(no answer)" : result.front();
}

// Every byte of every file below folder, for the marker searches.
std::string BytesBelow(const std::string& folder) {
    std::string all;
    for (const auto& entry : ListFolder(folder + "\\*.*")) {
        std::string path = folder + "\\" + entry.name;
        if (entry.IsFolder()) {
            if (entry.name != "." && entry.name != "..") {
                all += BytesBelow(path);
            }
        } else {
            all += ReadFileText(path);
        }
    }
    return all;
}

class CurrentBrowsersTest : public ::testing::Test {
protected:
    CurrentBrowsersTest()
        : local_(scratch_ / "Local"), roaming_(scratch_ / "Roaming"), localVar_("LOCALAPPDATA", local_),
          roamingVar_("APPDATA", roaming_) {
        MakeFolders(local_);
        MakeFolders(roaming_);
        SetCounters(0, 0, 0, 0, 0, 0);
        NotErasedEntries.clear();
    }

    std::string Chrome(const std::string& rest) const { return local_ + "\\Google\\Chrome\\User Data\\" + rest; }
    std::string Firefox(const std::string& rest) const { return roaming_ + "\\Mozilla\\Firefox\\Profiles\\" + rest; }

    // A Chrome profile: history with a visited marker and a search, cookies of a kept site, its
    // sub-domain and a tracker, form data, a saved password, bookmarks, a cache.
    void MakeChromeProfile(const std::string& name) {
        MakeFolders(Chrome(name));
        WriteFileText(Chrome(name + "\\Preferences"), "{}");
        WriteFileText(Chrome(name + "\\Bookmarks"), std::string("{\"url\": \"") + kBookmarked + "\"}");
        MakeDatabase(Chrome(name + "\\History"),
                     std::string(kChromiumHistorySchema) +
                         "INSERT INTO urls(url, title, visit_count, last_visit_time) VALUES('https://" +
                         kVisitedMarker +
                         "/page', 'Marker page', 2, 13300000000000000);"
                         "INSERT INTO visits(url, visit_time) VALUES(1, 13300000000000000), (1, 13300000000000001);"
                         "INSERT INTO keyword_search_terms VALUES(2, 1, 'secret search', 'secret search');"
                         "INSERT INTO downloads VALUES(1, 'g', 'C:\\d.zip', 'C:\\d.zip', 1, 'https://" +
                         kVisitedMarker + "/d.zip');");
        MakeDatabase(Chrome(name + "\\Network\\Cookies"),
                     std::string(kChromiumCookiesSchema) +
                         "INSERT INTO cookies VALUES(1, '.kept.example', 'sid', 'k', x'00', '/', 0),"
                         " (2, 'mail.kept.example', 'm', 'k', x'00', '/', 0),"
                         " (3, '" +
                         kTrackerMarker +
                         "', 'track', 't', x'00', '/', 0),"
                         " (4, '.other.example', 'o', 'o', x'00', '/', 0);");
        MakeDatabase(Chrome(name + "\\Web Data"),
                     std::string("CREATE TABLE autofill(name VARCHAR, value VARCHAR, value_lower VARCHAR,"
                                 " count INTEGER DEFAULT 1, PRIMARY KEY (name, value));"
                                 "INSERT INTO autofill VALUES('email', '") +
                         kFormMarker + "', 'x', 3);");
        MakeDatabase(Chrome(name + "\\Login Data"),
                     "CREATE TABLE logins(origin_url VARCHAR NOT NULL, username_value VARCHAR, password_value BLOB,"
                     " signon_realm VARCHAR NOT NULL, id INTEGER PRIMARY KEY AUTOINCREMENT);"
                     "INSERT INTO logins(origin_url, username_value, password_value, signon_realm)"
                     " VALUES('https://bank.example/', 'me', x'0102', 'https://bank.example/');");
        MakeFile(Chrome(name + "\\Cache\\Cache_Data\\f_000001"), 3000);
        MakeFile(Chrome(name + "\\Code Cache\\js\\index"), 1000);
        WriteFileText(Chrome(name + "\\Visited Links"), kVisitedMarker);
    }

    // A Firefox profile: places with a visited marker page and a bookmarked page (visited too), a
    // download, typed input; cookies; form history; saved logins.
    void MakeFirefoxProfile(const std::string& name, bool writeAheadLog) {
        MakeDatabase(Firefox(name + "\\places.sqlite"),
                     std::string(kFirefoxPlacesSchema) + "INSERT INTO moz_origins VALUES(1, 'https://', '" +
                         kVisitedMarker +
                         "', 1),"
                         " (2, 'https://', 'bookmarked.example', 1);"
                         "INSERT INTO moz_places(id, url, title, visit_count, last_visit_date, origin_id) VALUES"
                         " (1, 'https://" +
                         kVisitedMarker +
                         "/page', 'Marker', 3, 1700000000000000, 1),"
                         " (2, '" +
                         kBookmarked +
                         "', 'Kept page', 5, 1700000000000000, 2),"
                         " (3, 'https://" +
                         kVisitedMarker +
                         "/file.zip', 'Download', 1, 1, 1);"
                         "INSERT INTO moz_historyvisits(place_id, visit_date, visit_type) VALUES"
                         " (1, 1, 1), (1, 2, 1), (2, 3, 1), (3, 4, 7);"
                         "INSERT INTO moz_inputhistory VALUES(1, 'qv-visi', 2);"
                         "INSERT INTO moz_bookmarks VALUES(1, 2, NULL, 0, 0, 'root', 'root________'),"
                         " (2, 1, 2, 1, 0, 'Kept page', 'bookmark0001');"
                         "INSERT INTO moz_anno_attributes VALUES(1, 'downloads/destinationFileURI');"
                         "INSERT INTO moz_annos(place_id, anno_attribute_id, content) VALUES(3, 1, 'file:///C:/" +
                         kVisitedMarker + ".zip');",
                     writeAheadLog);
        MakeDatabase(Firefox(name + "\\cookies.sqlite"),
                     std::string("CREATE TABLE moz_cookies(id INTEGER PRIMARY KEY, name TEXT, value TEXT, host TEXT,"
                                 " path TEXT, expiry INTEGER);"
                                 "INSERT INTO moz_cookies(name, value, host, path) VALUES"
                                 " ('sid', 'k', 'kept.example', '/'), ('t', 't', '.") +
                         kTrackerMarker + "', '/');");
        MakeDatabase(Firefox(name + "\\formhistory.sqlite"),
                     std::string("CREATE TABLE moz_formhistory(id INTEGER PRIMARY KEY, fieldname TEXT NOT NULL,"
                                 " value TEXT NOT NULL, timesUsed INTEGER);"
                                 "INSERT INTO moz_formhistory(fieldname, value, timesUsed) VALUES('q', '") +
                         kFormMarker + "', 1), ('q', 'second', 1);");
        WriteFileText(Firefox(name + "\\logins.json"), "{\"logins\": [{\"hostname\": \"https://bank.example\"}]}");
        WriteFileText(Firefox(name + "\\sessionstore.jsonlz4"), "mozLz40 session");
        MakeFile(Firefox(name + "\\cache2\\entries\\ABCDEF"), 2000);
    }

    // What a preview of the run finds: every entry of its one group.
    template <typename Run> std::vector<PlanEntry> Preview(Run run) {
        BeginFindingPlan();
        BeginPlanGroup("item");
        run();
        std::vector<PlanEntry> entries;
        for (const PlanGroup& group : EndFindingPlan()) {
            entries.insert(entries.end(), group.entries.begin(), group.entries.end());
        }
        NotErasedEntries.clear();
        return entries;
    }

    // Each item starts on its placeholder line, as in an erase run.
    void RunChrome(BrowserTrace trace, const Lines& keptSites = {}) {
        log_.AppendLine(kPlaceholderLine);
        EraseChromiumTrace(ChromiumBrowser::Chrome, trace, {"DoD", 0, keptSites, log_});
    }
    void RunFirefox(BrowserTrace trace, const Lines& keptSites = {}) {
        log_.AppendLine(kPlaceholderLine);
        EraseFirefoxProfilesTrace(trace, {"DoD", 0, keptSites, log_});
    }

    ScratchFolder scratch_;
    std::string local_;
    std::string roaming_;
    EnvironmentOverride localVar_;
    EnvironmentOverride roamingVar_;
    RecordingLog log_;
};

TEST_F(CurrentBrowsersTest, ChromeItemsEraseEveryProfileAndKeepBookmarksKeptSitesAndPasswords) {
    MakeChromeProfile("Default");
    MakeChromeProfile("Profile 1");
    const std::string bookmarks = ReadFileText(Chrome("Default\\Bookmarks"));
    ASSERT_NE(BytesBelow(Chrome("Profile 1")).find(kFormMarker), std::string::npos) << "the search sees the files";

    RunChrome(BrowserTrace::Cache);
    EXPECT_EQ(ErasedFileCount, 4);
    EXPECT_EQ(ReleasedByteCount, 8000);
    EXPECT_EQ(log_.lines, (Lines{"4 files were erased, 7.81 KB hard disk space was released."}));
    EXPECT_FALSE(FileExists(Chrome("Default\\Cache\\Cache_Data\\f_000001")));

    log_.lines.clear();
    RunChrome(BrowserTrace::History);
    ASSERT_EQ(log_.lines.size(), 2u);
    EXPECT_EQ(log_.lines[1], "6 history entries were erased.") << "two visits and a download in each profile";
    RunChrome(BrowserTrace::Cookies, {"kept.example", ".nothing.example"});
    EXPECT_EQ(log_.lines.back(), "6 cookies were erased.");
    RunChrome(BrowserTrace::FormData);
    EXPECT_EQ(log_.lines.back(), "2 form entries were erased.");

    for (const char* profile : {"Default", "Profile 1"}) {
        const std::string p = profile;
        EXPECT_EQ(Count(Chrome(p + "\\History"), "SELECT count(*) FROM urls"), 0);
        EXPECT_EQ(Count(Chrome(p + "\\History"), "SELECT count(*) FROM keyword_search_terms"), 0);
        EXPECT_EQ(Texts(Chrome(p + "\\History"), "SELECT value FROM meta"), Lines{"66"})
            << "the database's own data stays";
        EXPECT_EQ(Texts(Chrome(p + "\\Network\\Cookies"), "SELECT host_key FROM cookies ORDER BY host_key"),
                  (Lines{".kept.example"}))
            << "a kept site without a dot keeps its domain cookie, not its sub-domains'";
        EXPECT_EQ(Count(Chrome(p + "\\Login Data"), "SELECT count(*) FROM logins"), 1)
            << "passwords only by their switch";
        for (const char* database : {"History", "Network\\Cookies", "Web Data", "Login Data"}) {
            EXPECT_EQ(IntegrityOf(Chrome(p + "\\" + database)), "ok") << p << " " << database;
            EXPECT_FALSE(FileExists(Chrome(p + "\\" + database + "-journal"))) << "the journal was wiped";
        }
        EXPECT_FALSE(FileExists(Chrome(p + "\\Visited Links")));
        const std::string bytes = BytesBelow(Chrome(p));
        for (const char* marker : {kVisitedMarker, kTrackerMarker, kFormMarker, "secret search"}) {
            EXPECT_EQ(bytes.find(marker), std::string::npos) << marker << " is still readable in " << p;
        }
    }
    EXPECT_EQ(ReadFileText(Chrome("Default\\Bookmarks")), bookmarks);
    EXPECT_TRUE(NotErasedEntries.empty());

    RunChrome(BrowserTrace::Passwords);
    EXPECT_EQ(log_.lines.back(), "2 saved passwords were erased.");
    EXPECT_EQ(Count(Chrome("Profile 1\\Login Data"), "SELECT count(*) FROM logins"), 0);
}

TEST_F(CurrentBrowsersTest, FirefoxHistoryKeepsBookmarksAndTheWriteAheadLogAndLeavesNoMarker) {
    MakeFirefoxProfile("abc.default-release", true);
    MakeFirefoxProfile("xyz.work", false);
    ASSERT_NE(BytesBelow(Firefox("xyz.work")).find(kVisitedMarker), std::string::npos) << "the search sees the files";

    RunFirefox(BrowserTrace::History);
    RunFirefox(BrowserTrace::Cookies, {".kept.example"});
    RunFirefox(BrowserTrace::FormData);
    RunFirefox(BrowserTrace::Cache);

    EXPECT_EQ(log_.lines[1], "10 history entries were erased.") << "four visits and a download in each profile";
    EXPECT_EQ(log_.lines[3], "2 cookies were erased.");
    EXPECT_EQ(log_.lines[5], "4 form entries were erased.");
    for (const char* profile : {"abc.default-release", "xyz.work"}) {
        const std::string places = Firefox(std::string(profile) + "\\places.sqlite");
        EXPECT_EQ(Texts(places, "SELECT url FROM moz_places"), Lines{kBookmarked}) << "the bookmarked place stays";
        EXPECT_EQ(Texts(places, "SELECT moz_places.url FROM moz_bookmarks JOIN moz_places ON moz_bookmarks.fk ="
                                " moz_places.id WHERE moz_bookmarks.title = 'Kept page'"),
                  Lines{kBookmarked})
            << "the bookmark still opens its page";
        EXPECT_EQ(Count(places, "SELECT visit_count FROM moz_places"), 0);
        EXPECT_EQ(Count(places, "SELECT count(*) FROM moz_historyvisits"), 0);
        EXPECT_EQ(Count(places, "SELECT count(*) FROM moz_inputhistory"), 0);
        EXPECT_EQ(Texts(places, "SELECT host FROM moz_origins"), Lines{"bookmarked.example"});
        for (const char* database : {"places.sqlite", "cookies.sqlite", "formhistory.sqlite"}) {
            EXPECT_EQ(IntegrityOf(Firefox(std::string(profile) + "\\" + database)), "ok") << profile << " " << database;
        }
        EXPECT_EQ(Texts(Firefox(std::string(profile) + "\\cookies.sqlite"), "SELECT host FROM moz_cookies"),
                  Lines{"kept.example"});
        EXPECT_TRUE(FileExists(Firefox(std::string(profile) + "\\logins.json"))) << "logins only by their switch";
        EXPECT_FALSE(FolderExists(Firefox(std::string(profile) + "\\cache2")));
        const std::string bytes = BytesBelow(Firefox(profile));
        for (const char* marker : {kVisitedMarker, kTrackerMarker, kFormMarker}) {
            EXPECT_EQ(bytes.find(marker), std::string::npos) << marker << " is still readable in " << profile;
        }
    }
    EXPECT_EQ(Texts(Firefox("abc.default-release\\places.sqlite"), "PRAGMA journal_mode"), Lines{"wal"});
    EXPECT_EQ(Texts(Firefox("xyz.work\\places.sqlite"), "PRAGMA journal_mode"), Lines{"delete"});

    log_.lines.clear();
    RunFirefox(BrowserTrace::Passwords);
    RunFirefox(BrowserTrace::SessionRestore);
    EXPECT_FALSE(FileExists(Firefox("xyz.work\\logins.json")));
    EXPECT_FALSE(FileExists(Firefox("abc.default-release\\sessionstore.jsonlz4")));
    EXPECT_EQ(log_.lines, (Lines{"2 files were erased, 100 Bytes hard disk space was released.",
                                 "2 files were erased, 30 Bytes hard disk space was released."}));
}

TEST_F(CurrentBrowsersTest, ADatabaseTheBrowserHoldsIsLeftWholeAndSaysTheBrowserIsRunning) {
    MakeChromeProfile("Default");
    MakeChromeProfile("Profile 1");
    const std::string held = Chrome("Default\\History");
    const std::string before = ReadFileText(held);
    FileHandle browser(CreateFileW(WidePath(held).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(browser);

    RunChrome(BrowserTrace::History);
    browser.reset();

    ASSERT_EQ(log_.lines.size(), 3u);
    EXPECT_EQ(log_.lines[1], "3 history entries were erased.") << "the other profile's";
    EXPECT_EQ(log_.lines[2], "Google Chrome is running: close it for its traces to be erased.");
    EXPECT_EQ(ReadFileText(held), before);
    EXPECT_EQ(Count(Chrome("Profile 1\\History"), "SELECT count(*) FROM urls"), 0);
    ASSERT_EQ(NotErasedEntries.size(), 1u);
    EXPECT_EQ(NotErasedEntries[0].what, held);
    EXPECT_EQ(NotErasedEntries[0].why, "in use by another program");
}

TEST_F(CurrentBrowsersTest, ADatabaseABrowserIsWritingKeepsItsLiveJournal) {
    MakeChromeProfile("Default");
    const std::string history = Chrome("Default\\History");
    SqliteDatabase browser;
    ASSERT_EQ(browser.Open(history), DatabaseOpen::Opened);
    ASSERT_TRUE(browser.Exec("BEGIN IMMEDIATE; UPDATE urls SET title = 'being written'"));
    const std::string journal = ReadFileText(history + "-journal");
    ASSERT_FALSE(journal.empty()) << "the browser's transaction has its journal";

    RunChrome(BrowserTrace::History);

    EXPECT_EQ(ReadFileText(history + "-journal"), journal) << "the browser's live journal was touched";
    EXPECT_EQ(log_.lines.back(), "Google Chrome is running: close it for its traces to be erased.");
    ASSERT_TRUE(browser.Exec("ROLLBACK"));
    browser.Close();
    EXPECT_EQ(IntegrityOf(history), "ok");
    EXPECT_EQ(Count(history, "SELECT count(*) FROM urls"), 1) << "the held database was left whole";
}

TEST_F(CurrentBrowsersTest, ACacheFileTheBrowserHoldsIsListedAndTheOthersAreWiped) {
    MakeFirefoxProfile("abc.default", false);
    const std::string held = Firefox("abc.default\\cache2\\entries\\ABCDEF");
    MakeFile(Firefox("abc.default\\cache2\\entries\\FREE"), 500);
    FileHandle browser(CreateFileW(WidePath(held).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(browser);

    RunFirefox(BrowserTrace::Cache);
    browser.reset();

    EXPECT_EQ(log_.lines, (Lines{"1 files were erased, 500 Bytes hard disk space was released.",
                                 "Firefox is running: close it for its traces to be erased."}));
    EXPECT_TRUE(FileExists(held));
    EXPECT_FALSE(FileExists(Firefox("abc.default\\cache2\\entries\\FREE")));
    ASSERT_EQ(NotErasedEntries.size(), 1u);
    EXPECT_EQ(NotErasedEntries[0].what, held);
}

TEST_F(CurrentBrowsersTest, AProfileThatIsALinkIsNotEnteredAndAMissingBrowserWritesOnlyThePlaceholder) {
    RunChrome(BrowserTrace::History);
    RunFirefox(BrowserTrace::Cookies);
    EXPECT_EQ(log_.lines, (Lines{kPlaceholderLine, kPlaceholderLine}));
    EXPECT_EQ(TotalErasedFileCount, 0);

    MakeChromeProfile("Default");
    const std::string elsewhere = scratch_ / "Elsewhere";
    MakeFolders(elsewhere);
    MakeDatabase(elsewhere + "\\History", std::string(kChromiumHistorySchema) +
                                              "INSERT INTO urls(url, last_visit_time) VALUES('https://x.example', 1);");
    WriteFileText(elsewhere + "\\Preferences", "{}");
    if (!MakeUnixSymlink(elsewhere, Chrome("Profile 2"))) {
        GTEST_SKIP() << "a folder link cannot be made from Linux here";
    }
    RunChrome(BrowserTrace::History);
    RemoveUnixSymlink(Chrome("Profile 2"));
    EXPECT_EQ(Count(elsewhere + "\\History", "SELECT count(*) FROM urls"), 1);
    EXPECT_EQ(Count(Chrome("Default\\History"), "SELECT count(*) FROM urls"), 0);
}

// A preview entry as "<kind> <what> <size>", for comparing whole lists.
std::string Described(const PlanEntry& entry) {
    return std::to_string(entry.kind) + " " + entry.what + " " + std::to_string(entry.size) +
           (entry.why.empty() ? "" : " (" + entry.why + ")");
}

Lines Described(const std::vector<PlanEntry>& entries) {
    Lines lines;
    for (const PlanEntry& entry : entries) {
        lines.push_back(Described(entry));
    }
    return lines;
}

TEST_F(CurrentBrowsersTest, VisitsInTheLogAloneArePreviewedAndErasedWithTheLogWhichIsCountedAndWiped) {
    const std::string places = Firefox("abc.default\\places.sqlite");
    MakeFolders(FolderOf(places));
    ASSERT_NO_FATAL_FAILURE(MakeDatabaseWithLog(
        places,
        std::string(kFirefoxPlacesSchema) + "INSERT INTO moz_places(id, url, title) VALUES(2, '" + kBookmarked +
            "', 'Kept');"
            "INSERT INTO moz_bookmarks VALUES(2, 1, 2, 1, 0, 'Kept page', 'bookmark0001');"
            "CREATE TABLE moz_places_extra(place_id INTEGER PRIMARY KEY, sync_json TEXT);"
            "CREATE TABLE moz_historyvisits_extra(visit_id INTEGER PRIMARY KEY, sync_json TEXT);",
        std::string("INSERT INTO moz_places(id, url, title, visit_count) VALUES(1, 'https://") + kVisitedMarker +
            "/page', 'Marker', 2);"
            "INSERT INTO moz_historyvisits(place_id, visit_date, visit_type) VALUES (1, 1, 1), (1, 2, 1);"
            "INSERT INTO moz_places_extra VALUES(1, '{\"" +
            kVisitedMarker + "\": 1}'), (2, '{}');" + "INSERT INTO moz_historyvisits_extra VALUES(1, '{\"" +
            kVisitedMarker + "\": 2}');"));
    const std::string bytesBefore = BytesBelow(Firefox("abc.default"));
    const int64_t logSize = static_cast<int64_t>(ReadFileText(places + "-wal").size());

    const std::vector<PlanEntry> preview = Preview([&] { RunFirefox(BrowserTrace::History); });
    EXPECT_EQ(Described(preview), (Lines{Described({PlanEntry::DatabaseRows, places, 2}),
                                         Described({PlanEntry::File, places + "-wal", logSize})}))
        << "the log's two visits, and the log itself";
    EXPECT_EQ(BytesBelow(Firefox("abc.default")), bytesBefore) << "a preview changes nothing";

    log_.lines.clear();
    RunFirefox(BrowserTrace::History);
    EXPECT_EQ(log_.lines, (Lines{"1 files were erased, " + FormatByteSize(logSize) + " hard disk space was released.",
                                 "2 history entries were erased."}));
    EXPECT_TRUE(NotErasedEntries.empty());
    for (const std::string& left : {places + "-wal", places + "-wal.erasing", places + "-journal"}) {
        EXPECT_FALSE(FileExists(left)) << left;
    }
    EXPECT_EQ(Texts(places, "PRAGMA journal_mode"), Lines{"wal"});
    EXPECT_EQ(IntegrityOf(places), "ok");
    EXPECT_EQ(Texts(places, "SELECT url FROM moz_places"), Lines{kBookmarked});
    EXPECT_EQ(Count(places, "SELECT count(*) FROM moz_historyvisits_extra"), 0);
    EXPECT_EQ(Texts(places, "SELECT place_id FROM moz_places_extra"), Lines{"2"}) << "the bookmarked place's stays";
    EXPECT_EQ(BytesBelow(Firefox("abc.default")).find(kVisitedMarker), std::string::npos);
}

TEST_F(CurrentBrowsersTest, AHotJournalIsRolledBackThenCountedAndWipedAndPreviewedAsAFile) {
    MakeFolders(Chrome("Default"));
    WriteFileText(Chrome("Default\\Preferences"), "{}");
    const std::string history = Chrome("Default\\History");
    ASSERT_NO_FATAL_FAILURE(MakeDatabaseWithHotJournal(
        history,
        std::string(kChromiumHistorySchema) + "INSERT INTO urls(url, last_visit_time) VALUES('https://" +
            kVisitedMarker + "/page', 1); INSERT INTO visits(url, visit_time) VALUES(1, 1), (1, 2);",
        "DELETE FROM visits"));
    const int64_t journalSize = static_cast<int64_t>(ReadFileText(history + "-journal").size());

    const std::vector<PlanEntry> preview = Preview([&] { RunChrome(BrowserTrace::History); });
    EXPECT_EQ(Described(preview), (Lines{Described({PlanEntry::DatabaseRows, history, 2}),
                                         Described({PlanEntry::File, history + "-journal", journalSize})}))
        << "the rows as the erase finds them, once the journal has been played back";
    ASSERT_TRUE(FileExists(history + "-journal")) << "a preview changes nothing";

    log_.lines.clear();
    RunChrome(BrowserTrace::History);
    ASSERT_EQ(log_.lines.size(), 2u);
    EXPECT_EQ(log_.lines[0].rfind("1 files were erased, ", 0), 0u) << log_.lines[0];
    EXPECT_EQ(log_.lines[1], "2 history entries were erased.") << "the interrupted delete was rolled back first";
    EXPECT_FALSE(FileExists(history + "-journal"));
    EXPECT_EQ(IntegrityOf(history), "ok");
    EXPECT_EQ(Texts(history, "SELECT value FROM meta"), Lines{"66"});
    EXPECT_EQ(BytesBelow(Chrome("Default")).find(kVisitedMarker), std::string::npos);
}

TEST_F(CurrentBrowsersTest, TableNamesInABrowsersFileAreOnlyNamesInTheEraseAndInThePreview) {
    MakeChromeProfile("Default");
    const std::string topSites = Chrome("Default\\Top Sites");
    const std::string attached = scratch_ / "attached.db";
    const std::string dropping = "t\"; DROP TABLE \"meta";
    const std::string attaching = "t\"; COMMIT; ATTACH '" + attached + "' AS a; CREATE TABLE a.z(x); --";
    {
        SqliteDatabase db;
        ASSERT_EQ(db.Create(topSites), DatabaseOpen::Opened);
        ASSERT_TRUE(db.Exec("CREATE TABLE meta(key, value); INSERT INTO meta VALUES('version', 5);"
                            "CREATE TABLE t(x); INSERT INTO t VALUES('https://" +
                            std::string(kVisitedMarker) + "');"));
        for (const std::string& name : {dropping, attaching}) {
            ASSERT_TRUE(db.ExecOne("CREATE TABLE " + QuotedIdentifier(name) + "(url)"));
            ASSERT_TRUE(db.ExecOne("INSERT INTO " + QuotedIdentifier(name) + " VALUES('https://" +
                                   std::string(kVisitedMarker) + "/top')"));
        }
    }
    auto rowsIn = [&](const std::string& table) {
        return Count(topSites, "SELECT count(*) FROM " + QuotedIdentifier(table));
    };

    Preview([&] { RunChrome(BrowserTrace::History); });
    EXPECT_EQ(rowsIn("meta"), 1);
    EXPECT_EQ(rowsIn(dropping) + rowsIn(attaching) + rowsIn("t"), 3) << "a preview changes nothing";
    EXPECT_FALSE(FileExists(attached));

    RunChrome(BrowserTrace::History);
    EXPECT_EQ(rowsIn("meta"), 1) << "the database's own bookkeeping stays";
    EXPECT_EQ(rowsIn(dropping) + rowsIn(attaching) + rowsIn("t"), 0);
    EXPECT_FALSE(FileExists(attached));
    EXPECT_EQ(IntegrityOf(topSites), "ok");
    EXPECT_TRUE(NotErasedEntries.empty());
}

TEST_F(CurrentBrowsersTest, FirefoxPageIconsOfVisitedPagesGoAndABookmarksStay) {
    MakeFirefoxProfile("abc.default", false);
    const std::string favicons = Firefox("abc.default\\favicons.sqlite");
    const std::string visited = std::string("https://") + kVisitedMarker;
    MakeDatabase(favicons,
                 "CREATE TABLE moz_icons(id INTEGER PRIMARY KEY, icon_url TEXT NOT NULL, fixed_icon_url_hash INTEGER"
                 " NOT NULL, width INTEGER NOT NULL DEFAULT 0, root INTEGER NOT NULL DEFAULT 0, color INTEGER,"
                 " expire_ms INTEGER NOT NULL DEFAULT 0, data BLOB);"
                 "CREATE TABLE moz_pages_w_icons(id INTEGER PRIMARY KEY, page_url TEXT NOT NULL,"
                 " page_url_hash INTEGER NOT NULL);"
                 "CREATE TABLE moz_icons_to_pages(page_id INTEGER NOT NULL, icon_id INTEGER NOT NULL,"
                 " expire_ms INTEGER NOT NULL DEFAULT 0, PRIMARY KEY (page_id, icon_id)) WITHOUT ROWID;"
                 "INSERT INTO moz_pages_w_icons VALUES(1, '" +
                     std::string(kBookmarked) + "', 1), (2, '" + visited +
                     "/page', 2);"
                     "INSERT INTO moz_icons(id, icon_url, fixed_icon_url_hash, root) VALUES"
                     " (1, 'https://bookmarked.example/kept-icon.png', 1, 0),"
                     " (2, '" +
                     visited +
                     "/page-icon.png', 2, 0),"
                     " (3, 'https://bookmarked.example/favicon.ico', 3, 1),"
                     " (4, '" +
                     visited +
                     "/favicon.ico', 4, 1);"
                     "INSERT INTO moz_icons_to_pages(page_id, icon_id) VALUES(1, 1), (2, 2);");

    RunFirefox(BrowserTrace::History);

    EXPECT_EQ(Texts(favicons, "SELECT page_url FROM moz_pages_w_icons"), Lines{kBookmarked});
    EXPECT_EQ(Texts(favicons, "SELECT icon_url FROM moz_icons ORDER BY id"),
              (Lines{"https://bookmarked.example/kept-icon.png", "https://bookmarked.example/favicon.ico"}));
    EXPECT_EQ(Count(favicons, "SELECT count(*) FROM moz_icons_to_pages"), 1);
    EXPECT_EQ(IntegrityOf(favicons), "ok");
    EXPECT_FALSE(FileExists(favicons + "-journal"));
    EXPECT_EQ(ReadFileText(favicons).find(kVisitedMarker), std::string::npos);
    EXPECT_EQ(log_.lines.back(), "5 history entries were erased.") << "the icons are not history entries";
    EXPECT_TRUE(NotErasedEntries.empty());
}

TEST_F(CurrentBrowsersTest, AFileThatIsNoDatabaseATruncatedOneAndAnEmptyOneAreLeftAsTheyAreAndListed) {
    for (const char* profile : {"Default", "Profile 1", "Profile 2", "Profile 3"}) {
        MakeChromeProfile(profile);
    }
    const std::string history = ReadFileText(Chrome("Profile 1\\History"));
    ASSERT_GT(history.size(), 8192u);
    const std::map<std::string, std::string> bad = {
        {Chrome("Default\\History"), "This is a text file, not a database, though long enough to look like one."},
        {Chrome("Profile 1\\History"), history.substr(0, 4096)},
        {Chrome("Profile 2\\History"), ""},
    };
    for (const auto& [path, bytes] : bad) {
        WriteFileText(path, bytes);
    }

    RunChrome(BrowserTrace::History);

    for (const auto& [path, bytes] : bad) {
        EXPECT_EQ(ReadFileText(path), bytes) << path << " was changed";
        EXPECT_FALSE(FileExists(path + "-journal")) << path;
    }
    std::map<std::string, std::string> listed;
    for (const NotErasedEntry& entry : NotErasedEntries) {
        listed[entry.what] = entry.why;
    }
    EXPECT_EQ(listed, (std::map<std::string, std::string>{
                          {Chrome("Default\\History"), "database error: file is not a database"},
                          {Chrome("Profile 1\\History"), "database error: database disk image is malformed"},
                          {Chrome("Profile 2\\History"), "database error: the file is empty, not a database"}}));
    EXPECT_EQ(log_.lines.back(), "3 history entries were erased.") << "the run goes on to the good profile";
    EXPECT_EQ(Count(Chrome("Profile 3\\History"), "SELECT count(*) FROM urls"), 0);
}

TEST_F(CurrentBrowsersTest, ADatabaseABrowserLocksIsPreviewedAsInUseAsTheEraseFindsIt) {
    MakeChromeProfile("Default");
    const std::string cookies = Chrome("Default\\Network\\Cookies");
    SqliteDatabase browser;
    ASSERT_EQ(browser.Open(cookies), DatabaseOpen::Opened);
    ASSERT_TRUE(browser.Exec("PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE"));
    const std::string before = ReadFileText(cookies);

    const std::vector<PlanEntry> preview = Preview([&] { RunChrome(BrowserTrace::Cookies); });
    EXPECT_EQ(Described(preview), Lines{Described({PlanEntry::NotErasable, cookies, 0, "in use by another program"})});

    RunChrome(BrowserTrace::Cookies);
    EXPECT_EQ(log_.lines.back(), "Google Chrome is running: close it for its traces to be erased.");
    ASSERT_EQ(NotErasedEntries.size(), 1u);
    EXPECT_EQ(NotErasedEntries[0].why, "in use by another program");
    ASSERT_TRUE(browser.Exec("COMMIT"));
    browser.Close();
    EXPECT_EQ(ReadFileText(cookies), before);
}

TEST(CookieHostKept, ADotKeepsTheSubDomainsAndCaseDoesNotMatter) {
    const Lines kept = {"Kept.example", ".wide.example"};
    struct Case {
        const char* host;
        bool kept;
    };
    for (const Case& c : {Case{"kept.example", true}, Case{".kept.example", true}, Case{"www.kept.example", false},
                          Case{"notkept.example", false}, Case{"wide.example", true}, Case{".wide.example", true},
                          Case{"a.b.wide.example", true}, Case{"xwide.example", false}, Case{"example", false}}) {
        EXPECT_EQ(CookieHostKept(c.host, kept), c.kept) << c.host;
    }
    EXPECT_FALSE(CookieHostKept("kept.example", {}));
    EXPECT_FALSE(CookieHostKept("", {""}));
}

TEST(RowsErasedLine, CountsLikeTheRegistryLine) {
    EXPECT_EQ(RowsErasedLine(0, "cookie", "cookies"), "0 cookie was erased.");
    EXPECT_EQ(RowsErasedLine(1, "history entry", "history entries"), "1 history entry was erased.");
    EXPECT_EQ(RowsErasedLine(215, "history entry", "history entries"), "215 history entries were erased.");
}

} // namespace
