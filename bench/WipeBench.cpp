// Wipes what it is given with the program's own engine, for the benchmark script:
//   WipeBench file <path> <method>     one file with WipeFileByMethod
//   WipeBench tree <folder> <method>   a folder tree with WipeFolderTree
//   WipeBench fill <drive root>        the drive washer's fill files, written and deleted
// and times the parts a wipe of one large file is made of:
//   WipeBench random <MiB>             the random source alone, filling <MiB> in 768 KiB blocks
//   WipeBench write <path> <passes>    the file's length written over <passes> times from one
//                                      block filled once, each pass flushed: what dd does
//   WipeBench phases <path> <method>   one file with WipeFileByMethod, and where its time went
// Prints the elapsed milliseconds measured around that work alone; phases prints a line per phase
// before the total: before each pass (attributes, links), its first block (with the open), its
// other blocks with the flush and close, then the truncation, rename and delete.
#include "engine/FolderWipe.h"
#include "engine/WipeMethods.h"
#include "platform/FileWrites.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "platform/Volumes.h"
#include "tools/FillFiles.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr size_t kBlock = 768 * 1024;

void FillRandom(int mebibytes) {
    std::vector<uint8_t> block(kBlock);
    const int64_t total = static_cast<int64_t>(mebibytes) * 1024 * 1024;
    for (int64_t done = 0; done < total; done += kBlock) {
        FillRandomBytes(block.data(), static_cast<size_t>(std::min<int64_t>(kBlock, total - done)));
    }
}

bool WritePasses(const char* path, int passes) {
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::vector<uint8_t> block(kBlock, 0);
    const int64_t length = FileLength(file);
    for (int pass = 0; pass < passes; ++pass) {
        RewindFile(file);
        for (int64_t done = 0; done < length; done += kBlock) {
            WriteFull(file, block.data(), static_cast<size_t>(std::min<int64_t>(kBlock, length - done)));
        }
        FlushFileBuffers(file);
    }
    CloseHandle(file);
    return true;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

// Wipes the file, printing each phase's milliseconds as it ends.
void WipeInPhases(const char* path, const char* method) {
    LARGE_INTEGER mark = Now();
    auto phase = [&mark](const char* name, int pass) {
        LARGE_INTEGER now = Now();
        std::printf("pass %d  %-28s %8.1f\n", pass, name, Milliseconds(mark, now));
        mark = now;
    };
    bool firstBlock = true;
    WipeControl control;
    control.beforePass = [&](int pass) {
        phase("before the pass", pass);
        firstBlock = true;
    };
    control.duringPass = [&](const PassProgress& progress) {
        if (firstBlock) {
            phase("open, first block", progress.pass);
            firstBlock = false;
        }
    };
    control.afterPass = [&](int pass) { phase("other blocks, flush, close", pass); };
    WipeFileByMethod(path, method, 3, control);
    phase("truncate, rename, delete", 0);
}

// What the washer does to one drive, without its window: as many fill files as the free space
// needs, each flushed, then all deleted.
bool FillDrive(const char* root) {
    const std::optional<DiskSpace> space = QueryDiskSpace(root[0]);
    if (!space) {
        return false;
    }
    FillAndDeleteFillFiles(root, FillFileCount(space->freeToCaller), FillControl{});
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const bool oneArgument = argc == 3 && (std::strcmp(argv[1], "random") == 0 || std::strcmp(argv[1], "fill") == 0);
    if (argc != 4 && !oneArgument) {
        std::fprintf(stderr, "usage: WipeBench file|tree|phases <path> <method>, random <MiB>, write <path> <passes>, "
                             "fill <drive root>\n");
        return 2;
    }
    const LARGE_INTEGER start = Now();
    if (std::strcmp(argv[1], "random") == 0) {
        FillRandom(std::atoi(argv[2]));
    } else if (std::strcmp(argv[1], "fill") == 0) {
        if (!FillDrive(argv[2])) {
            std::fprintf(stderr, "no drive %s\n", argv[2]);
            return 1;
        }
    } else if (std::strcmp(argv[1], "write") == 0) {
        if (!WritePasses(argv[2], std::atoi(argv[3]))) {
            std::fprintf(stderr, "cannot open %s\n", argv[2]);
            return 1;
        }
    } else if (std::strcmp(argv[1], "phases") == 0) {
        WipeInPhases(argv[2], argv[3]);
    } else if (std::strcmp(argv[1], "file") == 0) {
        WipeFileByMethod(argv[2], argv[3], 3);
    } else {
        UnseenLog log;
        WipeFolderTree(argv[2], argv[3], 3, log);
    }
    std::printf("%.0f\n", Milliseconds(start, Now()));
    return 0;
}
