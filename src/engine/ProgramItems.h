// The items of programs other than browsers and Windows that keep a history of their own: VLC media
// player's recent media list.
#pragma once

#include "engine/ProgressLog.h"

#include <cstdint>
#include <string>
#include <string_view>

// Where VLC media player keeps its Qt interface's settings, below the user's application-data folder,
// and the section of its recent media list (keys "list", the media, and "times", where each stopped).
constexpr const char* kVlcSettingsFile = "vlc\\vlc-qt-interface.ini";
constexpr const char* kVlcRecentsSection = "RecentsMRL";
// VLC's program, by the name its process runs under.
constexpr const char* kVlcProgramName = "vlc.exe";

// The line the item writes while VLC runs (VLC writes its list back when it exits), and the reason
// the account gives for the list.
constexpr const char* kVlcRunningLine = "VLC media player is running: its recent media list was left as it is.";
constexpr const char* kVlcRunningReason = "VLC media player is running";
// The reason for a settings file too large to be VLC's, which is not read at all.
constexpr const char* kVlcFileTooLargeReason = "too large for VLC's settings file";
constexpr int64_t kVlcLargestSettingsFile = 16 * 1024 * 1024;

// The item's line before anything went: its row's placeholder, which EraseVlcRecentMedia replaces.
constexpr const char* kVlcPlaceholderLine = "0 recent media entries were erased.";
// "<n> recent media entries were erased." ("1 recent media entry was erased.").
std::string RecentMediaResultLine(int64_t count);

// A settings file without the entries of its [RecentsMRL] sections, and how many media their "list"
// keys named. Every other byte stays as it was: other sections, keys, comments and blank lines, the
// sections' headers, line endings, a UTF-8 byte order mark. Sections and keys are matched without
// case, as Qt reads settings files on Windows; a section that appears more than once loses the
// entries of each; a value continued on the next line (a trailing backslash) goes whole.
struct RecentMediaEdit {
    std::string content;
    int64_t media = 0;    // the MRLs of the removed "list" keys
    bool changed = false; // whether any entry was removed
};
RecentMediaEdit WithoutRecentMedia(std::string_view settings);

// How many MRLs a "list" value names, as Qt writes a list of strings: items separated by commas,
// quoted ("...", with backslash escapes) where they hold a comma; empty items are not counted, nor is
// Qt's mark for no value ("@Invalid()").
int64_t RecentMediaCount(std::string_view listValue);

// Whether a process named kVlcProgramName runs under this user's account. One whose owner Windows
// will not tell counts as this user's: erasing under it would be undone when it exits. False where
// the running programs cannot be listed.
bool VlcRunsForThisUser();

// Erases VLC media player's recent media list: the entries of [RecentsMRL] in kVlcSettingsFile below
// the user's application-data folder (%AppData%, or the shell's folder where it is not set), which
// is rewritten in place through the safety gate (GateRewriteFile) so that the old list does not stay
// readable on the disk. The section's header stays: it says nothing of what was played, and leaving
// it keeps the file's layout as VLC wrote it.
//   - A missing folder or file, a file marked Never erase, or a file without [RecentsMRL] entries:
//     nothing changes, nothing is created.
//   - While VLC runs for this user (VlcRunsForThisUser) the file is not touched: kVlcRunningLine, and
//     the file is noted as not erased (kVlcRunningReason). VLC is never ended.
//   - A file the gate refuses (a folder, a link, Quorvale's own, ...) is logged with LogRefusal; one
//     that cannot be read or written is noted with OpenFailureReason; a file larger than
//     kVlcLargestSettingsFile is noted as kVlcFileTooLargeReason. The run goes on.
// The log's last line (kVlcPlaceholderLine, written by the run) becomes RecentMediaResultLine() of the
// media that went once the file is rewritten; a refusal or the running line comes before it. No file or registry
// counter changes. While a plan is being found, the rewrite is listed ("Rewrite <file> ...") and the file stays as it
// is.
void EraseVlcRecentMedia(ProgressLog& log);
