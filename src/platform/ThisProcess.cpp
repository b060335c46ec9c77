#include "platform/ThisProcess.h"

#include "platform/Text.h"

#include <shellapi.h>

KernelHandle CreateOwnedMutex(std::string_view name, bool& alreadyExisted) {
    KernelHandle mutex(CreateMutexW(nullptr, TRUE, Widen(name).c_str()));
    alreadyExisted = GetLastError() == ERROR_ALREADY_EXISTS;
    return mutex;
}

ATOM AddGlobalAtom(std::string_view name) { return GlobalAddAtomW(Widen(name).c_str()); }

ATOM FindGlobalAtom(std::string_view name) { return GlobalFindAtomW(Widen(name).c_str()); }

std::vector<std::string> CommandLineArguments() {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) {
        return arguments;
    }
    for (int i = 1; i < count; ++i) {
        arguments.push_back(Narrow(argv[i]));
    }
    LocalFree(argv);
    return arguments;
}
