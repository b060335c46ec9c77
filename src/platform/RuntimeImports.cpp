// Windows functions that the static C++ runtime imports but that Windows XP lacks. The 32-bit
// programs link this file directly (not through a library), so its import slots take the place of
// kernel32's: the program then loads on XP and uses the real function where Windows has it.
#include <windows.h>

#if !defined(_WIN64)

namespace {

// GetTickCount's 32-bit count, widened by counting its wraps (every 49.7 days). The lock is a
// plain flag, as the threads of the thread library may ask at the same time.
ULONGLONG WINAPI WidenedTickCount() {
    static volatile LONG lock = 0;
    static DWORD last = 0;
    static DWORD wraps = 0;
    while (InterlockedExchange(&lock, 1) != 0) {
        Sleep(0);
    }
    const DWORD now = GetTickCount();
    if (now < last) {
        ++wraps;
    }
    last = now;
    const ULONGLONG result = (static_cast<ULONGLONG>(wraps) << 32) | now;
    InterlockedExchange(&lock, 0);
    return result;
}

using TickCount64Function = ULONGLONG(WINAPI*)();

// Looked up on the first call; two threads that race here store the same answer. No guarded
// static: the guard itself takes a lock of the thread library, which may call back in here.
ULONGLONG WINAPI TickCount64() {
    static TickCount64Function function = nullptr;
    if (!function) {
        auto real = reinterpret_cast<TickCount64Function>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
        function = real ? real : &WidenedTickCount;
    }
    return function();
}

} // namespace

// The import slot the thread library's code calls through, under the name the linker gives it.
extern "C" {
TickCount64Function GetTickCount64Slot asm("__imp__GetTickCount64@0") = &TickCount64;
}

#endif
