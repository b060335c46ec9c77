// Not a test of its own: a program that imports a function of Windows 8, for the import check to
// find. It never runs.
#include <windows.h>

extern "C" __declspec(dllimport) void WINAPI GetSystemTimePreciseAsFileTime(FILETIME* time);

int main(int argc, char**) {
    FILETIME now{};
    if (argc > 99) {
        GetSystemTimePreciseAsFileTime(&now);
    }
    return static_cast<int>(now.dwLowDateTime & 1);
}
