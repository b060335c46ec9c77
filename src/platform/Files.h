// Files and folders through the W functions, with UTF-8 names.
#pragma once

#include "platform/Handle.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The folder of the running executable, always ending in one backslash.
std::string ExecutableDir();
// The path made full against the current folder, as a person at a console means a relative name
// (GetFullPathNameW); the path as given when Windows cannot make it full.
std::string FullPathOf(std::string_view path);

// Full path of the running executable.
std::string ExecutablePath();

// Reads the whole file into bytes. On failure returns false and leaves bytes empty;
// GetLastError() then tells why (ERROR_FILE_NOT_FOUND for a missing file).
bool ReadWholeFile(std::string_view path, std::string& bytes);

// Replaces the file's content with bytes, creating the file when it is missing. The bytes go to a
// new file that then takes the old one's place, so on failure the old content is still whole.
// Returns ERROR_SUCCESS, or the Windows error (ERROR_ACCESS_DENIED for a read-only file).
DWORD WriteWholeFile(std::string_view path, std::string_view bytes);

bool FileExists(std::string_view path);
bool FolderExists(std::string_view path);

// Windows' folder for temporary files, ending in a backslash.
std::string TempFolder();

// One entry of a folder listing.
struct FolderEntry {
    std::string name; // name only, without the folder
    DWORD attributes; // FILE_ATTRIBUTE_*
    int64_t size;     // full 64-bit size as the directory search reports it
    bool IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // A junction or symbolic link (never to be followed, wiped through or removed).
    bool IsLink() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

// The entries that match a search pattern such as "C:\dir\*.*" or "C:\dir\*.lnk", in the
// order the search returns them, "." and ".." left out. Empty when nothing matches or the folder
// cannot be searched.
std::vector<FolderEntry> ListFolder(std::string_view pattern);
// The same; searched tells whether the search found anything at all, "." and ".." included (an
// empty folder's search finds those two; a folder that cannot be searched finds nothing).
std::vector<FolderEntry> ListFolder(std::string_view pattern, bool& searched);

// GetFileAttributesW; INVALID_FILE_ATTRIBUTES when the path does not exist.
DWORD GetAttributes(std::string_view path);
// SetFileAttributesW; FILE_ATTRIBUTE_NORMAL when attributes is 0 ("none"). Returns false on failure.
bool SetAttributes(std::string_view path, DWORD attributes);
// Clears the attributes that stand in the way of overwriting, renaming or deleting (read-only) or
// that hide an entry (hidden, system), when the attributes known for it (from a folder search or
// GetAttributes) hold any of them. Saves a trip to the file system for the ordinary file.
void ClearGuardingAttributes(std::string_view path, DWORD knownAttributes);

// Each returns false on failure, with GetLastError() telling why; nothing else changes then.
bool DeleteFileAt(std::string_view path);
bool RemoveFolder(std::string_view path); // succeeds only for an empty folder
bool RenameFile(std::string_view from, std::string_view to);
bool CreateFolder(std::string_view path);
// Gives an existing file a second name (a hard link) on the same volume; false where the file
// system keeps no such names (FAT), or when link already exists.
bool LinkFile(std::string_view existing, std::string_view link);

// The file's length, found by opening it for reading and writing (shared). nullopt when it cannot
// be opened that way (missing, in use without sharing, read-only, access denied).
std::optional<int64_t> FileSizeByOpening(std::string_view path);
// Opens an existing file for reading only, sharing it in every way.
FileHandle OpenForReading(std::string_view path);
// The file's length, found by opening it for reading only, sharing it in every way. nullopt when it
// cannot be opened even so (GetLastError() says why: another program holds it without sharing).
std::optional<int64_t> FileSizeByReading(std::string_view path);

// The folder ending in exactly one backslash: one is added unless it ends in one already (an empty
// text becomes "\").
std::string WithTrailingBackslash(std::string folder);
// The path without its trailing backslash, if it has one.
std::string WithoutTrailingBackslash(std::string path);
// folder + "\" + name; a folder that already ends in a backslash (a drive's root, an expanded
// placeholder) gets no second one, which the long-path form would not read as one.
std::string JoinPath(std::string_view folder, std::string_view name);

// The long form of a full path: every existing folder and file on the way named by its long name, as
// the file system spells it ("C:\\PROGRA~1\\Quorvale" becomes "C:\\Program Files\\Quorvale"); names
// past the last existing one stay as given. The path unchanged when Windows cannot tell.
std::string LongPathOf(const std::string& path);

// What a file or folder is, whatever name or drive letter reaches it: its volume's serial number and
// its index on that volume. A link is followed to its target.
struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
    }
};
// nullopt when it does not exist or cannot be asked (access refused, no index on that file system).
std::optional<FileIdentity> IdentityOf(std::string_view path);

// The folder part of a path, up to and including its last backslash ("" when it has none).
std::string FolderOf(std::string_view path);
// The file-name part of a path, after its last backslash.
std::string NameOf(std::string_view path);

// Opens an existing file for reading and writing, sharing read and write access with other
// processes (never creates it). Empty on failure, GetLastError() telling why.
FileHandle OpenForOverwrite(std::string_view path);
// The same, with the right to rename and delete the file through the handle (RenameOpenFile,
// DeleteWhenClosed). Fails with ERROR_SHARING_VIOLATION where another program holds the file
// without letting it be deleted, though OpenForOverwrite would succeed.
FileHandle OpenForOverwriteAndDelete(std::string_view path);
// Renames a file opened with delete access to newPath (a full path), refusing an existing name.
// Saves opening the file again by name. Returns false on failure, GetLastError() telling why.
bool RenameOpenFile(HANDLE file, std::string_view newPath);
// Marks a file opened with delete access to be deleted when its last handle closes.
bool DeleteWhenClosed(HANDLE file);
// The open file's length; -1 on failure.
int64_t FileLength(HANDLE file);
// Moves the file position to the start. False on failure.
bool RewindFile(HANDLE file);
// Ends the open file at its current position (SetEndOfFile). False on failure.
bool TruncateAtPosition(HANDLE file);
// Moves the file position to offset bytes from the start. False on failure (the position is then
// where it was).
bool MoveFilePosition(HANDLE file, int64_t offset);

// Opens an existing file to be rewritten in place: for reading and writing, letting other programs
// only read it meanwhile, and taking a link (a reparse point) itself rather than what it leads to.
// Never creates the file. Empty on failure, GetLastError() telling why (ERROR_SHARING_VIOLATION
// while another program writes it).
FileHandle OpenForRewrite(std::string_view path);
// The attributes of what the handle opened (GetFileInformationByHandle); INVALID_FILE_ATTRIBUTES
// on failure.
DWORD AttributesOfOpenFile(HANDLE file);
// The number of names (hard links) the open file has; nullopt when it cannot be told.
std::optional<DWORD> LinkCountOfOpenFile(HANDLE file);
