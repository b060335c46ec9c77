// The scratch drives that scripts/lib/test-drives.sh maps into the test prefix: Q:, a small writable
// tmpfs without a label that the tests may fill; R:, a small read-only one labelled "  Protected"
// holding ReadOnly.txt; P:, a drive letter without a disk; I:, a small ext2 file system on a
// loop-mounted image whose raw bytes a test reads. A drive is only accepted when it is small, so a
// test can never fill a real disk.
#pragma once

#include <cstdint>
#include <string>

constexpr char kWritableTestDrive = 'Q';
constexpr char kReadOnlyTestDrive = 'R';
constexpr char kNoDiskTestDrive = 'P';
constexpr char kImageTestDrive = 'I';
// A 768 MiB scratch drive labelled kLongWashTestLabel, for a wash long enough to watch.
constexpr char kLongWashTestDrive = 'W';
constexpr const char* kLongWashTestLabel = "QvLongWash";
constexpr const char* kReadOnlyTestFile = "R:\\ReadOnly.txt";

// Empty when the drive is there as described; otherwise why a test that needs it must skip.
std::string WritableTestDriveMissing();
std::string ReadOnlyTestDriveMissing();
std::string NoDiskTestDriveMissing();
std::string ImageTestDriveMissing();
// Why W: is not the long-wash scratch drive (its label, at most 1 GiB, writable), or "".
std::string LongWashTestDriveMissing();

// How often text occurs in the raw bytes of drive I:'s image (its free blocks included), after the
// drive's file system has written what it holds in memory; -1 when the image cannot be read.
int64_t OccurrencesOnImageTestDrive(const std::string& text);

// The drive's free bytes for this user; -1 when it cannot be asked.
int64_t TestDriveFreeBytes(char driveLetter);
