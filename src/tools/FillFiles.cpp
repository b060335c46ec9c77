#include "tools/FillFiles.h"

#include "gate/GateActs.h"
#include "platform/FileWrites.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <chrono>
#include <vector>

namespace {

constexpr const char* kFillFilePrefix = "TmpErase.file";

// splitmix64: fast, and its output passes for noise, which zeros or a fixed pattern would not.
void FillWithRandomBytes(std::vector<uint8_t>& block) {
    static uint64_t state = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    size_t i = 0;
    while (i < block.size()) {
        state += 0x9E3779B97F4A7C15ull;
        uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        for (int b = 0; b < 8 && i < block.size(); ++b, ++i) {
            block[i] = static_cast<uint8_t>(z >> (8 * b));
        }
    }
}

} // namespace

std::string FillFilePath(const std::string& root, int number) {
    return WithTrailingBackslash(root) + kFillFilePrefix + std::to_string(number);
}

bool IsFillFileName(const std::string& name) {
    std::string prefix = kFillFilePrefix;
    if (name.size() <= prefix.size() || !EqualsNoCase(name.substr(0, prefix.size()), prefix)) {
        return false;
    }
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return false;
        }
    }
    return true;
}

int FillFileCount(int64_t freeBytes) { return static_cast<int>(freeBytes / kFillFileBytes + 1); }

int FillProgressPercent(int64_t written, int64_t freeAtStart) {
    if (freeAtStart <= 0) {
        return written > 0 ? 99 : 0;
    }
    int64_t percent = written * 100 / freeAtStart;
    return percent >= 100 ? 99 : static_cast<int>(percent);
}

int64_t WriteFillFile(const std::string& root, int number, const FillControl& control) {
    FileHandle file = CreateFileForWriting(FillFilePath(root, number));
    if (!file) {
        return 0;
    }
    std::vector<uint8_t> block(kFillBlockSize);
    FillWithRandomBytes(block);
    int64_t total = 0;
    for (int blocks = 1;; ++blocks) {
        auto written = static_cast<int64_t>(WriteFull(file.get(), block.data(), kFillBlockSize));
        total += written;
        if (control.afterBlock) {
            control.afterBlock(written, blocks);
        }
        bool stop = control.stopFlag && *control.stopFlag;
        if (written != kFillBlockSize || blocks >= kFillBlocksPerFile || stop) {
            break;
        }
    }
    // Without this the data may still sit in the cache when the file is deleted, and the free
    // space would never actually be overwritten.
    FlushFileToDisk(file.get());
    return total;
}

void DeleteFillFiles(const std::string& root, int count) {
    for (int number = 1; number <= count; ++number) {
        std::string path = FillFilePath(root, number);
        if (FileExists(path)) {
            GateDeleteFile(path);
        }
    }
}

void FillAndDeleteFillFiles(const std::string& root, int count, const FillControl& control) {
    FillFileSet fillFiles(root, count);
    for (int number = 1; number <= count; ++number) {
        if (control.stopFlag && *control.stopFlag) {
            return;
        }
        try {
            WriteFillFile(root, number, control);
        } catch (...) {
            // A fill file that fails only ends early; the next one is tried, all are deleted.
        }
    }
}

int RemoveLeftoverFillFiles(const std::string& root) {
    const std::string folder = WithTrailingBackslash(root);
    int removed = 0;
    for (const auto& entry : ListFolder(folder + kFillFilePrefix + "*")) {
        if (!entry.IsFolder() && !entry.IsLink() && IsFillFileName(entry.name) && GateDeleteFile(folder + entry.name)) {
            ++removed;
        }
    }
    return removed;
}
