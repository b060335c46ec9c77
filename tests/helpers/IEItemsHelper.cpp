// A child process for the Internet Explorer item tests, run under another Windows version than
// the test program's:
//   QvIEHelper index-dat   uses the URL cache, then runs the index.dat item after the placeholder
//                          line; prints each log change ("+line" or "=line"), then the counters
//   QvIEHelper form-data   runs the AutoComplete form-data item
#include "engine/FolderWipe.h"
#include "engine/InternetExplorer.h"
#include "engine/RunState.h"
#include "platform/UrlCache.h"
#include "support/RecordingLog.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "index-dat") == 0) {
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
    if (argc > 1 && std::strcmp(argv[1], "form-data") == 0) {
        EraseIEFormData();
        return 0;
    }
    return 2;
}
