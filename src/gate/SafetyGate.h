// The safety gate: what a plug-in entry, the temp folder or any other named target must be before
// anything in it is overwritten or deleted. It refuses what would reach beyond what the entry
// names: a path that is not a full one (it would be read against the program's own folder), a
// placeholder run into the next name or standing for no full folder, a control character (a NUL cuts the name short in
// Windows), a device name, "." or "..", a place reached through a link, the protected folders (drive roots, Windows and
// its system folders, the program folders, the profile and its known folders, Quorvale's own folder), and registry
// deletes of keys that hold whole programs or Windows itself.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The reason the gate gives for what the user marked "Never erase".
inline constexpr const char* kRefusalNeverErase = "marked Never erase";

// Why a folder must not be entered at all (its contents erased): nullopt when it may. The folder is
// a full path, with or without a trailing backslash. It is taken where Windows names it, even when
// a folder on the way is a link or a mounted volume; the walk itself never follows a link.
std::optional<std::string> FolderRefusal(const std::string& folder);

// Why a walk must not go into a folder it meets: nullopt when it may. The folder is a protected one,
// Quorvale's own, or one the user keeps ("marked Never erase"), by any name or link that reaches it.
std::optional<std::string> WalkRefusal(const std::string& folder);

// Whether the folder is Quorvale's own or its plug-in folder. A walk passes them by, so that
// erasing a folder that holds Quorvale (a temp folder it was unpacked to) leaves it whole.
bool IsQuorvalesOwnFolder(const std::string& folder);

// Why a full path that a plug-in entry names (a file, or a folder and the name or wildcard of what
// to erase in it) must not be acted on: nullopt when it may. The path must be full and plain, and
// no protected folder as a whole; a wildcard must not match directly in a protected folder or in
// Quorvale's own folders; Quorvale's own folders and files (Options.ini, its programs) are never named. A single file
// named directly in a known folder is allowed: the entry says exactly what it means.
std::optional<std::string> PathRefusal(const std::string& path);

// Why a plug-in file entry as written (placeholder included) must not be expanded and acted on:
// control characters, and a placeholder not followed by a backslash.
std::optional<std::string> WrittenEntryRefusal(const std::string& entry);

// Why a plug-in file entry must not be acted on once its leading placeholder is replaced, giving
// expandedFolder: the placeholder's folder is not known (the placeholder is left as written) or is
// not a full path, so the rest would be read against the current folder or drive.
std::optional<std::string> ExpandedEntryRefusal(const std::string& entry, const std::string& expandedFolder);

// The files and folders the user marked "Never erase" (full paths): nothing at or under one of
// them is overwritten, truncated, renamed or deleted by any item, plug-in or the shredder. Set by
// whatever starts erasing, from Options.ini; empty until then.
void SetNeverErase(const std::vector<std::string>& paths);
// Registry keys and values are named "HKEY_CURRENT_USER\<key path>[\<value name>]" there.
// Whether the path is one of them or lies under one (compared as Windows reads names: without case,
// trailing dots and spaces, or a trailing backslash; a registry path without case and a trailing
// backslash).
bool IsNeverErased(const std::string& path);
// Whether a "Never erase" registry key or value lies at or under the key (named as above): deleting
// the key with its sub-keys would take it along.
bool HoldsNeverErasedKey(const std::string& key);

// Why a file or folder the run found or was named must not be overwritten, truncated, renamed or
// deleted: nullopt when it may. It must be a plain full path (no control character, device name,
// "." or ".."), no link (attributes as known; INVALID_FILE_ATTRIBUTES: not looked at), none of
// Quorvale's own files (Options.ini, its programs, its help), and not marked "Never erase".
std::optional<std::string> TargetRefusal(const std::string& path, DWORD attributes);

// Why a registry key (root and path below it) must not be deleted, or a value in it (valueName
// set, possibly empty) must not be: nullopt when it may.
std::optional<std::string> RegistryRefusal(HKEY root, const std::string& keyPath,
                                           const std::optional<std::string>& valueName);

// Whether the name (one path component) is a device's: CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to
// LPT9, CONIN$, CONOUT$, with or without an extension, a trailing colon or spaces, in any case.
bool IsDeviceName(const std::string& name);
