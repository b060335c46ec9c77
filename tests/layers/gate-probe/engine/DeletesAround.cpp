// Two calls around the gate, which the check must name; the comment's DeleteFileW(path) is none.
#include "platform/Files.h"

void EraseAround(const std::string& path) {
    DeleteFileW(L"C:\\probe.txt");
    if (!RemoveFolder(path)) {
        return;
    }
    GateDeleteFile(path); // the gate's own act: allowed
}
