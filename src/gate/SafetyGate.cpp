#include "gate/SafetyGate.h"

#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Text.h"

#include <shlobj.h>

#include <algorithm>
#include <vector>

namespace {

constexpr const char* kNotFullPath = "not a full path";
constexpr const char* kPlaceholderRunOn = "a placeholder not followed by a backslash";
constexpr const char* kControlCharacter = "a control character in the entry";
constexpr const char* kDeviceName = "a device name";
constexpr const char* kDotFolder = "a \".\" or \"..\" in the path";
constexpr const char* kProtectedFolder = "a protected folder";
constexpr const char* kQuorvaleOwn = "Quorvale's own files";
constexpr const char* kThroughLink = "reached through a link";
constexpr const char* kLink = "a link";
constexpr const char* kNeverErase = "marked Never erase";
constexpr const char* kProtectedKey = "a protected registry key";

constexpr const char* kPlaceholders[] = {"%AppData%", "%ProgramFiles%", "%Windows%", "%UserProfile%"};

bool IsAsciiLetter(char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

bool HasControlCharacter(const std::string& text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            return true;
        }
    }
    return false;
}

// A full path split into its root ("C:" or "\\server\share") and the names below it.
struct SplitPath {
    std::string root;
    std::vector<std::string> names;
};

// Windows drops the dots and spaces that end a name, so "C:\Windows. " is the Windows folder.
std::string AsWindowsReadsIt(std::string name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' ') && name != "." && name != "..") {
        name.pop_back();
    }
    return name;
}

std::optional<SplitPath> Split(std::string path) {
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    if (path.rfind("\\\\?\\UNC\\", 0) == 0) {
        path = "\\\\" + path.substr(8);
    } else if (path.rfind("\\\\?\\", 0) == 0) {
        path = path.substr(4);
    }
    SplitPath split;
    size_t rest;
    if (path.size() >= 2 && path[1] == ':' && IsAsciiLetter(path[0]) && (path.size() == 2 || path[2] == '\\')) {
        split.root = path.substr(0, 2);
        rest = 2;
    } else if (path.rfind("\\\\", 0) == 0 && path.size() > 2 && path[2] != '\\' && path[2] != '.' && path[2] != '?') {
        size_t server = path.find('\\', 2);
        if (server == std::string::npos || server + 1 >= path.size() || path[server + 1] == '\\') {
            return std::nullopt;
        }
        size_t share = path.find('\\', server + 1);
        split.root = path.substr(0, share);
        rest = share == std::string::npos ? path.size() : share;
    } else {
        return std::nullopt;
    }
    for (size_t start = rest; start < path.size();) {
        size_t end = path.find('\\', start + 1);
        std::string name = path.substr(start + 1, (end == std::string::npos ? path.size() : end) - start - 1);
        if (!name.empty()) {
            split.names.push_back(name);
        }
        start = end == std::string::npos ? path.size() : end;
    }
    return split;
}

std::string Joined(const SplitPath& split, size_t count) {
    std::string path = split.root;
    for (size_t i = 0; i < count && i < split.names.size(); ++i) {
        path += "\\" + AsWindowsReadsIt(split.names[i]);
    }
    return path;
}

std::string Comparable(const std::string& path) {
    std::optional<SplitPath> split = Split(path);
    return split ? Joined(*split, split->names.size()) : std::string();
}

bool SamePath(const std::string& a, const std::string& b) { return !a.empty() && EqualsNoCase(a, b); }

constexpr const char* kFolderVariables[] = {"%USERPROFILE%", "%ProgramFiles%", "%ProgramW6432%", "%ProgramFiles(x86)%",
                                            "%SystemRoot%",  "%ProgramData%",  "%PUBLIC%",       "%APPDATA%",
                                            "%LOCALAPPDATA%"};

// The folders that are never entered as a whole, nor matched into by a wildcard: Windows and its
// system folders, the program folders, the profiles' folder, the user's profile and known folders.
std::vector<std::string> FindProtectedFolders() {
    std::vector<std::string> folders;
    auto add = [&](const std::string& path) {
        std::string comparable = Comparable(path);
        if (!comparable.empty()) {
            folders.push_back(comparable);
        }
    };
    const std::string windows = SpecialFolderPath(CSIDL_WINDOWS);
    for (int csidl :
         {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_SYSTEMX86, CSIDL_FONTS, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86,
          CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROFILE, CSIDL_PERSONAL, CSIDL_DESKTOPDIRECTORY, CSIDL_MYPICTURES,
          CSIDL_MYMUSIC, CSIDL_MYVIDEO, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_COMMON_APPDATA,
          CSIDL_COMMON_DOCUMENTS, CSIDL_COMMON_DESKTOPDIRECTORY}) {
        add(SpecialFolderPath(csidl));
    }
    if (!windows.empty()) {
        add(windows + "\\WinSxS");
        add(windows + "\\SysWOW64");
        add(windows + "\\System32");
    }
    for (const char* variable : kFolderVariables) {
        std::string value = ExpandEnvironmentText(variable);
        if (value != variable) {
            add(value);
        }
    }
    const std::string profile = Comparable(SpecialFolderPath(CSIDL_PROFILE));
    if (!profile.empty()) {
        add(profile + "\\Downloads");
        size_t parent = profile.rfind('\\');
        if (parent != std::string::npos && parent > 2) {
            add(profile.substr(0, parent)); // the folder of every user's profile
        }
    }
    return folders;
}

// The same, found again only when one of the variables that name them has changed: asking Windows
// for its special folders takes milliseconds, and a plug-in may name many entries.
const std::vector<std::string>& ProtectedFolders() {
    static std::string foundFor;
    static std::vector<std::string> folders;
    std::string now;
    for (const char* variable : kFolderVariables) {
        now += ExpandEnvironmentText(variable) + "|";
    }
    if (folders.empty() || now != foundFor) {
        folders = FindProtectedFolders();
        foundFor = now;
    }
    return folders;
}

bool IsProtectedFolder(const std::string& comparable, const SplitPath& split) {
    if (split.names.empty()) {
        return true; // a drive's or a share's root
    }
    for (const std::string& folder : ProtectedFolders()) {
        if (SamePath(comparable, folder)) {
            return true;
        }
    }
    return false;
}

// Quorvale's folder, in the form the checks compare; it stays where it is while the program runs.
const std::string& OwnFolder() {
    static const std::string folder = Comparable(ExecutableDir());
    return folder;
}

// Quorvale's folder and its plug-in folder, where its program, Options.ini and plug-ins live.
std::vector<std::string> OwnFolders() {
    const std::string& folder = OwnFolder();
    return {folder, folder + "\\Plug-ins"};
}

// Quorvale's own files: its programs, Options.ini, its help.
bool IsOwnFile(const std::string& comparable) {
    const std::string& folder = OwnFolder();
    for (const char* name : {"Options.ini", "Quorvale.exe", "SellwickService.exe", "help.chm"}) {
        if (SamePath(comparable, folder + "\\" + name)) {
            return true;
        }
    }
    static const std::string program = Comparable(ExecutablePath());
    return SamePath(comparable, program);
}

bool IsOwnFolder(const std::string& comparable) {
    for (const std::string& own : OwnFolders()) {
        if (SamePath(comparable, own)) {
            return true;
        }
    }
    return false;
}

// The "Never erase" paths, in the form the checks compare.
std::vector<std::string>& NeverErasePaths() {
    static std::vector<std::string> paths;
    return paths;
}

// The "Never erase" registry keys and values, in the form RegistryComparable gives.
std::vector<std::string>& NeverEraseRegistryPaths() {
    static std::vector<std::string> paths;
    return paths;
}

// A registry key or value as the list names it ("HKEY_CURRENT_USER\Software\Sample\value"), in the
// form the checks compare: the root as Windows names it, the path with its trailing backslashes
// dropped, letters folded. "" when the text names no registry root.
std::string RegistryComparable(const std::string& path) {
    const size_t slash = path.find('\\');
    HKEY root = RegRootNamed(std::string_view(path).substr(0, slash));
    if (!root) {
        return {};
    }
    std::string rest = slash == std::string::npos ? std::string() : path.substr(slash + 1);
    while (!rest.empty() && rest.back() == '\\') {
        rest.pop_back();
    }
    return FoldCase(RegRootName(root) + (rest.empty() ? "" : "\\" + rest));
}

// Whether the comparable path is the kept one or lies under it.
bool AtOrUnder(const std::string& comparable, const std::string& kept) {
    return comparable.size() >= kept.size() && EqualsNoCase(comparable.substr(0, kept.size()), kept) &&
           (comparable.size() == kept.size() || comparable[kept.size()] == '\\');
}

bool IsKept(const std::string& comparable) {
    for (const std::string& kept : NeverErasePaths()) {
        if (AtOrUnder(comparable, kept)) {
            return true;
        }
    }
    return false;
}

// The plain-path checks shared by folders and entries.
std::optional<std::string> PlainPathRefusal(const std::string& path, SplitPath& split) {
    if (HasControlCharacter(path)) {
        return kControlCharacter;
    }
    std::optional<SplitPath> parts = Split(path);
    if (!parts) {
        return kNotFullPath;
    }
    for (const std::string& name : parts->names) {
        if (name == "." || name == "..") {
            return kDotFolder;
        }
        if (IsDeviceName(name)) {
            return kDeviceName;
        }
    }
    split = *parts;
    return std::nullopt;
}

// Whether a folder on the way to the path (the path itself left out) is a junction or symbolic link.
bool ReachedThroughLink(const SplitPath& split) {
    for (size_t count = 1; count < split.names.size(); ++count) {
        DWORD attributes = GetAttributes(Joined(split, count));
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            return false; // nothing further down exists
        }
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            return true;
        }
    }
    return false;
}

bool HasWildcard(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

} // namespace

bool IsDeviceName(const std::string& name) {
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && (base.back() == ' ' || base.back() == ':')) {
        base.pop_back();
    }
    base = AsciiUpper(base);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"}) {
        if (base == device) {
            return true;
        }
    }
    return base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) && base[3] >= '1' &&
           base[3] <= '9';
}

namespace {

// The gate for a full path: a folder to enter, or (lastIsPattern) a folder and the name or wildcard
// of what to erase in it.
std::optional<std::string> FullPathRefusal(const std::string& path, bool lastIsPattern) {
    SplitPath split;
    if (auto refusal = PlainPathRefusal(path, split)) {
        return refusal;
    }
    std::string comparable = Joined(split, split.names.size());
    if (IsProtectedFolder(comparable, split)) {
        return kProtectedFolder;
    }
    if (IsOwnFolder(comparable) || IsOwnFile(comparable)) {
        return kQuorvaleOwn;
    }
    if (IsKept(comparable)) {
        return kNeverErase;
    }
    if (lastIsPattern && HasWildcard(split.names.back())) {
        SplitPath folder = split;
        folder.names.pop_back();
        const std::string folderPath = Joined(folder, folder.names.size());
        if (IsProtectedFolder(folderPath, folder)) {
            return kProtectedFolder;
        }
        if (IsOwnFolder(folderPath)) {
            return kQuorvaleOwn;
        }
    }
    // A folder to enter is taken where Windows names it (a temp folder moved to another drive by
    // a junction, or on a volume mounted in a folder, is still the temp folder); what a plug-in
    // entry names must not lie beyond a link, where it may be anything.
    if (lastIsPattern && ReachedThroughLink(split)) {
        return kThroughLink;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> FolderRefusal(const std::string& folder) { return FullPathRefusal(folder, false); }

bool IsQuorvalesOwnFolder(const std::string& folder) { return IsOwnFolder(Comparable(folder)); }

std::optional<std::string> PathRefusal(const std::string& path) { return FullPathRefusal(path, true); }

std::optional<std::string> TargetRefusal(const std::string& path, DWORD attributes) {
    SplitPath split;
    if (auto refusal = PlainPathRefusal(path, split)) {
        return refusal;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return kLink;
    }
    const std::string comparable = Joined(split, split.names.size());
    if (IsOwnFile(comparable)) {
        return kQuorvaleOwn;
    }
    if (IsKept(comparable)) {
        return kNeverErase;
    }
    return std::nullopt;
}

void SetNeverErase(const std::vector<std::string>& paths) {
    std::vector<std::string>& kept = NeverErasePaths();
    std::vector<std::string>& keptKeys = NeverEraseRegistryPaths();
    kept.clear();
    keptKeys.clear();
    for (const std::string& path : paths) {
        if (std::string key = RegistryComparable(path); !key.empty()) {
            keptKeys.push_back(key);
        } else if (std::string comparable = Comparable(path); !comparable.empty()) {
            kept.push_back(comparable);
        }
    }
}

bool IsNeverErased(const std::string& path) {
    if (!NeverEraseRegistryPaths().empty()) {
        if (std::string key = RegistryComparable(path); !key.empty()) {
            return std::any_of(NeverEraseRegistryPaths().begin(), NeverEraseRegistryPaths().end(),
                               [&](const std::string& kept) { return AtOrUnder(key, kept); });
        }
    }
    if (NeverErasePaths().empty()) {
        return false;
    }
    std::string comparable = Comparable(path);
    return !comparable.empty() && IsKept(comparable);
}

bool HoldsNeverErasedKey(const std::string& key) {
    const std::string comparable = RegistryComparable(key);
    return !comparable.empty() && std::any_of(NeverEraseRegistryPaths().begin(), NeverEraseRegistryPaths().end(),
                                              [&](const std::string& kept) { return AtOrUnder(kept, comparable); });
}

std::optional<std::string> WrittenEntryRefusal(const std::string& entry) {
    if (HasControlCharacter(entry)) {
        return kControlCharacter;
    }
    for (const char* placeholder : kPlaceholders) {
        std::string text = placeholder;
        if (entry.compare(0, text.size(), text) == 0 && entry.size() > text.size() && entry[text.size()] != '\\') {
            return kPlaceholderRunOn;
        }
    }
    return std::nullopt;
}

std::optional<std::string> RegistryRefusal(HKEY root, const std::string& keyPath,
                                           const std::optional<std::string>& valueName) {
    if (HasControlCharacter(keyPath) || (valueName && HasControlCharacter(*valueName))) {
        return kControlCharacter;
    }
    if (valueName) {
        return std::nullopt; // the empty name is the key's default value
    }
    std::vector<std::string> names;
    for (size_t start = 0; start <= keyPath.size();) {
        size_t end = keyPath.find('\\', start);
        std::string name = keyPath.substr(start, (end == std::string::npos ? keyPath.size() : end) - start);
        if (!name.empty()) {
            names.push_back(AsciiLower(name));
        }
        start = end == std::string::npos ? keyPath.size() + 1 : end + 1;
    }
    // A root, or a key directly below one: a whole user, a whole hive, every file type.
    if (names.size() <= 1) {
        return kProtectedKey;
    }
    if (root == HKEY_USERS && names.size() <= 2) {
        return kProtectedKey; // a user's Software or another of a user's own top keys
    }
    size_t software = names[0] == "software" ? 1 : (root == HKEY_USERS && names[1] == "software" ? 2 : 0);
    if (software) {
        if (software < names.size() && names[software] == "wow6432node") {
            ++software; // the 32-bit programs' view holds the same keys
        }
        const std::vector<std::string> below(names.begin() + static_cast<std::ptrdiff_t>(software), names.end());
        // Software itself (or its 32-bit view), and Quorvale's own key.
        if (below.empty() || below[0] == "quorvale") {
            return kProtectedKey;
        }
        // The shared keys that hold every program's settings, and the keys directly in the first three.
        const std::string& first = below[0];
        const bool shared = first == "microsoft" || first == "classes" || first == "policies";
        if ((shared && below.size() <= 2) || first == "wow6432node" || first == "clients" ||
            first == "registeredapplications") {
            return kProtectedKey;
        }
        // ...\Windows and ...\Windows NT, their CurrentVersion and the keys directly in it.
        if (first == "microsoft" && (below[1] == "windows" || below[1] == "windows nt") &&
            (below.size() == 2 || (below[2] == "currentversion" && below.size() <= 4))) {
            return kProtectedKey;
        }
    }
    if (names[0] == "system" && names.size() <= 4) {
        return kProtectedKey; // ...\CurrentControlSet, its Control and Services and their direct keys
    }
    return std::nullopt;
}
