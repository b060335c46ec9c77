// Logical drives and their volumes: which letters exist, labels, sizes, and whether a drive
// has a disk and can be written. Every query here suppresses Windows' critical-error dialogs,
// so an empty floppy or CD drive answers at once instead of asking for a disk.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Switches the process's error mode to SEM_FAILCRITICALERRORS for the object's lifetime and
// restores the previous mode afterwards.
class CriticalErrorsSilenced {
public:
    CriticalErrorsSilenced() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~CriticalErrorsSilenced() { SetErrorMode(previous_); }
    CriticalErrorsSilenced(const CriticalErrorsSilenced&) = delete;
    CriticalErrorsSilenced& operator=(const CriticalErrorsSilenced&) = delete;

private:
    UINT previous_;
};

// Bit 0 = A:, bit 25 = Z:. 0 on failure.
uint32_t LogicalDriveMask();

// "X:\" for a drive letter (upper-cased).
std::string DriveRoot(char driveLetter);

// The volume label of the drive, or "" when it has none or cannot be read.
std::string VolumeLabel(char driveLetter);

struct DiskSpace {
    int64_t freeToCaller; // free bytes this user may fill (quotas applied)
    int64_t total;
};
// nullopt when the drive cannot be asked (no such drive, no disk, not ready).
std::optional<DiskSpace> QueryDiskSpace(char driveLetter);

// True when the drive answers a size query, i.e. it exists and has a disk in it.
bool DriveHasDisk(char driveLetter);

// Whether the drive cannot be written: a uniquely named temporary file ("RWRO" prefix) is made
// in its root and deleted again. Read-only when Windows reports ERROR_WRITE_PROTECT or when that
// file cannot be deleted (so also when it could not be made). A character that is not a letter
// A to Z names no drive: true.
bool IsDriveReadOnly(char driveLetter);

// Whether the existing file opens for writing (shared read and write, sequential-scan hint);
// the handle is closed at once. False for a missing file, a locked one or a read-only medium.
bool FileOpensForWriting(std::string_view path);
