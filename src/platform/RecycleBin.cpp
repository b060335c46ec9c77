#include "platform/RecycleBin.h"

#include "platform/Handle.h"
#include "platform/Text.h"

#include <shellapi.h>

namespace {

using EmptyRecycleBinFn = HRESULT(WINAPI*)(HWND, LPCSTR, DWORD);

constexpr DWORD kQuietEmptyFlags = SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND;
static_assert(kQuietEmptyFlags == 7, "no confirmation, no progress window, no sound");

} // namespace

RecycleBinResult EmptyRecycleBinsThrough(std::string_view library) {
    Module shell(LoadLibraryW(Widen(library).c_str()));
    if (!shell) {
        return RecycleBinResult::LibraryMissing;
    }
    auto emptyRecycleBin = GetProcedure<EmptyRecycleBinFn>(shell.get(), "SHEmptyRecycleBinA");
    if (!emptyRecycleBin) {
        return RecycleBinResult::FunctionMissing;
    }
    emptyRecycleBin(nullptr, "", kQuietEmptyFlags);
    return RecycleBinResult::Emptied;
}
