// SQLite databases of other programs, opened in place with UTF-8 paths.
#include "platform/SqliteDatabase.h"

#include "platform/Files.h"
#include "platform/Handle.h"
#include "platform/Text.h"

#include <sqlite3.h>

#include <algorithm>

#include <windows.h>

namespace {

struct StatementTraits {
    using pointer = sqlite3_stmt*;
    static pointer invalid() noexcept { return nullptr; }
    static void close(pointer statement) noexcept { sqlite3_finalize(statement); }
};
using Statement = unique_handle<StatementTraits>;

// The first statement of sql, compiled; empty when it does not compile (or sql holds none).
Statement Prepare(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    return Statement(statement);
}

bool BindText(sqlite3_stmt* statement, int index, const std::string& text) {
    return sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT) ==
           SQLITE_OK;
}

// Steps through every row the statement answers; true when it ran to its end.
bool RunToEnd(sqlite3_stmt* statement) {
    int result;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
    }
    return result == SQLITE_DONE;
}

bool IsLockCode(int code) {
    code &= 0xff; // the primary code of an extended one
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

bool IsSharingError(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }

// True when another program holds the file open without sharing it for reading and writing.
// SQLite would find the same, but only after about a second and a half of retries.
bool HeldWithoutSharing(const std::string& path) {
    FileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file && IsSharingError(GetLastError());
}

DatabaseOpen TakeOpened(sqlite3* opened, int result, sqlite3*& db, std::string& error);

// Opens the database and reads its schema once. On anything but Opened, db is left null and error
// says why.
DatabaseOpen OpenConnection(const std::string& path, int flags, sqlite3*& db, std::string& error) {
    db = nullptr;
    if (FileExists(path) && HeldWithoutSharing(path)) {
        error = "the file is in use by another program";
        return DatabaseOpen::Locked;
    }
    // The long-path variant of SQLite's Windows layer takes the "\\?\" form that WidePath gives a
    // path too long for the classic limit; shorter paths pass unchanged.
    sqlite3* opened = nullptr;
    int result = sqlite3_open_v2(Narrow(WidePath(path)).c_str(), &opened, flags, "win32-longpath");
    return TakeOpened(opened, result, db, error);
}

// A copy of the file's bytes as a database in memory: what the file holds now, to be changed
// without the file ever being opened for writing.
DatabaseOpen OpenCopyInMemory(const std::string& path, sqlite3*& db, std::string& error) {
    db = nullptr;
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        const bool held = IsSharingError(GetLastError());
        error = held ? "the file is in use by another program" : "the file cannot be read";
        return held ? DatabaseOpen::Locked : DatabaseOpen::Failed;
    }
    // A database kept in write-ahead-log mode is read here as one with a rollback journal: memory
    // holds no log (the rows still in the log beside it are not in the copy).
    constexpr size_t kWriteVersion = 18, kReadVersion = 19;
    if (bytes.size() > kReadVersion && bytes[kWriteVersion] == 2 && bytes[kReadVersion] == 2) {
        bytes[kWriteVersion] = bytes[kReadVersion] = 1;
    }
    sqlite3* opened = nullptr;
    int result = sqlite3_open_v2(":memory:", &opened, SQLITE_OPEN_READWRITE, nullptr);
    if (result == SQLITE_OK) {
        auto* data = static_cast<unsigned char*>(sqlite3_malloc64(bytes.size() ? bytes.size() : 1));
        if (!data) {
            result = SQLITE_NOMEM;
        } else {
            std::copy(bytes.begin(), bytes.end(), data);
            const auto size = static_cast<sqlite3_int64>(bytes.size());
            result = sqlite3_deserialize(opened, "main", data, size, size,
                                         SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE);
        }
    }
    return TakeOpened(opened, result, db, error);
}

// Reads the schema of a connection just opened; on anything but Opened, closes it, leaves db null
// and error says why.
DatabaseOpen TakeOpened(sqlite3* opened, int result, sqlite3*& db, std::string& error) {
    DatabaseOpen outcome = DatabaseOpen::Opened;
    if (result != SQLITE_OK) {
        const bool sharing = opened && IsSharingError(static_cast<DWORD>(sqlite3_system_errno(opened)));
        outcome = IsLockCode(result) || sharing ? DatabaseOpen::Locked : DatabaseOpen::Failed;
    } else {
        sqlite3_busy_timeout(opened, 0);
        // A file that is no database, or one a writer has locked, shows here, not at the open.
        Statement schema = Prepare(opened, "SELECT count(*) FROM sqlite_master");
        result = schema ? sqlite3_step(schema.get()) : sqlite3_errcode(opened);
        if (result != SQLITE_ROW) {
            outcome = IsLockCode(result) ? DatabaseOpen::Locked : DatabaseOpen::Failed;
        }
    }
    if (outcome != DatabaseOpen::Opened) {
        error = opened ? sqlite3_errmsg(opened) : sqlite3_errstr(result);
        sqlite3_close_v2(opened);
        return outcome;
    }
    error.clear();
    db = opened;
    return DatabaseOpen::Opened;
}

const char kNotOpen[] = "no database is open";

// The count a query answers with the texts bound to its parameters in order; -1 on an error, which
// error then says.
int64_t CountRows(sqlite3* db, const char* sql, const std::vector<std::string>& texts, std::string& error) {
    if (!db) {
        error = kNotOpen;
        return -1;
    }
    Statement statement = Prepare(db, sql);
    bool bound = static_cast<bool>(statement);
    for (size_t i = 0; bound && i < texts.size(); ++i) {
        bound = BindText(statement.get(), static_cast<int>(i + 1), texts[i]);
    }
    if (!bound || sqlite3_step(statement.get()) != SQLITE_ROW) {
        error = sqlite3_errmsg(db);
        return -1;
    }
    return sqlite3_column_int64(statement.get(), 0);
}

} // namespace

SqliteDatabase::~SqliteDatabase() { Close(); }

DatabaseOpen SqliteDatabase::Open(const std::string& path) {
    Close();
    if (!FileExists(path)) {
        error_ = "no such file";
        return DatabaseOpen::Missing;
    }
    return OpenConnection(path, SQLITE_OPEN_READWRITE, db_, error_);
}

DatabaseOpen SqliteDatabase::OpenCopy(const std::string& path) {
    Close();
    if (!FileExists(path)) {
        error_ = "no such file";
        return DatabaseOpen::Missing;
    }
    return OpenCopyInMemory(path, db_, error_);
}

DatabaseOpen SqliteDatabase::Create(const std::string& path) {
    Close();
    return OpenConnection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, db_, error_);
}

void SqliteDatabase::Close() {
    // Every statement is finalized where it was made, so the connection closes at once.
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool SqliteDatabase::Exec(const std::string& sql) {
    if (!db_) {
        error_ = kNotOpen;
        return false;
    }
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        error_ = sqlite3_errmsg(db_);
        return false;
    }
    return true;
}

int64_t SqliteDatabase::Changes() const { return db_ ? sqlite3_changes64(db_) : 0; }

int64_t SqliteDatabase::QueryNumber(const std::string& sql, int64_t fallback) {
    if (!db_) {
        error_ = kNotOpen;
        return fallback;
    }
    Statement statement = Prepare(db_, sql);
    if (!statement) {
        error_ = sqlite3_errmsg(db_);
        return fallback;
    }
    const int result = sqlite3_step(statement.get());
    if (result == SQLITE_ROW) {
        return sqlite3_column_int64(statement.get(), 0);
    }
    if (result != SQLITE_DONE) {
        error_ = sqlite3_errmsg(db_);
    }
    return fallback;
}

std::vector<std::string> SqliteDatabase::QueryTexts(const std::string& sql) {
    if (!db_) {
        error_ = kNotOpen;
        return {};
    }
    Statement statement = Prepare(db_, sql);
    if (!statement) {
        error_ = sqlite3_errmsg(db_);
        return {};
    }
    std::vector<std::string> texts;
    int result;
    while ((result = sqlite3_step(statement.get())) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
        // Read after the text: its length is that of the UTF-8 form, which may contain a NUL.
        const int bytes = sqlite3_column_bytes(statement.get(), 0);
        texts.emplace_back(text ? std::string(text, static_cast<size_t>(bytes)) : std::string());
    }
    if (result != SQLITE_DONE) {
        error_ = sqlite3_errmsg(db_);
        return {};
    }
    return texts;
}

int64_t SqliteDatabase::ExecForEach(const std::string& sql, const std::vector<std::string>& texts) {
    if (!db_) {
        error_ = kNotOpen;
        return -1;
    }
    Statement statement = Prepare(db_, sql);
    if (!statement) {
        error_ = sqlite3_errmsg(db_);
        return -1;
    }
    if (sqlite3_bind_parameter_count(statement.get()) != 1) {
        error_ = "the statement must have exactly one parameter";
        return -1;
    }
    // One savepoint for all the texts: outside a transaction that makes one write to the disk
    // instead of one per text, inside one it nests. A failure undoes the texts before it, so -1
    // never hides rows changed.
    if (!Exec("SAVEPOINT for_each_text")) {
        return -1;
    }
    const bool counts = !sqlite3_stmt_readonly(statement.get());
    int64_t changed = 0;
    bool failed = false;
    for (const std::string& text : texts) {
        if (!BindText(statement.get(), 1, text) || !RunToEnd(statement.get())) {
            failed = true;
            break;
        }
        if (counts) {
            changed += sqlite3_changes64(db_);
        }
        sqlite3_reset(statement.get());
    }
    if (!failed) {
        if (Exec("RELEASE for_each_text")) {
            return changed;
        }
    } else {
        error_ = sqlite3_errmsg(db_);
    }
    // A failed RELEASE (its commit found the database locked) leaves the savepoint open as well.
    statement.reset();
    const std::string reason = error_;
    Exec("ROLLBACK TO for_each_text");
    Exec("RELEASE for_each_text");
    error_ = reason;
    return -1;
}

bool SqliteDatabase::HasTable(const std::string& table) {
    // Names compare as SQLite resolves them: ASCII letters without regard to case.
    return CountRows(db_, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE",
                     {table}, error_) > 0;
}

bool SqliteDatabase::HasColumn(const std::string& table, const std::string& column) {
    return CountRows(db_, "SELECT count(*) FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE", {table, column},
                     error_) > 0;
}

std::string SqliteVersion() { return sqlite3_libversion(); }
