#include "engine/BrowserDatabases.h"

#include "gate/ErasePlan.h"
#include "gate/SafetyGate.h"
#include "engine/FolderWipe.h"
#include "engine/RunState.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <algorithm>

namespace {

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

std::string SiteOfHost(std::string_view host) {
    if (!host.empty() && host.front() == '.') {
        host.remove_prefix(1);
    }
    return LowerCase(host);
}

std::string Quoted(const char* name) { return std::string("\"") + name + "\""; }

// Why a database could not be edited, for the run's account.
void NoteDatabaseNotErased(const std::string& path, DatabaseEdit outcome, const std::string& error) {
    NoteNotErased(path, outcome == DatabaseEdit::InUse ? OpenFailureReason(path, ERROR_SHARING_VIOLATION)
                                                       : "database error: " + error);
}

// The edit inside its transaction; false when anything failed (rolled back then).
bool EditInTransaction(SqliteDatabase& db, const DatabaseEditor& edit, int64_t& rows) {
    if (!db.Exec("BEGIN IMMEDIATE")) {
        return false;
    }
    rows = edit(db);
    if (rows < 0 || !db.Exec("COMMIT")) {
        db.Exec("ROLLBACK");
        return false;
    }
    return true;
}

// The edit made on the database's copy in memory: the rows it would remove are recorded in the plan,
// with a journal left beside the database, which the edit would wipe.
DatabaseEditResult FindDatabaseEdit(SqliteDatabase& copy, const std::string& path, const DatabaseEditor& edit,
                                    const std::string& method, int32_t passes, ProgressLog& log) {
    int64_t rows = 0;
    if (!EditInTransaction(copy, edit, rows)) {
        NoteDatabaseNotErased(path, DatabaseEdit::Failed, copy.LastError());
        return {DatabaseEdit::Failed, 0};
    }
    copy.Close();
    if (rows > 0) {
        AddPlanEntry({PlanEntry::DatabaseRows, path, rows});
    }
    EraseNamedFile(path + "-journal", method, passes, log);
    return {DatabaseEdit::Done, rows};
}

} // namespace

DatabaseEditResult EditBrowserDatabase(const std::string& path, const DatabaseEditor& edit, const std::string& method,
                                       int32_t passes, ProgressLog& log) {
    if (KeptByUser(path)) {
        return {DatabaseEdit::Missing, 0}; // kept by the user: not opened, not counted
    }
    SqliteDatabase db;
    const bool finding = FindingPlan();
    switch (finding ? db.OpenCopy(path) : db.Open(path)) {
    case DatabaseOpen::Opened:
        break;
    case DatabaseOpen::Missing:
        return {DatabaseEdit::Missing, 0};
    case DatabaseOpen::Locked:
        NoteDatabaseNotErased(path, DatabaseEdit::InUse, {});
        return {DatabaseEdit::InUse, 0};
    case DatabaseOpen::Failed:
        NoteDatabaseNotErased(path, DatabaseEdit::Failed, "not a database");
        return {DatabaseEdit::Failed, 0};
    }
    if (finding) {
        return FindDatabaseEdit(db, path, edit, method, passes, log);
    }
    const std::string journal = path + "-journal";
    // A journal there before the edit holds a past transaction's pages: a trace, counted as any.
    // One the edit itself leaves is its own working file: wiped, but no trace of the user's.
    const bool journalBefore = FileExists(journal);
    std::vector<std::string> mode = db.QueryTexts("PRAGMA journal_mode");
    const bool writeAheadLog = !mode.empty() && LowerCase(mode.front()) == "wal";
    // The journal keeps the old pages, removed rows and all, until it is wiped below; a journal
    // kept in memory instead would leave a torn database after a crash.
    int64_t rows = 0;
    bool edited = db.Exec("PRAGMA temp_store=MEMORY; PRAGMA secure_delete=ON") &&
                  !db.QueryTexts("PRAGMA journal_mode=PERSIST").empty() && EditInTransaction(db, edit, rows) &&
                  db.Exec("VACUUM");
    const std::string error = db.LastError();
    db.Close();
    // A browser that opened the database after us holds its lock, and the journal beside it may be
    // its own, live one: that journal is left alone.
    const bool heldByBrowser = !edited && error.find("locked") != std::string::npos;
    if (!heldByBrowser) {
        if (journalBefore) {
            EraseNamedFile(journal, method, passes, log);
        } else {
            EraseWalkedFile(journal, method, passes);
        }
    }
    if (writeAheadLog && db.Open(path) == DatabaseOpen::Opened) {
        db.QueryTexts("PRAGMA journal_mode=WAL");
        db.Close();
    }
    if (!edited) {
        DatabaseEdit outcome = heldByBrowser ? DatabaseEdit::InUse : DatabaseEdit::Failed;
        NoteDatabaseNotErased(path, outcome, error);
        return {outcome, 0};
    }
    return {DatabaseEdit::Done, rows};
}

int64_t DeleteAllRows(SqliteDatabase& db, std::initializer_list<const char*> tables) {
    int64_t rows = 0;
    for (const char* table : tables) {
        if (!db.HasTable(table)) {
            continue;
        }
        if (!db.Exec("DELETE FROM " + Quoted(table))) {
            return -1;
        }
        rows += db.Changes();
    }
    return rows;
}

bool CookieHostKept(std::string_view host, const std::vector<std::string>& keptSites) {
    const std::string site = SiteOfHost(host);
    for (const std::string& entry : keptSites) {
        std::string kept = LowerCase(entry);
        if (kept.empty()) {
            continue;
        }
        if (kept.front() == '.') {
            kept.erase(0, 1);
            if (site.size() > kept.size() && site.compare(site.size() - kept.size(), kept.size(), kept) == 0 &&
                site[site.size() - kept.size() - 1] == '.') {
                return true;
            }
        }
        if (site == kept) {
            return true;
        }
    }
    return false;
}

int64_t DeleteCookiesNotKept(SqliteDatabase& db, const char* table, const char* hostColumn,
                             const std::vector<std::string>& keptSites) {
    if (!db.HasTable(table)) {
        return 0;
    }
    std::vector<std::string> hosts = db.QueryTexts("SELECT DISTINCT " + Quoted(hostColumn) + " FROM " + Quoted(table));
    hosts.erase(std::remove_if(hosts.begin(), hosts.end(),
                               [&](const std::string& host) { return CookieHostKept(host, keptSites); }),
                hosts.end());
    return db.ExecForEach("DELETE FROM " + Quoted(table) + " WHERE " + Quoted(hostColumn) + " = ?", hosts);
}

std::vector<std::string> CookieSitesIn(const std::string& path, const char* table, const char* hostColumn) {
    SqliteDatabase db;
    if (db.Open(path) != DatabaseOpen::Opened || !db.HasTable(table)) {
        return {};
    }
    std::vector<std::string> sites;
    for (const std::string& host : db.QueryTexts("SELECT DISTINCT " + Quoted(hostColumn) + " FROM " + Quoted(table))) {
        std::string site = LowerCase(host);
        if (!site.empty() && site != ".") {
            sites.push_back(site);
        }
    }
    std::sort(sites.begin(), sites.end());
    sites.erase(std::unique(sites.begin(), sites.end()), sites.end());
    return sites;
}

std::string RowsErasedLine(int64_t count, const char* singular, const char* plural) {
    return std::to_string(count) + " " + (count == 0 || count == 1 ? singular : plural) +
           (count == 0 || count == 1 ? " was erased." : " were erased.");
}
