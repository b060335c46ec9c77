#include "support/DatabaseFiles.h"

#include "platform/Files.h"
#include "platform/Handle.h"
#include "platform/SqliteDatabase.h"
#include "platform/Text.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <windows.h>

void CopyToDisk(const std::string& from, const std::string& to) {
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(from, bytes)) << from;
    FileHandle file(
        CreateFileW(WidePath(to).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << to;
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
    ASSERT_TRUE(FlushFileBuffers(file.get()));
}

void MakeDatabaseWithLog(const std::string& target, const std::string& schema, const std::string& logged) {
    ScratchFolder folder;
    const std::string path = folder / "writer.sqlite";
    SqliteDatabase writer;
    ASSERT_EQ(writer.Create(path), DatabaseOpen::Opened) << writer.LastError();
    ASSERT_EQ(writer.QueryTexts("PRAGMA journal_mode=WAL"), std::vector<std::string>{"wal"});
    ASSERT_TRUE(writer.Exec("PRAGMA wal_autocheckpoint=0;" + schema + ";PRAGMA wal_checkpoint(TRUNCATE)"))
        << writer.LastError();
    ASSERT_TRUE(writer.Exec(logged)) << writer.LastError();
    ASSERT_NO_FATAL_FAILURE(CopyToDisk(path, target));
    ASSERT_NO_FATAL_FAILURE(CopyToDisk(path + "-wal", target + "-wal"));
}

void MakeDatabaseWithHotJournal(const std::string& target, const std::string& committed,
                                const std::string& interrupted) {
    ScratchFolder folder;
    const std::string path = folder / "writer.sqlite";
    SqliteDatabase writer;
    ASSERT_EQ(writer.Create(path), DatabaseOpen::Opened) << writer.LastError();
    ASSERT_TRUE(writer.Exec(committed)) << writer.LastError();
    ASSERT_TRUE(writer.Exec("PRAGMA cache_size=2; BEGIN IMMEDIATE;" + interrupted +
                            ";CREATE TABLE qv_spill(x);"
                            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300)"
                            " INSERT INTO qv_spill SELECT zeroblob(900) FROM n"))
        << writer.LastError();
    ASSERT_NO_FATAL_FAILURE(CopyToDisk(path, target));
    ASSERT_NO_FATAL_FAILURE(CopyToDisk(path + "-journal", target + "-journal"));
    ASSERT_TRUE(writer.Exec("ROLLBACK")) << writer.LastError();
}
