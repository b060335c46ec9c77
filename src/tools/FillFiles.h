// The drive washer's fill files: numbered files in a drive's root, written block by block until
// the drive is full, then deleted, so that the free space is overwritten.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

constexpr int kFillBlockSize = 512000;
constexpr int kFillBlocksPerFile = 1024;
constexpr int64_t kFillFileBytes = int64_t{kFillBlockSize} * kFillBlocksPerFile; // 524,288,000

// root ("X:\") + "TmpErase.file" + number.
std::string FillFilePath(const std::string& root, int number);

// True for "TmpErase.file" followed by one or more digits (letter case ignored).
bool IsFillFileName(const std::string& name);

// How many fill files a drive with this much free space gets: free div 524,288,000 + 1.
int FillFileCount(int64_t freeBytes);

// The bar position for bytes written out of the free space at the start: the whole percent, but
// 99 until the drive is done.
int FillProgressPercent(int64_t written, int64_t freeAtStart);

struct FillControl {
    const bool* stopFlag = nullptr;
    // Called after every block with the bytes it wrote (0 when the write failed) and the block's
    // number in the file, from 1.
    std::function<void(int64_t blockBytes, int blockNumber)> afterBlock;
};

// Creates (or truncates) fill file number in root and writes blocks of random bytes into it until
// a block is cut short (the drive is full or the write failed), 1,024 blocks are in, or the stop
// flag is set after a block. The file is flushed to the disk before it is closed. Returns the bytes
// written; a file that cannot be created gets none. Failures are not reported.
int64_t WriteFillFile(const std::string& root, int number, const FillControl& control);

// Deletes fill files 1 to count of root that exist.
void DeleteFillFiles(const std::string& root, int count);

// A drive's wash: writes fill files 1 to count of root one after another, none after the stop flag
// is set (a file that fails only ends early, and the next one is tried), then deletes them all,
// however the writing ended.
void FillAndDeleteFillFiles(const std::string& root, int count, const FillControl& control);

// Deletes every fill file in root, whatever its number: the remains of a wash that never ended
// (the program killed, the power cut). Returns how many were deleted.
int RemoveLeftoverFillFiles(const std::string& root);

// Deletes fill files 1 to count of root when it goes, however the wash of that drive ended.
class FillFileSet {
public:
    FillFileSet(std::string root, int count) : root_(std::move(root)), count_(count) {}
    ~FillFileSet() { DeleteFillFiles(root_, count_); }
    FillFileSet(const FillFileSet&) = delete;
    FillFileSet& operator=(const FillFileSet&) = delete;

private:
    std::string root_;
    int count_;
};
