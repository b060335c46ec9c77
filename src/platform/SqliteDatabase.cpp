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

const char kNotOneStatement[] = "the SQL text is not exactly one statement";

// The one statement of sql, compiled; empty when it does not compile, or when sql holds no
// statement or more than one (error then says why). Text left after the statement may only be
// spaces, comments and semicolons.
Statement PrepareOne(sqlite3* db, const std::string& sql, std::string& error) {
    sqlite3_stmt* compiled = nullptr;
    const char* rest = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &compiled, &rest) != SQLITE_OK) {
        error = sqlite3_errmsg(db);
        return Statement();
    }
    Statement statement(compiled);
    sqlite3_stmt* next = nullptr;
    const int more = rest ? sqlite3_prepare_v2(db, rest, -1, &next, nullptr) : SQLITE_OK;
    Statement following(next);
    if (!statement || more != SQLITE_OK || following) {
        error = kNotOneStatement;
        return Statement();
    }
    return statement;
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

// SQLite's locks on Windows are byte ranges one gibibyte into the file, where no page is ever
// read or written: the pending byte, the reserved byte, then the range that readers share.
constexpr DWORD kPendingByte = 0x40000000;
constexpr DWORD kReservedByte = kPendingByte + 1;
constexpr DWORD kSharedFirst = kPendingByte + 2;
constexpr DWORD kSharedSize = 510;

// Whether an edit could take every lock it needs now: each range is locked exclusively, without
// waiting, and released at once. A file that cannot be opened to ask answers true (its read says
// why).
bool EditLocksFree(const std::string& path) {
    FileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return true;
    }
    const std::pair<DWORD, DWORD> ranges[] = {{kPendingByte, 1}, {kReservedByte, 1}, {kSharedFirst, kSharedSize}};
    for (const auto& [first, size] : ranges) {
        OVERLAPPED at{};
        at.Offset = first;
        if (!LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, size, 0, &at)) {
            return false;
        }
        UnlockFileEx(file.get(), 0, size, 0, &at);
    }
    return true;
}

uint32_t BigEndianWord(const std::string& bytes, size_t at) {
    uint32_t word = 0;
    for (size_t i = 0; i < 4; ++i) {
        word = (word << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return word;
}

uint32_t LittleEndianWord(const std::string& bytes, size_t at) {
    uint32_t word = 0;
    for (size_t i = 4; i-- > 0;) {
        word = (word << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return word;
}

// The running checksum of a write-ahead log over size bytes at offset at (a multiple of 8).
struct LogChecksum {
    bool bigEndian;
    uint32_t first = 0;
    uint32_t second = 0;

    void Add(const std::string& bytes, size_t at, size_t size) {
        for (size_t i = at; i + 8 <= at + size; i += 8) {
            first += (bigEndian ? BigEndianWord(bytes, i) : LittleEndianWord(bytes, i)) + second;
            second += (bigEndian ? BigEndianWord(bytes, i + 4) : LittleEndianWord(bytes, i + 4)) + first;
        }
    }
    bool Matches(const std::string& bytes, size_t at) const {
        return first == BigEndianWord(bytes, at) && second == BigEndianWord(bytes, at + 4);
    }
};

// Writes the transactions that a write-ahead log holds into the database's bytes, as a checkpoint
// would: each committed frame's page in its place, the file cut or grown to the size of the last
// commit. The log is read up to its first frame that does not belong (another generation's salt,
// a wrong checksum: a torn write); frames after the last commit are left out.
void ApplyWriteAheadLog(std::string& database, const std::string& log) {
    constexpr size_t kLogHeader = 32, kFrameHeader = 24;
    constexpr uint32_t kMagic = 0x377f0682;
    if (log.size() < kLogHeader || (BigEndianWord(log, 0) & ~1u) != kMagic) {
        return;
    }
    const size_t pageSize = BigEndianWord(log, 8);
    LogChecksum sum{(BigEndianWord(log, 0) & 1u) != 0};
    sum.Add(log, 0, 24);
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0 || !sum.Matches(log, 24)) {
        return;
    }
    std::vector<std::pair<size_t, size_t>> uncommitted; // page number, offset of its bytes in the log
    for (size_t frame = kLogHeader; frame + kFrameHeader + pageSize <= log.size(); frame += kFrameHeader + pageSize) {
        const size_t page = BigEndianWord(log, frame);
        sum.Add(log, frame, 8);
        sum.Add(log, frame + kFrameHeader, pageSize);
        if (page == 0 || log.compare(frame + 8, 8, log, 16, 8) != 0 || !sum.Matches(log, frame + 16)) {
            return;
        }
        uncommitted.emplace_back(page, frame + kFrameHeader);
        const size_t pagesAfterCommit = BigEndianWord(log, frame + 4);
        if (pagesAfterCommit == 0) {
            continue;
        }
        for (const auto& [number, at] : uncommitted) {
            const size_t offset = (number - 1) * pageSize;
            database.resize(std::max(database.size(), offset + pageSize));
            database.replace(offset, pageSize, log, at, pageSize);
        }
        uncommitted.clear();
        database.resize(pagesAfterCommit * pageSize);
    }
}

bool IsPowerOfTwoBetween(size_t value, size_t least, size_t most) {
    return value >= least && value <= most && (value & (value - 1)) == 0;
}

// Plays a hot journal back into the database's bytes, as SQLite does at its first read after a
// program died while writing: each record's page (as it was before the interrupted transaction) in
// its place, and the file cut to the size it had before. Each segment of the journal holds the
// records its header counts; reading stops at a record whose checksum fails (never written whole).
// A journal whose header is zeroed (one kept after its transaction) is not hot: nothing happens.
void RollBackHotJournal(std::string& database, const std::string& journal) {
    constexpr char kMagic[] = "\xd9\xd5\x05\xf9\x20\xa1\x63\xd7";
    constexpr size_t kHeader = 28;
    constexpr uint32_t kRecordsToTheEnd = 0xffffffff;
    bool first = true;
    for (size_t at = 0; at + kHeader <= journal.size() && journal.compare(at, 8, kMagic, 8) == 0;) {
        uint32_t records = BigEndianWord(journal, at + 8);
        const uint32_t checksumStart = BigEndianWord(journal, at + 12);
        const size_t sector = BigEndianWord(journal, at + 20), pageSize = BigEndianWord(journal, at + 24);
        if (!IsPowerOfTwoBetween(sector, 32, 65536) || !IsPowerOfTwoBetween(pageSize, 512, 65536)) {
            return;
        }
        // The first segment's header holds the size before the transaction, restored at the end.
        const size_t pagesBefore = first ? BigEndianWord(journal, at + 16) : database.size() / pageSize;
        first = false;
        at += sector;
        if (records == kRecordsToTheEnd) {
            records = static_cast<uint32_t>((journal.size() - std::min(journal.size(), at)) / (pageSize + 8));
        }
        for (uint32_t record = 0; record < records; ++record, at += pageSize + 8) {
            if (at + pageSize + 8 > journal.size()) {
                return;
            }
            uint32_t checksum = checksumStart;
            for (size_t i = pageSize - 200; i > 0 && i < pageSize; i -= 200) {
                checksum += static_cast<unsigned char>(journal[at + 4 + i]);
            }
            const size_t page = BigEndianWord(journal, at);
            if (page == 0 || checksum != BigEndianWord(journal, at + 4 + pageSize)) {
                return;
            }
            const size_t offset = (page - 1) * pageSize;
            database.resize(std::max(database.size(), offset + pageSize));
            database.replace(offset, pageSize, journal, at + 4, pageSize);
        }
        database.resize(pagesBefore * pageSize);
        at = (at + sector - 1) / sector * sector;
    }
}

DatabaseOpen TakeOpened(sqlite3* opened, int result, bool forEdit, sqlite3*& db, std::string& error);

// Opens the database and reads its schema once. On anything but Opened, db is left null and error
// says why.
DatabaseOpen OpenConnection(const std::string& path, int flags, bool forEdit, sqlite3*& db, std::string& error) {
    db = nullptr;
    if (FileExists(path) && HeldWithoutSharing(path)) {
        error = "the file is in use by another program";
        return DatabaseOpen::Locked;
    }
    // The long-path variant of SQLite's Windows layer takes the "\\?\" form that WidePath gives a
    // path too long for the classic limit; shorter paths pass unchanged.
    sqlite3* opened = nullptr;
    int result = sqlite3_open_v2(Narrow(WidePath(path)).c_str(), &opened, flags, "win32-longpath");
    return TakeOpened(opened, result, forEdit, db, error);
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
    if (!EditLocksFree(path)) {
        error = "database is locked";
        return DatabaseOpen::Locked;
    }
    // A database kept in write-ahead-log mode is read with its log's transactions written in, as
    // one with a rollback journal: memory holds no log. One in rollback mode is read as the edit
    // will find it, after its hot journal (if it has one) has been played back.
    constexpr size_t kWriteVersion = 18, kReadVersion = 19;
    std::string beside;
    if (bytes.size() > kReadVersion && bytes[kWriteVersion] == 2 && bytes[kReadVersion] == 2) {
        if (ReadWholeFile(path + "-wal", beside)) {
            ApplyWriteAheadLog(bytes, beside);
        }
        bytes[kWriteVersion] = bytes[kReadVersion] = 1;
    } else if (!bytes.empty() && ReadWholeFile(path + "-journal", beside)) {
        RollBackHotJournal(bytes, beside);
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
    return TakeOpened(opened, result, false, db, error);
}

// What every connection is set to before its first read. No database may be attached to it, so
// that no SQL run on another program's file can reach a file beside it. For an edit, its locks are
// kept until it closes and its journal is never cut short (SqliteDatabase::OpenForEdit).
int SetUpConnection(sqlite3* db, bool forEdit) {
    sqlite3_busy_timeout(db, 0);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    return forEdit ? sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE; PRAGMA journal_size_limit=-1", nullptr, nullptr,
                                  nullptr)
                   : SQLITE_OK;
}

// The text of a pragma's one answer; "" when it has none.
std::string PragmaAnswer(sqlite3* db, const std::string& pragma) {
    std::string error;
    Statement statement = PrepareOne(db, pragma, error);
    if (!statement || sqlite3_step(statement.get()) != SQLITE_ROW) {
        return {};
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
    return text ? text : "";
}

// A connection in exclusive locking mode keeps a journal it rolled back, but its close leaves that
// mode and would delete the journal: a database in rollback mode is therefore kept in the
// persistent journal mode from here on. One in write-ahead-log mode stays in it for the caller to
// leave. False when the mode cannot be read or set.
bool KeepJournalAtClose(sqlite3* db) {
    const std::string mode = PragmaAnswer(db, "PRAGMA journal_mode");
    return mode == "wal" || PragmaAnswer(db, "PRAGMA journal_mode=PERSIST") == "persist";
}

// Reads the schema of a connection just opened; on anything but Opened, closes it, leaves db null
// and error says why.
DatabaseOpen TakeOpened(sqlite3* opened, int result, bool forEdit, sqlite3*& db, std::string& error) {
    DatabaseOpen outcome = DatabaseOpen::Opened;
    if (result == SQLITE_OK) {
        result = SetUpConnection(opened, forEdit);
    }
    if (result != SQLITE_OK) {
        const bool sharing = opened && IsSharingError(static_cast<DWORD>(sqlite3_system_errno(opened)));
        outcome = IsLockCode(result) || sharing ? DatabaseOpen::Locked : DatabaseOpen::Failed;
    } else {
        // A file that is no database, or one a writer has locked, shows here, not at the open.
        Statement schema = PrepareOne(opened, "SELECT count(*) FROM sqlite_master", error);
        result = schema ? sqlite3_step(schema.get()) : sqlite3_errcode(opened);
        if (result != SQLITE_ROW) {
            outcome = IsLockCode(result) ? DatabaseOpen::Locked : DatabaseOpen::Failed;
        } else if (forEdit && !KeepJournalAtClose(opened)) {
            outcome = DatabaseOpen::Failed;
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
    Statement statement = PrepareOne(db, sql, error);
    if (!statement) {
        return -1;
    }
    bool bound = true;
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
    return OpenConnection(path, SQLITE_OPEN_READWRITE, false, db_, error_);
}

DatabaseOpen SqliteDatabase::OpenForEdit(const std::string& path) {
    Close();
    if (!FileExists(path)) {
        error_ = "no such file";
        return DatabaseOpen::Missing;
    }
    return OpenConnection(path, SQLITE_OPEN_READWRITE, true, db_, error_);
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
    return OpenConnection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, false, db_, error_);
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

bool SqliteDatabase::Vacuum() {
    if (!db_) {
        error_ = kNotOpen;
        return false;
    }
    sqlite3_limit(db_, SQLITE_LIMIT_ATTACHED, 1);
    const bool vacuumed = ExecOne("VACUUM");
    sqlite3_limit(db_, SQLITE_LIMIT_ATTACHED, 0);
    return vacuumed;
}

bool SqliteDatabase::ExecOne(const std::string& sql) {
    if (!db_) {
        error_ = kNotOpen;
        return false;
    }
    Statement statement = PrepareOne(db_, sql, error_);
    if (!statement) {
        return false;
    }
    if (!RunToEnd(statement.get())) {
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
    Statement statement = PrepareOne(db_, sql, error_);
    if (!statement) {
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
    Statement statement = PrepareOne(db_, sql, error_);
    if (!statement) {
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
    Statement statement = PrepareOne(db_, sql, error_);
    if (!statement) {
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

std::string QuotedIdentifier(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string SqliteVersion() { return sqlite3_libversion(); }
