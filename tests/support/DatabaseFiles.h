// Databases as browsers leave them when they are ended or die: transactions that live only in the
// write-ahead log, and a hot journal. Each is made by a real writer in a scratch folder and copied
// (with its log or journal) while the writer still has it open, the copies written through to the
// disk.
#pragma once

#include <string>

// Copies the file's bytes as they are now (sharing every access: a writer may hold it) and has the
// copy written through to the disk. Fails the current test when it cannot.
void CopyToDisk(const std::string& from, const std::string& to);

// target in write-ahead-log mode: schema's statements checkpointed into the file, logged's only in
// target-wal.
void MakeDatabaseWithLog(const std::string& target, const std::string& schema, const std::string& logged);

// target with a hot journal: committed's statements in the file, then a transaction that ran
// interrupted's statements and wrote enough for the writer to spill changed pages into the file
// (so that its journal had to be complete on disk), copied with target-journal before its end.
void MakeDatabaseWithHotJournal(const std::string& target, const std::string& committed,
                                const std::string& interrupted);
