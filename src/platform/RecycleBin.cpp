#include "platform/RecycleBin.h"

#include "platform/Handle.h"
#include "platform/Text.h"

#include <shellapi.h>

namespace {

using EmptyRecycleBinFn = HRESULT(WINAPI*)(HWND, LPCSTR, DWORD);
using QueryRecycleBinFn = HRESULT(WINAPI*)(LPCWSTR, LPSHQUERYRBINFO);

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

std::optional<RecycleBinContents> QueryRecycleBinsThrough(std::string_view library) {
    Module shell(LoadLibraryW(Widen(library).c_str()));
    if (!shell) {
        return std::nullopt;
    }
    auto query = GetProcedure<QueryRecycleBinFn>(shell.get(), "SHQueryRecycleBinW");
    SHQUERYRBINFO info{};
    info.cbSize = sizeof(info);
    if (!query || FAILED(query(nullptr, &info))) {
        return std::nullopt;
    }
    return RecycleBinContents{info.i64NumItems, info.i64Size};
}
