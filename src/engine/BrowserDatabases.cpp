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

// The files SQLite keeps beside a database, and which of them held anything before the edit: a
// journal or log there before holds a past transaction's pages, a trace counted as any. One the
// edit itself leaves is its own working file: wiped, but no trace of the user's.
struct DatabaseLogs {
    explicit DatabaseLogs(const std::string& path)
        : journal(path + "-journal"), log(path + "-wal"), journalBefore(FileExists(journal)),
          logBefore(FileSizeByReading(log).value_or(0) > 0) {}

    // Wipes the file through the gate, counted when it was there before the edit.
    void Erase(const std::string& file, bool before, const std::string& method, int32_t passes,
               ProgressLog& progress) const {
        if (before) {
            EraseNamedFile(file, method, passes, progress);
        } else if (FileExists(file)) {
            EraseWalkedFile(file, method, passes);
        }
    }

    std::string journal;
    std::string log;
    bool journalBefore;
    bool logBefore;
};

// The edit made on the database's copy in memory: the rows it would remove are recorded in the plan,
// with the journal and log left beside the database, which the edit would wipe.
DatabaseEditResult FindDatabaseEdit(SqliteDatabase& copy, const std::string& path, const DatabaseLogs& logs,
                                    const DatabaseEditor& edit, const std::string& method, int32_t passes,
                                    ProgressLog& progress) {
    int64_t rows = 0;
    if (!EditInTransaction(copy, edit, rows)) {
        NoteDatabaseNotErased(path, DatabaseEdit::Failed, copy.LastError());
        return {DatabaseEdit::Failed, 0};
    }
    copy.Close();
    if (rows > 0) {
        AddPlanEntry({PlanEntry::DatabaseRows, path, rows});
    }
    logs.Erase(logs.journal, logs.journalBefore, method, passes, progress);
    logs.Erase(logs.log, logs.logBefore, method, passes, progress);
    return {DatabaseEdit::Done, rows};
}

// Leaves write-ahead-log mode (when the database is in it) for a rollback journal that is kept on
// disk: it holds the old pages, removed rows and all, until it is wiped; one kept in memory would
// leave a torn database after a crash. SQLite first writes the log's transactions into the
// database, then deletes the log without overwriting it: a second name given to the log beforehand
// keeps its blocks, which are wiped through that name while this connection still holds the
// database. False, with no row changed, when the mode could not be changed.
bool LeaveForPersistentJournal(SqliteDatabase& db, bool writeAheadLog, const DatabaseLogs& logs,
                               const std::string& method, int32_t passes, ProgressLog& progress) {
    const std::string secondName = logs.log + ".erasing";
    bool linked = false;
    if (writeAheadLog && FileExists(logs.log)) {
        if (FileExists(secondName)) {
            EraseWalkedFile(secondName, method, passes); // left by a run that never ended
        }
        linked = LinkFile(logs.log, secondName);
    }
    std::vector<std::string> mode = db.QueryTexts("PRAGMA journal_mode=PERSIST");
    const bool left = !mode.empty() && LowerCase(mode.front()) == "persist";
    if (linked) {
        // Still the log's other name when the mode stayed: then only that name goes.
        logs.Erase(secondName, left && logs.logBefore, method, passes, progress);
    } else if (left && logs.logBefore) {
        NoteNotErased(logs.log,
                      "deleted by SQLite without being overwritten: its drive cannot give a file a second name");
    }
    // A log still there beside a database out of its mode would be replayed over the edit.
    return left && !FileExists(logs.log);
}

// Puts a database that was in write-ahead-log mode back in it, once no log is left beside it.
void ReturnToWriteAheadLog(const std::string& path, const DatabaseLogs& logs) {
    SqliteDatabase db;
    if (!FileExists(logs.log) && db.Open(path) == DatabaseOpen::Opened) {
        db.QueryTexts("PRAGMA journal_mode=WAL");
    }
}

} // namespace

DatabaseEditResult EditBrowserDatabase(const std::string& path, const DatabaseEditor& edit, const std::string& method,
                                       int32_t passes, ProgressLog& log) {
    if (KeptByUser(path)) {
        return {DatabaseEdit::Missing, 0}; // kept by the user: not opened, not counted
    }
    if (FileExists(path) && FileSizeByReading(path).value_or(-1) == 0) {
        NoteDatabaseNotErased(path, DatabaseEdit::Failed, "the file is empty, not a database");
        return {DatabaseEdit::Failed, 0};
    }
    const DatabaseLogs logs(path);
    SqliteDatabase db;
    const bool finding = FindingPlan();
    switch (finding ? db.OpenCopy(path) : db.OpenForEdit(path)) {
    case DatabaseOpen::Opened:
        break;
    case DatabaseOpen::Missing:
        return {DatabaseEdit::Missing, 0};
    case DatabaseOpen::Locked:
        NoteDatabaseNotErased(path, DatabaseEdit::InUse, {});
        return {DatabaseEdit::InUse, 0};
    case DatabaseOpen::Failed:
        NoteDatabaseNotErased(path, DatabaseEdit::Failed, db.LastError());
        return {DatabaseEdit::Failed, 0};
    }
    if (finding) {
        return FindDatabaseEdit(db, path, logs, edit, method, passes, log);
    }
    std::vector<std::string> mode = db.QueryTexts("PRAGMA journal_mode");
    const bool writeAheadLog = !mode.empty() && LowerCase(mode.front()) == "wal";
    // Secure deletion zeroes the removed rows' bytes before the commit; the vacuum then leaves no
    // free page. The connection holds the database from its first write to its close, so the
    // vacuum cannot find it locked.
    int64_t rows = 0;
    const bool committed = db.Exec("PRAGMA temp_store=MEMORY; PRAGMA secure_delete=ON") &&
                           LeaveForPersistentJournal(db, writeAheadLog, logs, method, passes, log) &&
                           EditInTransaction(db, edit, rows);
    const std::string error = db.LastError();
    if (committed) {
        // A vacuum that fails (a full disk) leaves free pages in the file, zeroed by the secure
        // deletion: the rows are gone all the same, and counted.
        db.Vacuum();
    }
    db.Close();
    // A browser that holds the database keeps the journal beside it as its own, live one: that
    // journal is left alone.
    const bool heldByBrowser = !committed && error.find("locked") != std::string::npos;
    if (!heldByBrowser) {
        logs.Erase(logs.journal, logs.journalBefore, method, passes, log);
    }
    if (writeAheadLog) {
        ReturnToWriteAheadLog(path, logs);
    }
    if (!committed) {
        DatabaseEdit outcome = heldByBrowser ? DatabaseEdit::InUse : DatabaseEdit::Failed;
        NoteDatabaseNotErased(path, outcome, error.empty() ? "the journal mode could not be changed" : error);
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
        if (!db.ExecOne("DELETE FROM " + QuotedIdentifier(table))) {
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
    std::vector<std::string> hosts =
        db.QueryTexts("SELECT DISTINCT " + QuotedIdentifier(hostColumn) + " FROM " + QuotedIdentifier(table));
    hosts.erase(std::remove_if(hosts.begin(), hosts.end(),
                               [&](const std::string& host) { return CookieHostKept(host, keptSites); }),
                hosts.end());
    return db.ExecForEach("DELETE FROM " + QuotedIdentifier(table) + " WHERE " + QuotedIdentifier(hostColumn) + " = ?",
                          hosts);
}

std::vector<std::string> CookieSitesIn(const std::string& path, const char* table, const char* hostColumn) {
    SqliteDatabase db;
    if (db.OpenCopy(path) != DatabaseOpen::Opened || !db.HasTable(table)) {
        return {};
    }
    std::vector<std::string> sites;
    for (const std::string& host :
         db.QueryTexts("SELECT DISTINCT " + QuotedIdentifier(hostColumn) + " FROM " + QuotedIdentifier(table))) {
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
