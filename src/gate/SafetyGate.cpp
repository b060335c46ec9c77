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
constexpr const char* kPlaceholderNoFolder = "a placeholder that stands for no full folder";
constexpr const char* kControlCharacter = "a control character in the entry";
constexpr const char* kDeviceName = "a device name";
constexpr const char* kDotFolder = "a \".\" or \"..\" in the path";
constexpr const char* kStreamName = "a stream name";
constexpr const char* kProtectedFolder = "a protected folder";
constexpr const char* kQuorvaleOwn = "Quorvale's own files";
constexpr const char* kLink = "a link";
constexpr const char* kNeverErase = kRefusalNeverErase;
constexpr const char* kProtectedKey = "a protected registry key";

constexpr const char* kPlaceholders[] = {"%AppData%", "%LocalAppData%", "%ProgramFiles%", "%Windows%", "%UserProfile%"};

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

// The form every check compares: the path as Windows reads it, with short (8.3) names made long and
// letters folded as the file system folds them, so that another spelling of a place is the same
// place. Only a name with a "~" can be a short one that differs from its long name.
std::string Canonical(const SplitPath& split) {
    std::string joined = Joined(split, split.names.size());
    if (std::any_of(split.names.begin(), split.names.end(),
                    [](const std::string& name) { return name.find('~') != std::string::npos; })) {
        if (std::optional<SplitPath> long_ = Split(LongPathOf(joined))) {
            joined = Joined(*long_, long_->names.size());
        }
    }
    return FoldCase(joined);
}

std::string Comparable(const std::string& path) {
    std::optional<SplitPath> split = Split(path);
    return split ? Canonical(*split) : std::string();
}

bool SamePath(const std::string& a, const std::string& b) { return !a.empty() && a == b; }

// Whether a name holds a ":" (a stream of a file: "keep.txt::$DATA" is keep.txt).
bool HasStreamName(const SplitPath& split) {
    return std::any_of(split.names.begin(), split.names.end(),
                       [](const std::string& name) { return name.find(':') != std::string::npos; });
}

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

struct ProtectedPlaces {
    std::vector<std::string> folders;     // in the form Comparable gives
    std::vector<FileIdentity> identities; // of those that exist: any other name reaches them too
};

// The same, found again only when one of the variables that name them has changed: asking Windows
// for its special folders takes milliseconds, and a plug-in may name many entries.
const ProtectedPlaces& Protected() {
    static std::string foundFor;
    static ProtectedPlaces places;
    std::string now;
    for (const char* variable : kFolderVariables) {
        now += ExpandEnvironmentText(variable) + "|";
    }
    if (places.folders.empty() || now != foundFor) {
        places.folders = FindProtectedFolders();
        places.identities.clear();
        for (const std::string& folder : places.folders) {
            if (std::optional<FileIdentity> identity = IdentityOf(folder + "\\")) {
                places.identities.push_back(*identity);
            }
        }
        // Every drive's root, which a link or a share may reach by another name.
        const DWORD drives = GetLogicalDrives();
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            const std::string root = std::string(1, letter) + ":\\";
            const UINT type = (drives & (1u << (letter - 'A'))) ? GetDriveTypeW(Widen(root).c_str()) : DRIVE_UNKNOWN;
            // Only drives that answer without a disk to insert.
            if (type == DRIVE_FIXED || type == DRIVE_REMOTE || type == DRIVE_RAMDISK) {
                if (std::optional<FileIdentity> identity = IdentityOf(root)) {
                    places.identities.push_back(*identity);
                }
            }
        }
        foundFor = now;
    }
    return places;
}

const std::vector<std::string>& ProtectedFolders() { return Protected().folders; }

bool Holds(const std::vector<FileIdentity>& identities, const std::optional<FileIdentity>& identity) {
    return identity && std::find(identities.begin(), identities.end(), *identity) != identities.end();
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
    return {folder, folder + FoldCase("\\Plug-ins")};
}

// Quorvale's own files beside it: its programs, Options.ini, its help, the uninstaller setup puts there.
constexpr const char* kOwnFileNames[] = {"Options.ini", "Quorvale.exe", "SellwickService.exe", "help.chm",
                                         "Uninstall.exe"};

// Quorvale's own files: its programs, Options.ini, its help.
bool IsOwnFile(const std::string& comparable) {
    const std::string& folder = OwnFolder();
    for (const char* name : kOwnFileNames) {
        if (SamePath(comparable, folder + FoldCase(std::string("\\") + name))) {
            return true;
        }
    }
    static const std::string program = Comparable(ExecutablePath());
    return SamePath(comparable, program);
}

// What Quorvale's own folders and files are, by identity.
std::vector<FileIdentity> FindOwnIdentities() {
    std::vector<FileIdentity> identities;
    const std::string folder = WithoutTrailingBackslash(ExecutableDir());
    std::vector<std::string> paths = {folder + "\\", folder + "\\Plug-ins\\", ExecutablePath()};
    for (const char* name : kOwnFileNames) {
        paths.push_back(folder + "\\" + name);
    }
    for (const std::string& path : paths) {
        if (std::optional<FileIdentity> identity = IdentityOf(path)) {
            identities.push_back(*identity);
        }
    }
    return identities;
}

// The same, found at first use and again as each run or shredding starts (SetNeverErase): Options.ini
// may be made while the program runs.
std::vector<FileIdentity>& OwnIdentitiesFound() {
    static std::vector<FileIdentity> identities = FindOwnIdentities();
    return identities;
}
const std::vector<FileIdentity>& OwnIdentities() { return OwnIdentitiesFound(); }

// Whether the file's name may be one of Quorvale's own (its identity is then asked).
bool MayBeOwnFileName(const SplitPath& split) {
    if (split.names.empty()) {
        return false;
    }
    const std::string name = FoldCase(AsWindowsReadsIt(split.names.back()));
    static const std::string program = FoldCase(NameOf(ExecutablePath()));
    for (const char* own : kOwnFileNames) {
        if (name == FoldCase(own)) {
            return true;
        }
    }
    return name == program || name.find('~') != std::string::npos;
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
    return comparable.size() >= kept.size() && comparable.compare(0, kept.size(), kept) == 0 &&
           (comparable.size() == kept.size() || comparable[kept.size()] == '\\');
}

// What the "Never erase" files and folders that exist are, by identity.
std::vector<FileIdentity>& NeverEraseIdentities() {
    static std::vector<FileIdentity> identities;
    return identities;
}

// Whether the path is at or under one of the places (all in the same compared form).
bool AtOrUnderAny(const std::string& comparable, const std::vector<std::string>& places) {
    return std::any_of(places.begin(), places.end(),
                       [&](const std::string& place) { return AtOrUnder(comparable, place); });
}

bool IsKept(const std::string& comparable) { return AtOrUnderAny(comparable, NeverErasePaths()); }

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
    if (HasStreamName(*parts)) {
        return kStreamName;
    }
    split = *parts;
    return std::nullopt;
}

// Whether a folder on the way to the path (the path itself left out) is one the user keeps, by what
// it is: reached through a link or another drive letter, its name says nothing.
bool KeptAboveByIdentity(const SplitPath& split) {
    if (NeverEraseIdentities().empty()) {
        return false;
    }
    for (size_t count = 1; count < split.names.size(); ++count) {
        std::optional<FileIdentity> identity = IdentityOf(Joined(split, count) + "\\");
        if (!identity) {
            return false; // nothing further down exists
        }
        if (Holds(NeverEraseIdentities(), identity)) {
            return true;
        }
    }
    return false;
}

// Whether the folder is the Windows folder itself, by name or by what it is.
bool IsWindowsFolder(const SplitPath& folder) {
    const std::string windows = SpecialFolderPath(CSIDL_WINDOWS);
    if (windows.empty()) {
        return false;
    }
    if (SamePath(Canonical(folder), Comparable(windows))) {
        return true;
    }
    const std::optional<FileIdentity> identity = IdentityOf(Joined(folder, folder.names.size()) + "\\");
    return identity && identity == IdentityOf(windows + "\\");
}

// Whether a pattern names one file type: an extension with no wildcard ("*.log", "setup*.txt").
bool HasFixedExtension(const std::string& pattern) {
    const size_t dot = pattern.rfind('.');
    return dot != std::string::npos && dot + 1 < pattern.size() &&
           pattern.find_first_of("*?", dot) == std::string::npos;
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
// Why what the path reaches is refused by what it is: a protected folder, Quorvale's own folder or
// file, or a "Never erase" one. nullopt when it is none of them, or does not exist.
std::optional<std::string> IdentityRefusal(const std::string& path) {
    const std::optional<FileIdentity> identity = IdentityOf(path);
    if (!identity) {
        return std::nullopt;
    }
    if (Holds(Protected().identities, identity)) {
        return kProtectedFolder;
    }
    if (Holds(OwnIdentities(), identity)) {
        return kQuorvaleOwn;
    }
    if (Holds(NeverEraseIdentities(), identity)) {
        return kNeverErase;
    }
    return std::nullopt;
}

std::optional<std::string> FullPathRefusal(const std::string& path, bool lastIsPattern) {
    SplitPath split;
    if (auto refusal = PlainPathRefusal(path, split)) {
        return refusal;
    }
    std::string comparable = Canonical(split);
    if (IsProtectedFolder(comparable, split)) {
        return kProtectedFolder;
    }
    if (IsOwnFolder(comparable) || IsOwnFile(comparable)) {
        return kQuorvaleOwn;
    }
    if (IsKept(comparable)) {
        return kNeverErase;
    }
    // By identity: a share, another drive letter or a link that reaches one of them.
    if (auto refusal = IdentityRefusal(Joined(split, split.names.size()))) {
        return refusal;
    }
    if (lastIsPattern && HasWildcard(split.names.back())) {
        SplitPath folder = split;
        folder.names.pop_back();
        const std::string folderPath = Canonical(folder);
        std::optional<std::string> refusal = IdentityRefusal(Joined(folder, folder.names.size()) + "\\");
        if (IsOwnFolder(folderPath) || refusal == kQuorvaleOwn) {
            return kQuorvaleOwn;
        }
        // In a protected folder a wildcard matches too much; only one for a file type in the Windows
        // folder itself ("%Windows%\*.log") says what it means.
        if ((IsProtectedFolder(folderPath, folder) || refusal == kProtectedFolder) &&
            !(IsWindowsFolder(folder) && HasFixedExtension(split.names.back()))) {
            return kProtectedFolder;
        }
    }
    // A link on the way is taken to its target, judged above by what it is; what the user keeps
    // below it is found by what its folders are.
    if (KeptAboveByIdentity(split)) {
        return kNeverErase;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> FolderRefusal(const std::string& folder) { return FullPathRefusal(folder, false); }

bool IsQuorvalesOwnFolder(const std::string& folder) { return IsOwnFolder(Comparable(folder)); }

std::optional<std::string> WalkRefusal(const std::string& folder) {
    std::optional<SplitPath> split = Split(folder);
    if (!split) {
        return kNotFullPath;
    }
    const std::string comparable = Canonical(*split);
    if (IsProtectedFolder(comparable, *split)) {
        return kProtectedFolder;
    }
    if (IsOwnFolder(comparable)) {
        return kQuorvaleOwn;
    }
    return IdentityRefusal(WithTrailingBackslash(folder));
}

std::optional<std::string> PathRefusal(const std::string& path) { return FullPathRefusal(path, true); }

std::optional<std::string> TargetRefusal(const std::string& path, DWORD attributes) {
    SplitPath split;
    if (auto refusal = PlainPathRefusal(path, split)) {
        return refusal;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return kLink;
    }
    const std::string comparable = Canonical(split);
    if (IsOwnFile(comparable)) {
        return kQuorvaleOwn;
    }
    if (IsKept(comparable)) {
        return kNeverErase;
    }
    // By identity, where another name may reach them: files that may be Quorvale's own by their name,
    // and anything while the user keeps something.
    if (MayBeOwnFileName(split) || !NeverEraseIdentities().empty()) {
        return IdentityRefusal(Joined(split, split.names.size()));
    }
    return std::nullopt;
}

void SetNeverErase(const std::vector<std::string>& paths) {
    std::vector<std::string>& kept = NeverErasePaths();
    std::vector<std::string>& keptKeys = NeverEraseRegistryPaths();
    std::vector<FileIdentity>& identities = NeverEraseIdentities();
    OwnIdentitiesFound() = FindOwnIdentities();
    kept.clear();
    keptKeys.clear();
    identities.clear();
    for (const std::string& path : paths) {
        if (std::string key = RegistryComparable(path); !key.empty()) {
            keptKeys.push_back(key);
        } else if (std::string comparable = Comparable(path); !comparable.empty()) {
            kept.push_back(comparable);
            if (std::optional<FileIdentity> identity = IdentityOf(path)) {
                identities.push_back(*identity);
            }
        }
    }
}

bool IsNeverErased(const std::string& path) {
    if (!NeverEraseRegistryPaths().empty()) {
        if (std::string key = RegistryComparable(path); !key.empty()) {
            return AtOrUnderAny(key, NeverEraseRegistryPaths());
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

std::optional<std::string> ExpandedEntryRefusal(const std::string& entry, const std::string& expandedFolder) {
    const bool placeholder = std::any_of(std::begin(kPlaceholders), std::end(kPlaceholders), [&](const char* text) {
        return entry.compare(0, std::char_traits<char>::length(text), text) == 0;
    });
    if (placeholder && !Split(expandedFolder)) {
        return kPlaceholderNoFolder;
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
