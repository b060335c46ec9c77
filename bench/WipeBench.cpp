// Wipes what it is given with the program's own engine, for the benchmark script:
//   WipeBench file <path> <method>     one file with WipeFileByMethod
//   WipeBench tree <folder> <method>   a folder tree with WipeFolderTree
// Prints the elapsed milliseconds measured around the wipe alone.
#include "engine/FolderWipe.h"
#include "engine/WipeMethods.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: WipeBench file|tree <path> <method>\n");
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (std::strcmp(argv[1], "file") == 0) {
        WipeFileByMethod(argv[2], argv[3], 3);
    } else {
        UnseenLog log;
        WipeFolderTree(argv[2], argv[3], 3, log);
    }
    QueryPerformanceCounter(&end);
    std::printf("%.0f\n", 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
    return 0;
}
