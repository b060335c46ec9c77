// A small program the tests start as a child process:
//   QvTestHelper sleep        waits until it is terminated (stands in for a running browser)
//   QvTestHelper os-family    prints GetOSFamily() as this process sees Windows' version
#include "engine/SystemInfo.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "sleep") == 0) {
        Sleep(INFINITE);
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "os-family") == 0) {
        std::printf("[%s]\n", GetOSFamily().c_str());
        return 0;
    }
    return 2;
}
