// A small program the tests start as a child process, copied under other names or run under a
// Windows version the test chose (Wine's AppDefaults):
//   sleep       waits until it is terminated (stands in for a running browser)
//   wait        waits 60 s, then exits with 3 (so a test sees that nobody terminated it)
//   os-family   prints GetOSFamily() as this process sees Windows' version
//   pagefile    runs the page-file item, exits with 10/11/12/13 for NewWinNT/Win9x/OldWinNt/other
//   index-dat   uses the URL cache, then runs the index.dat item after the placeholder line;
//               prints each log change ("+line" or "=line"), then the run totals
//   form-data   runs the AutoComplete form-data item
//   cache-entries <url prefix> <count> <bytes>
//               commits count entries "<url prefix><n>.htm" of that many bytes each to the URL
//               cache, as a browser would; prints each entry's file, one per line
//   unix-shell <command line>
//               starts that Unix program and exits: Wine hands back no real handles for a Unix
//               child, and closing them would close whatever this process had under those numbers
//   force-shutdown, force-restart
//               runs ForceShutdown or ForceRestart with ExitWindowsEx diverted: prints
//               "flags=F privilege=enabled|disabled" per call, exits with the number of calls
#include "app/Shutdown.h"
#include "engine/FolderWipe.h"
#include "engine/InternetExplorer.h"
#include "engine/RunState.h"
#include "engine/SystemInfo.h"
#include "engine/WindowsItems.h"
#include "platform/Files.h"
#include "platform/Power.h"
#include "platform/UrlCache.h"
#include "support/RecordingLog.h"

#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int RunIndexDatItem() {
    // The first use of the cache makes sure both index files exist.
    WalkUrlCache([](const UrlCacheEntry&) { return true; });
    RecordingLog log;
    log.AppendLine(kPlaceholderLine);
    EraseIEIndexDat(log);
    for (const std::string& change : log.history) {
        std::printf("%s\n", change.c_str());
    }
    std::printf("files=%lld bytes=%lld\n", static_cast<long long>(TotalErasedFileCount),
                static_cast<long long>(TotalReleasedByteCount));
    return 0;
}

// Everything on this program's command line after its first two words.
std::wstring CommandLineAfterTwoWords() {
    const wchar_t* rest = GetCommandLineW();
    for (int word = 0; word < 2; ++word) {
        while (*rest == L' ') {
            ++rest;
        }
        bool quoted = false;
        for (; *rest && (quoted || *rest != L' '); ++rest) {
            quoted ^= *rest == L'"';
        }
    }
    while (*rest == L' ') {
        ++rest;
    }
    return rest;
}

int StartUnixProgram() {
    std::wstring command = CommandLineAfterTwoWords();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // The handles in info are left as they are: see the note at the top.
    return CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info) ? 0
                                                                                                                  : 1;
}

int AddCacheEntries(const std::string& urlPrefix, int count, size_t bytes) {
    const std::string content(bytes, 'c');
    FILETIME never{};
    for (int n = 1; n <= count; ++n) {
        const std::string url = urlPrefix + std::to_string(n) + ".htm";
        char file[MAX_PATH] = {};
        if (!CreateUrlCacheEntryA(url.c_str(), 0, "htm", file, 0) || WriteWholeFile(file, content) != 0 ||
            !CommitUrlCacheEntryA(url.c_str(), file, never, never, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr)) {
            std::fprintf(stderr, "cannot add %s: error %lu\n", url.c_str(), GetLastError());
            return 1;
        }
        std::printf("%s\n", file);
    }
    return 0;
}

int exitWindowsCalls = 0;

bool PrintExitWindows(UINT flags) {
    ++exitWindowsCalls;
    std::printf("flags=%u privilege=%s\n", flags,
                TokenPrivilegeEnabled("SeShutdownPrivilege") ? "enabled" : "disabled");
    return true;
}

int RunForcedEndOfSession(void (*force)()) {
    DivertExitWindows(PrintExitWindows);
    force();
    return exitWindowsCalls;
}

} // namespace

int main(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "sleep") {
        Sleep(INFINITE);
        return 0;
    }
    if (command == "wait") {
        Sleep(60000);
        return 3;
    }
    if (command == "os-family") {
        std::printf("[%s]\n", GetOSFamily().c_str());
        return 0;
    }
    if (command == "pagefile") {
        SetClearPageFileAtShutdown();
        std::string family = GetOSFamily();
        return family == "NewWinNT" ? 10 : family == "Win9x" ? 11 : family == "OldWinNt" ? 12 : 13;
    }
    if (command == "index-dat") {
        return RunIndexDatItem();
    }
    if (command == "form-data") {
        UnseenLog log;
        EraseIEFormData(log, ExecutableDir());
        return 0;
    }
    if (command == "service-place" && argc == 3) {
        // 0 when the service may be installed from the program path, 1 when refused.
        return RefuseServicePlace(argv[2]) ? 1 : 0;
    }
    if (command == "cache-entries" && argc == 5) {
        return AddCacheEntries(argv[2], std::atoi(argv[3]), static_cast<size_t>(std::atoll(argv[4])));
    }
    if (command == "unix-shell") {
        return StartUnixProgram();
    }
    if (command == "force-shutdown") {
        return RunForcedEndOfSession(ForceShutdown);
    }
    if (command == "force-restart") {
        return RunForcedEndOfSession(ForceRestart);
    }
    return 2;
}
