// The recycle bins of all drives, through Shell32 loaded at run time.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

enum class RecycleBinResult {
    Emptied,         // SHEmptyRecycleBinA was called (what it answered is not looked at)
    LibraryMissing,  // the library could not be loaded
    FunctionMissing, // the library has no SHEmptyRecycleBinA
};

// Loads the library (normally "Shell32.dll"), calls its SHEmptyRecycleBinA with no owner window,
// an empty root (every drive) and no confirmation, no progress window and no sound, then unloads
// it again.
RecycleBinResult EmptyRecycleBinsThrough(std::string_view library);

// What the recycle bins of every drive hold, through the library's SHQueryRecycleBinW; nullopt
// when the library or the function is missing or the shell could not tell.
struct RecycleBinContents {
    int64_t items;
    int64_t bytes;
};
std::optional<RecycleBinContents> QueryRecycleBinsThrough(std::string_view library);
