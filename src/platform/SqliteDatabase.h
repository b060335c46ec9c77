// SQLite databases of other programs (browsers' history, cookies, form data), opened in place
// with UTF-8 paths. Nothing here creates a database: a missing file stays missing. No connection
// may attach another database, so SQL run on another program's file never reaches one beside it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

enum class DatabaseOpen {
    Opened,
    Missing, // no such file
    Locked,  // another program holds the file (no sharing) or holds a lock on the database
    Failed,  // not a database, or unreadable for another reason
};

class SqliteDatabase {
public:
    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Opens an existing database for reading and writing, with no busy wait: a database another
    // program has locked answers Locked at once. The first read of the schema is made here, so
    // Opened means the file is a database this connection can read. On anything but Opened the
    // object stays closed.
    DatabaseOpen Open(const std::string& path);
    // Opens as Open does, for an edit whose journal the caller wipes afterwards. The connection
    // keeps every lock it takes until Close (exclusive locking mode, set before the first read), so
    // a journal left hot by a program that died while writing is rolled back and kept, its header
    // zeroed, instead of deleted; and once the connection has written, no other program can write
    // or read until it is closed. A database in rollback mode is put in the persistent journal mode
    // (the journal stays, whole, after each transaction and at Close); one in write-ahead-log mode
    // stays in that mode.
    DatabaseOpen OpenForEdit(const std::string& path);
    // Opens a copy of the database in memory: it may be changed freely, and the file is only ever
    // read (sharing every access). Answers as OpenForEdit does: Locked when another program
    // holds a lock that an edit would need (asked of the file's locks, each released at once). A
    // database in write-ahead-log mode is read together with the transactions its log holds; one
    // with a hot journal as it was before the interrupted transaction, as OpenForEdit finds it.
    DatabaseOpen OpenCopy(const std::string& path);
    // Creates the database when it is missing (for tests that build a browser's files).
    DatabaseOpen Create(const std::string& path);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }

    // Runs one or more statements. Returns false on the first error (LastError then says it); the
    // statements before it stay done. Only for SQL written here, never for text built from a
    // database's contents.
    bool Exec(const std::string& sql);
    // Rebuilds the database file without its free pages (VACUUM, which attaches a database of its
    // own for the copy: the one attachment allowed, and only while it runs).
    bool Vacuum();
    // Runs exactly one statement; false, with nothing run, when sql holds more than one (or none).
    bool ExecOne(const std::string& sql);
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int64_t Changes() const;
    // The first column of the first row as a number; fallback when there is no row or an error.
    int64_t QueryNumber(const std::string& sql, int64_t fallback = -1);
    // The first column of every row as text (NULL as ""); empty on error.
    std::vector<std::string> QueryTexts(const std::string& sql);
    // Runs the statement once for each text, bound to its single "?" parameter. Returns the rows
    // changed in all, or -1 on an error.
    int64_t ExecForEach(const std::string& sql, const std::vector<std::string>& texts);
    bool HasTable(const std::string& table);
    bool HasColumn(const std::string& table, const std::string& column);
    // SQLite's message for the latest failure, Open's included. It stays through the calls that
    // succeed after it, so a ROLLBACK after a failed statement leaves the reason readable.
    std::string LastError() const { return error_; }

private:
    sqlite3* db_ = nullptr;
    std::string error_;
};

// name as an SQL identifier in double quotes, any quote in it doubled: safe to build into SQL
// whatever the name holds.
std::string QuotedIdentifier(std::string_view name);

// The SQLite version compiled in ("3.40.1").
std::string SqliteVersion();
