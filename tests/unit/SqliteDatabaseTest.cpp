// SQLite databases opened in place: texts in and out unchanged, errors reported, and the four
// answers of Open (a missing file, a file in use, a file that is no database) on real files.
#include "platform/Files.h"
#include "platform/Handle.h"
#include "platform/SqliteDatabase.h"
#include "platform/Text.h"
#include "support/DatabaseFiles.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <ostream>

// Open's answers by name in a failure's message.
void PrintTo(DatabaseOpen answer, std::ostream* out) {
    const char* const names[] = {"Opened", "Missing", "Locked", "Failed"};
    *out << names[static_cast<int>(answer)];
}

namespace {

// Texts a browser stores and the engine binds: quotes of both kinds, non-ASCII letters, a NUL.
const std::vector<std::string> kAwkwardTexts = {
    "it's \"quoted\"",
    "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xD0\x96 \xF0\x9F\x98\x80",
    std::string("before\0after", 12),
    "'; DROP TABLE urls; --",
};

// A database with one table of texts, created at path.
void CreateUrlTable(SqliteDatabase& db, const std::string& path) {
    ASSERT_EQ(db.Create(path), DatabaseOpen::Opened) << db.LastError();
    ASSERT_TRUE(db.Exec("CREATE TABLE urls(id INTEGER PRIMARY KEY, url TEXT UNIQUE, visits INTEGER)"))
        << db.LastError();
}

int64_t MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

TEST(SqliteDatabase, TextsBoundForEachComeBackByteForByteAndTheirRowsAreCounted) {
    ScratchFolder folder;
    SqliteDatabase db;
    ASSERT_NO_FATAL_FAILURE(CreateUrlTable(db, folder / "history.sqlite"));

    EXPECT_EQ(db.ExecForEach("INSERT INTO urls(url, visits) VALUES (?, 2)", kAwkwardTexts), 4);
    EXPECT_EQ(db.QueryTexts("SELECT url FROM urls ORDER BY id"), kAwkwardTexts);
    EXPECT_EQ(db.QueryNumber("SELECT count(*) FROM urls"), 4);
    EXPECT_EQ(db.QueryNumber("SELECT sum(visits) FROM urls"), 8);

    EXPECT_TRUE(db.Exec("UPDATE urls SET visits = 5 WHERE id <= 2"));
    EXPECT_EQ(db.Changes(), 2);
    // Only the rows the texts name, each counted once; a text that matches nothing adds nothing.
    EXPECT_EQ(db.ExecForEach("DELETE FROM urls WHERE url = ?", {kAwkwardTexts[0], "no such url", kAwkwardTexts[2]}), 2);
    EXPECT_EQ(db.QueryTexts("SELECT url FROM urls ORDER BY id"),
              (std::vector<std::string>{kAwkwardTexts[1], kAwkwardTexts[3]}));
    // A statement that changes nothing counts nothing, though the last change was a delete.
    EXPECT_EQ(db.ExecForEach("SELECT url FROM urls WHERE url = ?", {kAwkwardTexts[1]}), 0);

    EXPECT_TRUE(db.Exec("INSERT INTO urls(url) VALUES (NULL)"));
    EXPECT_EQ(db.QueryTexts("SELECT url FROM urls WHERE visits IS NULL"), std::vector<std::string>{""});
    EXPECT_EQ(db.QueryNumber("SELECT id FROM urls WHERE 0", 42), 42);
}

TEST(SqliteDatabase, WhatWasWrittenIsThereAfterReopening) {
    ScratchFolder folder;
    const std::string path = folder / "cookies.sqlite";
    {
        SqliteDatabase db;
        ASSERT_NO_FATAL_FAILURE(CreateUrlTable(db, path));
        ASSERT_EQ(db.ExecForEach("INSERT INTO urls(url) VALUES (?)", kAwkwardTexts), 4);
    }
    // Closed when it went: Windows lets the file be renamed only once no handle holds it.
    ASSERT_TRUE(RenameFile(path, folder / "renamed.sqlite")) << GetLastError();
    SqliteDatabase db;
    ASSERT_EQ(db.Open(folder / "renamed.sqlite"), DatabaseOpen::Opened) << db.LastError();
    EXPECT_EQ(db.QueryTexts("SELECT url FROM urls ORDER BY id"), kAwkwardTexts);
}

TEST(SqliteDatabase, ExecStopsAtTheFirstFailingStatementAndKeepsTheOnesBefore) {
    ScratchFolder folder;
    SqliteDatabase db;
    ASSERT_NO_FATAL_FAILURE(CreateUrlTable(db, folder / "history.sqlite"));

    EXPECT_FALSE(db.Exec("INSERT INTO urls(url) VALUES ('first'); INSERT INTO missing VALUES (1); "
                         "INSERT INTO urls(url) VALUES ('third')"));
    EXPECT_NE(db.LastError().find("no such table: missing"), std::string::npos) << db.LastError();
    EXPECT_EQ(db.QueryTexts("SELECT url FROM urls"), std::vector<std::string>{"first"});

    EXPECT_EQ(db.QueryNumber("SELECT count(*) FROM nowhere", 7), 7);
    EXPECT_NE(db.LastError().find("no such table: nowhere"), std::string::npos) << db.LastError();
    EXPECT_TRUE(db.QueryTexts("SELECT url FROM nowhere").empty());
}

TEST(SqliteDatabase, ExecForEachThatFailsPartWayChangesNothingAndKeepsItsReason) {
    ScratchFolder folder;
    SqliteDatabase db;
    ASSERT_NO_FATAL_FAILURE(CreateUrlTable(db, folder / "history.sqlite"));
    ASSERT_TRUE(db.Exec("INSERT INTO urls(url) VALUES ('kept')"));

    // The third text breaks the UNIQUE rule after two rows went in.
    EXPECT_EQ(db.ExecForEach("INSERT INTO urls(url) VALUES (?)", {"a", "b", "kept", "c"}), -1);
    EXPECT_EQ(db.QueryTexts("SELECT url FROM urls"), std::vector<std::string>{"kept"});
    EXPECT_NE(db.LastError().find("UNIQUE"), std::string::npos) << db.LastError();
    // A caller that rolls back its own transaction afterwards still reads why.
    EXPECT_TRUE(db.Exec("BEGIN; ROLLBACK"));
    EXPECT_NE(db.LastError().find("UNIQUE"), std::string::npos) << db.LastError();

    // Inside the caller's transaction it nests, and the caller's own changes stay.
    ASSERT_TRUE(db.Exec("BEGIN IMMEDIATE; INSERT INTO urls(url) VALUES ('mine')"));
    EXPECT_EQ(db.ExecForEach("INSERT INTO urls(url) VALUES (?)", {"x", "mine"}), -1);
    EXPECT_EQ(db.ExecForEach("INSERT INTO urls(url) VALUES (?)", {"y"}), 1);
    ASSERT_TRUE(db.Exec("COMMIT")) << db.LastError();
    EXPECT_EQ(db.QueryTexts("SELECT url FROM urls ORDER BY id"), (std::vector<std::string>{"kept", "mine", "y"}));

    // Not one parameter: nothing is run.
    EXPECT_EQ(db.ExecForEach("DELETE FROM urls", {"kept"}), -1);
    EXPECT_EQ(db.QueryNumber("SELECT count(*) FROM urls"), 3);
}

TEST(SqliteDatabase, AQuotedNameThatIsNoColumnIsAnErrorNotAText) {
    // The engine quotes table and column names with double quotes. Were a misspelt one read as a
    // text, the statement would compare a constant and quietly erase nothing (or everything).
    ScratchFolder folder;
    SqliteDatabase db;
    ASSERT_NO_FATAL_FAILURE(CreateUrlTable(db, folder / "history.sqlite"));
    ASSERT_TRUE(db.Exec("INSERT INTO urls(url) VALUES ('a')"));
    EXPECT_FALSE(db.Exec("DELETE FROM urls WHERE \"adress\" <> 'b'"));
    EXPECT_NE(db.LastError().find("no such column"), std::string::npos) << db.LastError();
    EXPECT_EQ(db.QueryNumber("SELECT count(*) FROM urls"), 1);
}

TEST(SqliteDatabase, TablesAndColumnsAreFoundByNameWithoutRegardToCase) {
    ScratchFolder folder;
    SqliteDatabase db;
    ASSERT_NO_FATAL_FAILURE(CreateUrlTable(db, folder / "places.sqlite"));
    ASSERT_TRUE(
        db.Exec("CREATE TABLE \"it's \"\"odd\"\"\"(\"col'umn\" TEXT); CREATE VIEW recent AS SELECT url FROM urls"));

    EXPECT_TRUE(db.HasTable("urls"));
    EXPECT_TRUE(db.HasTable("URLS"));
    EXPECT_TRUE(db.HasTable("it's \"odd\""));
    EXPECT_FALSE(db.HasTable("url"));
    EXPECT_FALSE(db.HasTable("recent")); // a view holds no rows of its own
    EXPECT_FALSE(db.HasTable("x' OR '1'='1"));

    EXPECT_TRUE(db.HasColumn("urls", "visits"));
    EXPECT_TRUE(db.HasColumn("Urls", "VISITS"));
    EXPECT_TRUE(db.HasColumn("it's \"odd\"", "col'umn"));
    EXPECT_FALSE(db.HasColumn("urls", "title"));
    EXPECT_FALSE(db.HasColumn("missing", "visits"));
}

TEST(SqliteDatabase, AMissingFileIsMissingAndIsNotCreated) {
    ScratchFolder folder;
    SqliteDatabase db;
    ASSERT_NO_FATAL_FAILURE(CreateUrlTable(db, folder / "open-before.sqlite"));

    const std::string missing = folder / "history.sqlite";
    EXPECT_EQ(db.Open(missing), DatabaseOpen::Missing);
    EXPECT_FALSE(db.IsOpen()); // the database open before is closed too
    EXPECT_FALSE(FileExists(missing));
    EXPECT_EQ(db.Open(folder / "no folder\\history.sqlite"), DatabaseOpen::Missing);
    EXPECT_FALSE(FolderExists(folder / "no folder"));
    EXPECT_EQ(db.Open(folder.Path()), DatabaseOpen::Missing); // a folder is no database file
    EXPECT_FALSE(db.Exec("SELECT 1"));
    EXPECT_EQ(db.QueryNumber("SELECT 1", -5), -5);
}

TEST(SqliteDatabase, AFileThatIsNoDatabaseFailsAndIsLeftAsItWas) {
    ScratchFolder folder;
    const std::string path = folder / "Web Data";
    std::string bytes = "This is a text file, not a database.\r\n";
    while (bytes.size() < 8192) {
        bytes += bytes;
    }
    WriteFileText(path, bytes);

    SqliteDatabase db;
    EXPECT_EQ(db.Open(path), DatabaseOpen::Failed);
    EXPECT_FALSE(db.IsOpen());
    EXPECT_NE(db.LastError().find("not a database"), std::string::npos) << db.LastError();
    EXPECT_EQ(ReadFileText(path), bytes);
    EXPECT_EQ(ListFolder(folder / "*").size(), 1u); // no journal left beside it
}

TEST(SqliteDatabase, AFileAnotherProgramHoldsWithoutSharingIsLockedAtOnce) {
    ScratchFolder folder;
    const std::string path = folder / "Cookies";
    {
        SqliteDatabase db;
        ASSERT_NO_FATAL_FAILURE(CreateUrlTable(db, path));
    }
    FileHandle held(CreateFileW(WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held) << GetLastError();

    SqliteDatabase db;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(db.Open(path), DatabaseOpen::Locked);
    EXPECT_LT(MillisecondsSince(start), 500);
    EXPECT_FALSE(db.IsOpen());

    held.reset();
    EXPECT_EQ(db.Open(path), DatabaseOpen::Opened) << db.LastError();
}

TEST(SqliteDatabase, ADatabaseAnotherConnectionLocksIsLockedAtOnce) {
    ScratchFolder folder;
    const std::string path = folder / "places.sqlite";
    SqliteDatabase holder;
    ASSERT_NO_FATAL_FAILURE(CreateUrlTable(holder, path));
    ASSERT_TRUE(holder.Exec("INSERT INTO urls(url) VALUES ('a'); PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE"))
        << holder.LastError();

    SqliteDatabase db;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(db.Open(path), DatabaseOpen::Locked);
    EXPECT_LT(MillisecondsSince(start), 500);
    EXPECT_FALSE(db.IsOpen());
    EXPECT_NE(db.LastError().find("locked"), std::string::npos) << db.LastError();

    holder.Close();
    ASSERT_EQ(db.Open(path), DatabaseOpen::Opened) << db.LastError();
    EXPECT_EQ(db.QueryNumber("SELECT count(*) FROM urls"), 1);
}

TEST(SqliteDatabase, PathsOutsideTheCodePageAndLongPathsWork) {
    ScratchFolder folder;
    // Past the classic limit of Windows and past SQLite's own for it (MAX_PATH characters of up to
    // four UTF-8 bytes each).
    std::string deep = folder.Path();
    while (deep.size() < 1100) {
        deep += std::string(40, 'd') + "\\";
        ASSERT_TRUE(CreateFolder(deep)) << GetLastError();
    }
    const std::string name = "\xE6\x97\xA5\xE6\x9C\xAC \xD0\x96 caf\xC3\xA9.sqlite";
    for (const std::string& path : {folder / name, deep + name}) {
        {
            SqliteDatabase db;
            ASSERT_NO_FATAL_FAILURE(CreateUrlTable(db, path));
            ASSERT_TRUE(db.Exec("INSERT INTO urls(url) VALUES ('here')")) << db.LastError();
        }
        // Made under that very name, not one the code page mangled.
        const std::vector<FolderEntry> entries = ListFolder(FolderOf(path) + "*.sqlite");
        ASSERT_EQ(entries.size(), 1u) << path;
        EXPECT_EQ(entries[0].name, name);

        SqliteDatabase db;
        ASSERT_EQ(db.Open(path), DatabaseOpen::Opened) << path << ": " << db.LastError();
        EXPECT_EQ(db.QueryTexts("SELECT url FROM urls"), std::vector<std::string>{"here"});
    }
    EXPECT_TRUE(RemoveTree(folder.Path() + std::string(40, 'd')));
}

} // namespace

namespace {

TEST(SqliteDatabase, ACopyInMemoryCanBeChangedWhileTheFileIsOnlyEverRead) {
    ScratchFolder folder;
    for (const bool writeAheadLog : {false, true}) {
        const std::string path = folder / (writeAheadLog ? "wal.sqlite" : "plain.sqlite");
        {
            SqliteDatabase db;
            ASSERT_NO_FATAL_FAILURE(CreateUrlTable(db, path));
            if (writeAheadLog) {
                ASSERT_EQ(db.QueryTexts("PRAGMA journal_mode=WAL"), std::vector<std::string>{"wal"});
            }
            ASSERT_TRUE(db.Exec("INSERT INTO urls(url) VALUES ('a'), ('b'), ('c'); PRAGMA wal_checkpoint(TRUNCATE)"));
        }
        const std::string before = ReadFileText(path);
        const auto filesBefore = ListFolder(folder / "*").size();

        SqliteDatabase copy;
        ASSERT_EQ(copy.OpenCopy(path), DatabaseOpen::Opened) << copy.LastError();
        EXPECT_TRUE(copy.Exec("BEGIN IMMEDIATE; DELETE FROM urls WHERE url <> 'b'; COMMIT")) << copy.LastError();
        EXPECT_EQ(copy.QueryNumber("SELECT count(*) FROM urls"), 1);
        copy.Close();

        EXPECT_EQ(ReadFileText(path), before) << path;
        EXPECT_EQ(ListFolder(folder / "*").size(), filesBefore) << "no journal or log beside it";
        SqliteDatabase db;
        ASSERT_EQ(db.Open(path), DatabaseOpen::Opened);
        EXPECT_EQ(db.QueryNumber("SELECT count(*) FROM urls"), 3);
    }
    SqliteDatabase copy;
    EXPECT_EQ(copy.OpenCopy(folder / "missing.sqlite"), DatabaseOpen::Missing);
    WriteFileText(folder / "not.sqlite", "not a database at all, though long enough to look like one at first");
    EXPECT_EQ(copy.OpenCopy(folder / "not.sqlite"), DatabaseOpen::Failed);
    EXPECT_FALSE(copy.IsOpen());
}

} // namespace

namespace {

constexpr const char* kUrlTable = "CREATE TABLE urls(id INTEGER PRIMARY KEY, url TEXT UNIQUE, visits INTEGER)";

TEST(SqliteDatabase, OpenForEditRollsBackAHotJournalAndKeepsItWhereOpenDeletesIt) {
    ScratchFolder folder;
    for (const bool forEdit : {true, false}) {
        const std::string path = folder / (forEdit ? "edit.sqlite" : "plain.sqlite");
        ASSERT_NO_FATAL_FAILURE(MakeDatabaseWithHotJournal(
            path, std::string(kUrlTable) + "; INSERT INTO urls(url) VALUES ('journal-marker')", "DELETE FROM urls"));
        ASSERT_NE(ReadFileText(path + "-journal").find("journal-marker"), std::string::npos);

        SqliteDatabase db;
        ASSERT_EQ(forEdit ? db.OpenForEdit(path) : db.Open(path), DatabaseOpen::Opened) << db.LastError();
        EXPECT_EQ(db.QueryTexts("SELECT url FROM urls"), std::vector<std::string>{"journal-marker"})
            << "the interrupted delete was rolled back";
        EXPECT_EQ(db.QueryTexts("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
        db.Close();
        if (forEdit) {
            const std::string journal = ReadFileText(path + "-journal");
            EXPECT_NE(journal.find("journal-marker"), std::string::npos) << "kept for a wipe";
            EXPECT_EQ(journal.substr(0, 28), std::string(28, '\0')) << "its header zeroed: no longer hot";
        } else {
            EXPECT_FALSE(FileExists(path + "-journal")) << "SQLite's own way: deleted, never overwritten";
        }
    }
}

TEST(SqliteDatabase, ACopyOfADatabaseInWriteAheadLogModeHoldsTheLogsTransactions) {
    ScratchFolder folder;
    const std::string path = folder / "places.sqlite";
    ASSERT_NO_FATAL_FAILURE(
        MakeDatabaseWithLog(path, std::string(kUrlTable) + "; INSERT INTO urls(url) VALUES ('a')",
                            "INSERT INTO urls(url) VALUES ('b'), ('c'); DELETE FROM urls WHERE url = 'a';"
                            "INSERT INTO urls(url) SELECT hex(zeroblob(3000)) || value FROM"
                            " json_each('[1,2,3,4,5,6,7,8]')"));
    const std::string before = ReadFileText(path);
    const std::string logBefore = ReadFileText(path + "-wal");

    SqliteDatabase copy;
    ASSERT_EQ(copy.OpenCopy(path), DatabaseOpen::Opened) << copy.LastError();
    EXPECT_EQ(copy.QueryNumber("SELECT count(*) FROM urls"), 10) << "the rows the log added, less the one it deleted";
    EXPECT_EQ(copy.QueryTexts("SELECT url FROM urls WHERE length(url) < 5 ORDER BY url"),
              (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(copy.QueryTexts("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    copy.Close();
    EXPECT_EQ(ReadFileText(path), before);
    EXPECT_EQ(ReadFileText(path + "-wal"), logBefore);

    // A log cut in the middle of its last frame (a torn write): the transactions before it count.
    WriteFileText(path + "-wal", logBefore.substr(0, logBefore.size() - 100));
    ASSERT_EQ(copy.OpenCopy(path), DatabaseOpen::Opened) << copy.LastError();
    EXPECT_EQ(copy.QueryTexts("SELECT url FROM urls WHERE length(url) < 5 ORDER BY url"),
              (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(copy.QueryNumber("SELECT count(*) FROM urls"), 2) << "the last transaction was torn";
    EXPECT_EQ(copy.QueryTexts("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
}

TEST(SqliteDatabase, ACopyOfADatabaseAnotherConnectionLocksIsLockedAsTheEditWouldFindIt) {
    ScratchFolder folder;
    const std::string path = folder / "Cookies";
    SqliteDatabase holder;
    ASSERT_NO_FATAL_FAILURE(CreateUrlTable(holder, path));
    ASSERT_TRUE(holder.Exec("INSERT INTO urls(url) VALUES ('a'); PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE"));

    SqliteDatabase copy;
    EXPECT_EQ(copy.OpenCopy(path), DatabaseOpen::Locked);
    SqliteDatabase edit;
    EXPECT_EQ(edit.OpenForEdit(path), DatabaseOpen::Locked);

    ASSERT_TRUE(holder.Exec("COMMIT"));
    holder.Close();
    ASSERT_EQ(copy.OpenCopy(path), DatabaseOpen::Opened) << copy.LastError();
    EXPECT_EQ(copy.QueryNumber("SELECT count(*) FROM urls"), 1);
    copy.Close();
    ASSERT_EQ(edit.OpenForEdit(path), DatabaseOpen::Opened) << edit.LastError();
}

TEST(SqliteDatabase, TextFromAFileNeverRunsAsMoreThanOneStatementNorAttachesAFile) {
    ScratchFolder folder;
    const std::string path = folder / "Top Sites";
    const std::string attached = folder / "attached.db";
    const std::string hostile = "t\"; DROP TABLE \"meta";
    {
        SqliteDatabase db;
        ASSERT_EQ(db.Create(path), DatabaseOpen::Opened);
        ASSERT_TRUE(db.Exec("CREATE TABLE meta(key, value); INSERT INTO meta VALUES ('version', 4); CREATE TABLE t(x);"
                            "CREATE TABLE " +
                            QuotedIdentifier(hostile) + "(x); INSERT INTO " + QuotedIdentifier(hostile) +
                            " VALUES (1)"))
            << db.LastError();
    }
    EXPECT_EQ(QuotedIdentifier(hostile), "\"t\"\"; DROP TABLE \"\"meta\"");

    for (const bool copy : {true, false}) {
        SqliteDatabase db;
        ASSERT_EQ(copy ? db.OpenCopy(path) : db.Open(path), DatabaseOpen::Opened) << db.LastError();
        EXPECT_EQ(db.QueryTexts("SELECT name FROM sqlite_master WHERE name LIKE 't_%'"),
                  std::vector<std::string>{hostile});
        EXPECT_FALSE(db.ExecOne("DELETE FROM \"" + hostile + "\"")) << "the name unquoted is two statements";
        EXPECT_EQ(db.LastError(), "the SQL text is not exactly one statement");
        EXPECT_TRUE(db.ExecOne("DELETE FROM " + QuotedIdentifier(hostile) + ";  -- the one statement"))
            << db.LastError();
        EXPECT_EQ(db.QueryNumber("SELECT count(*) FROM " + QuotedIdentifier(hostile)), 0);
        EXPECT_EQ(db.QueryNumber("SELECT count(*) FROM meta"), 1) << "meta is still there";
        EXPECT_EQ(db.QueryNumber("SELECT 1; SELECT 2"), -1) << "a query is one statement too";
        EXPECT_FALSE(db.Exec("ATTACH '" + attached + "' AS a; CREATE TABLE a.z(x)"));
        EXPECT_FALSE(FileExists(attached)) << db.LastError();
        EXPECT_TRUE(db.Vacuum()) << "the vacuum's own attachment is allowed: " << db.LastError();
        EXPECT_FALSE(db.Exec("ATTACH '" + attached + "' AS a")) << "and only while it runs";
        EXPECT_FALSE(FileExists(attached));
    }
}

} // namespace
