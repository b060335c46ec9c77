// The SQLite databases of today's browsers (history, cookies, form data, saved passwords): rows
// removed in place, so that the browser keeps a working database, with no readable trace of the
// removed rows left in the file or its journal; and the sites whose cookies the user keeps.
#pragma once

#include "engine/ProgressLog.h"
#include "platform/SqliteDatabase.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

enum class DatabaseEdit {
    Done,
    Missing, // no such database: nothing to do
    InUse,   // the browser holds it; left as it is and noted as not erased
    Failed,  // not a database, or the edit failed and was rolled back; noted as not erased
};

struct DatabaseEditResult {
    DatabaseEdit outcome;
    int64_t rows; // the rows the edit removed; 0 unless Done
};

// The edit of one database: removes rows and returns how many of those it counts, or -1 on an
// SQL error.
using DatabaseEditor = std::function<int64_t(SqliteDatabase&)>;

// Runs edit on the database at path in one transaction with secure deletion on (the removed rows'
// bytes are zeroed), then vacuums the file so that no free page keeps them. No file beside the
// database is ever left for SQLite to delete unread: a journal left hot by a browser that died is
// kept when SQLite rolls it back, and the write-ahead log of a database in that mode is kept whole
// when the database leaves it; each is wiped with the method, and counted as an erased file when it
// was there before the edit (a past transaction's), not when the edit made it. A database that was
// in write-ahead-log mode is put back in it once no log is left beside it. While an erase plan is
// being found, the edit runs on a copy in memory (with the log's transactions) and only its removed
// rows and the files it would wipe are recorded. On an error the transaction is rolled back: the
// database is as it was. An empty file is no database: left as it is and noted.
DatabaseEditResult EditBrowserDatabase(const std::string& path, const DatabaseEditor& edit, const std::string& method,
                                       int32_t passes, ProgressLog& log);

// Deletes every row of each table that exists; returns the rows removed, or -1 on an error.
int64_t DeleteAllRows(SqliteDatabase& db, std::initializer_list<const char*> tables);

// Whether a cookie of host (as a browser stores it: "www.example.com", ".example.com") belongs to
// a kept site. A kept "example.com" keeps the cookies of that host, set for it alone or for its
// domain (".example.com"); a kept ".example.com" also keeps those of every sub-domain. Case is
// ignored.
bool CookieHostKept(std::string_view host, const std::vector<std::string>& keptSites);

// Deletes the rows of table whose host column names no kept site; returns the rows removed, or -1.
int64_t DeleteCookiesNotKept(SqliteDatabase& db, const char* table, const char* hostColumn,
                             const std::vector<std::string>& keptSites);

// The sites of the cookies in table: the hosts as the browser keeps them (a domain cookie's with its
// leading dot, which keeps the sub-domains too), in lower case, each once, sorted. The file is only
// read, never changed. Empty when the database cannot be read (a browser holds it).
std::vector<std::string> CookieSitesIn(const std::string& path, const char* table, const char* hostColumn);

// "<n> <singular> was erased." for 0 and 1, "<n> <plural> were erased." otherwise, as the registry
// result line counts.
std::string RowsErasedLine(int64_t count, const char* singular, const char* plural);
