#include "engine/OtherBrowsers.h"

#include "engine/FolderWipe.h"
#include "engine/RunState.h"
#include "engine/SystemInfo.h"
#include "platform/Environment.h"
#include "platform/Files.h"

#include <optional>
#include <vector>

namespace {

constexpr const char* kFirefoxProfilesFolder = "Mozilla\\Firefox\\Profiles";
constexpr const char* kNetscapeProfilesFolder = "Mozilla\\Profiles";
constexpr const char* kOperaUserProfile = "Opera\\Opera\\profile\\";
constexpr const char* kOperaProgramProfile = "opera\\profile\\";

// The sub-folders of folder (given without a trailing backslash) whose names do not begin with
// ".", as full paths without a trailing backslash.
std::vector<std::string> VisibleSubFolders(const std::string& folder) {
    std::vector<std::string> folders;
    for (const auto& entry : ListFolder(folder + "\\*.*")) {
        if (entry.IsFolder() && entry.name.front() != '.') {
            folders.push_back(folder + "\\" + entry.name);
        }
    }
    return folders;
}

// The Firefox profile folders; nullopt when there is no profiles directory.
std::optional<std::vector<std::string>> FirefoxProfileFolders() {
    std::string appData = FolderOfVariable("%AppData%");
    if (appData.empty() || !FolderExists(appData + kFirefoxProfilesFolder)) {
        return std::nullopt;
    }
    return VisibleSubFolders(appData + kFirefoxProfilesFolder);
}

// The inner folders of every Netscape profile.
std::vector<std::string> NetscapeProfileFolders() {
    std::vector<std::string> folders;
    std::string appData = FolderOfVariable("%AppData%");
    if (appData.empty()) {
        return folders;
    }
    for (const auto& profile : VisibleSubFolders(appData + kNetscapeProfilesFolder)) {
        for (const auto& inner : VisibleSubFolders(profile)) {
            folders.push_back(inner);
        }
    }
    return folders;
}

// Every file directly in folder (given without a trailing backslash) that matches the pattern,
// sized by the search. Sub-folders are neither entered nor removed, links are passed by.
void WipeMatchingFiles(const std::string& folder, const char* pattern, const std::string& method, int32_t passes,
                       ProgressLog& log) {
    for (const auto& entry : ListFolder(folder + "\\" + pattern)) {
        if (entry.IsFolder() || entry.IsLink()) {
            continue;
        }
        if (EraseWalkedFile(folder + "\\" + entry.name, method, passes, entry.attributes)) {
            ReleasedByteCount += entry.size;
            ErasedFileCount += 1;
            log.ReplaceLastLine(FileResultLine());
        }
    }
}

// The shared frame of the Firefox items that wipe one named file per profile.
void EraseFirefoxNamedFile(const char* name, const std::string& method, int32_t passes, ProgressLog& log) {
    auto profiles = FirefoxProfileFolders();
    if (!profiles) {
        return;
    }
    ResetFileCounters();
    for (const auto& profile : *profiles) {
        EraseNamedFile(profile + "\\" + name, method, passes, log);
    }
    AddFileCountersToTotals();
}

void EraseNetscapeNamedFile(const char* name, const std::string& method, int32_t passes, ProgressLog& log) {
    for (const auto& folder : NetscapeProfileFolders()) {
        EraseNamedFile(folder + "\\" + name, method, passes, log);
    }
}

} // namespace

void EraseFirefoxCache(const std::string& method, int32_t passes, ProgressLog& log) {
    auto profiles = FirefoxProfileFolders();
    if (!profiles) {
        return;
    }
    ResetFileCounters();
    for (const auto& profile : *profiles) {
        WipeMatchingFiles(profile + "\\Cache", "*.*", method, passes, log);
    }
    AddFileCountersToTotals();
}

void EraseFirefoxCookies(const std::string& method, int32_t passes, ProgressLog& log) {
    EraseFirefoxNamedFile("cookies.txt", method, passes, log);
}

void EraseFirefoxFormData(const std::string& method, int32_t passes, ProgressLog& log) {
    KillProcessByName("firefox.exe");
    auto profiles = FirefoxProfileFolders();
    if (!profiles) {
        return;
    }
    ResetFileCounters();
    for (const char* name : {"formhistory.dat", "signons.txt"}) {
        for (const auto& profile : *profiles) {
            EraseNamedFile(profile + "\\" + name, method, passes, log);
        }
    }
    AddFileCountersToTotals();
}

void EraseFirefoxHistory(const std::string& method, int32_t passes, ProgressLog& log) {
    KillProcessByName("firefox.exe");
    EraseFirefoxNamedFile("history.dat", method, passes, log);
}

void EraseNetscapeCache(const std::string& method, int32_t passes, ProgressLog& log) {
    ResetFileCounters();
    for (const auto& folder : NetscapeProfileFolders()) {
        WipeMatchingFiles(folder + "\\Cache", "*.*", method, passes, log);
    }
    AddFileCountersToTotals();
}

void EraseNetscapeCookies(const std::string& method, int32_t passes, ProgressLog& log) {
    ResetFileCounters();
    EraseNetscapeNamedFile("cookies.txt", method, passes, log);
    AddFileCountersToTotals();
}

void EraseNetscapeFormData(const std::string& method, int32_t passes, ProgressLog& log) {
    ResetFileCounters();
    auto folders = NetscapeProfileFolders();
    for (const auto& folder : folders) {
        WipeMatchingFiles(folder, "*.s", method, passes, log);
    }
    for (const auto& folder : folders) {
        WipeMatchingFiles(folder, "*.w", method, passes, log);
    }
    AddFileCountersToTotals();
}

void EraseNetscapeHistory(const std::string& method, int32_t passes, ProgressLog& log) {
    ResetFileCounters();
    KillProcessByName("netscp.exe");
    EraseNetscapeNamedFile("history.dat", method, passes, log);
    AddFileCountersToTotals();
}

std::string FindOperaProfile() {
    std::string appData = FolderOfVariable("%AppData%");
    if (!appData.empty() && FileExists(appData + kOperaUserProfile + "opera6.ini")) {
        return appData + kOperaUserProfile;
    }
    std::string programFiles = FolderOfVariable("%ProgramFiles%");
    return programFiles.empty() ? std::string() : programFiles + kOperaProgramProfile;
}

void EraseOperaCache(const std::string& method, int32_t passes, ProgressLog& log) {
    ResetFileCounters();
    std::string profile = FindOperaProfile();
    if (!profile.empty()) {
        WipeMatchingFiles(profile + "Cache4", "*.*", method, passes, log);
    }
    AddFileCountersToTotals();
}

void EraseOperaCookies(const std::string& method, int32_t passes, ProgressLog& log) {
    ResetFileCounters();
    std::string profile = FindOperaProfile();
    if (!profile.empty()) {
        EraseNamedFile(profile + "cookies4.dat", method, passes, log);
    }
    AddFileCountersToTotals();
}

void EraseOperaHistory(const std::string& method, int32_t passes, ProgressLog& log) {
    ResetFileCounters();
    std::string profile = FindOperaProfile();
    if (!profile.empty()) {
        for (const char* name : {"global.dat", "vlink4.dat", "opera.dir"}) {
            EraseNamedFile(profile + name, method, passes, log);
        }
    }
    AddFileCountersToTotals();
}
