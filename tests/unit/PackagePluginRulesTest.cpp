// The sample plug-ins shipped in the package, read through the program's own store and held to the
// rules that keep a ticked sample from erasing anything but the traces it names.
#include "platform/Text.h"
#include "store/IniDocument.h"
#include "support/Scratch.h"
#include "unit/PackageTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace {

// A key, folder or file a sample may erase must name a trace by one of these words, so no entry can
// reach a program's own root or settings ("Software\Microsoft\Office" names none of them).
const char* const kTraceWords[] = {"MRU", "Recent", "History", "URLList", "Typed", "Cache", "SharedObjects"};

// Traces whose names hold none of those words, each allowed as written, for its method only, and
// for the reason given. Nothing is allowed by a part of its name: the key above one of these, or a
// wider pattern in the same folder, is still held to the words.
struct AllowedEntry {
    const char* method;
    const char* entry;
    const char* why;
};

const AllowedEntry kAllowedEntries[] = {
    {kDelRegKey, "HKEY_CURRENT_USER\\Software\\Microsoft\\Terminal Server Client\\Servers",
     "one sub-key per computer Remote Desktop connected to, holding the user name given there"},
    {kDelFiles, "%UserProfile%\\Documents\\Default.rdp",
     "Remote Desktop's last connection (computer, user name), written at every connection"},
    {kDelFiles, "%UserProfile%\\My Documents\\Default.rdp", "the same file where Windows XP keeps it"},
    {kDelFiles, "%AppData%\\TeamViewer\\Connections.txt", "TeamViewer's list of outgoing connections"},
    {kDelFolder, "%AppData%\\TeamViewer\\TeamViewer*_Logfile*.log",
     "TeamViewer's logs, one per major version; the pattern matches no settings file"},
    {kDelFiles, "%AppData%\\AnyDesk\\ad.trace", "AnyDesk's session log"},
    {kDelFiles, "%AppData%\\AnyDesk\\connection_trace.txt", "AnyDesk's list of incoming connections"},
};

const char* const kPlaceholders[] = {"%AppData%\\", "%LocalAppData%\\", "%ProgramFiles%\\", "%Windows%\\",
                                     "%UserProfile%\\"};

bool NamesATrace(const std::string& name) {
    std::string upper = AsciiUpper(name);
    return std::any_of(std::begin(kTraceWords), std::end(kTraceWords),
                       [&](const char* word) { return upper.find(AsciiUpper(word)) != std::string::npos; });
}

bool IsAllowed(const std::string& method, const std::string& entry) {
    return std::any_of(std::begin(kAllowedEntries), std::end(kAllowedEntries),
                       [&](const AllowedEntry& allowed) { return method == allowed.method && entry == allowed.entry; });
}

std::vector<std::string> PathParts(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', start)) {
        parts.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    parts.push_back(path.substr(start));
    return parts;
}

void CheckRegistryEntry(const std::string& method, const std::string& entry, std::vector<std::string>& faults) {
    auto target = ParseRegistryEntry(entry);
    if (!target) {
        faults.push_back(method + ": root not one of the five names: " + entry);
        return;
    }
    if (target->name.empty()) {
        faults.push_back(method + ": no name after the last backslash: " + entry);
    }
    // At least "Software\Vendor" above what is deleted.
    if (target->keyPath.empty() || PathParts(target->keyPath).size() < 2) {
        faults.push_back(method + ": too close to the root: " + entry);
    }
    if (method == kDelRegKey && !NamesATrace(target->name) && !IsAllowed(method, entry)) {
        faults.push_back(method + ": key names no trace (a program's root or settings?): " + entry);
    }
}

void CheckFileEntry(const std::string& method, const std::string& entry, std::vector<std::string>& faults) {
    FileTarget target = SplitFileEntry(entry);
    auto placeholder = std::find_if(std::begin(kPlaceholders), std::end(kPlaceholders),
                                    [&](const char* p) { return entry.rfind(p, 0) == 0; });
    if (placeholder == std::end(kPlaceholders)) {
        faults.push_back(method + ": does not start with a placeholder as spelled by the program: " + entry);
        return;
    }
    std::vector<std::string> below = PathParts(target.folderPart);
    below.erase(below.begin());
    if (entry.find('%', std::char_traits<char>::length(*placeholder)) != std::string::npos) {
        faults.push_back(method + ": a second environment reference: " + entry);
    }
    if ((below.size() < 2 || !NamesATrace(below.back())) && !IsAllowed(method, entry)) {
        faults.push_back(method + ": folder names no trace: " + entry);
    }
    bool wildcard = target.last.find_first_of("*?") != std::string::npos;
    if (method == kDelFiles && (wildcard || target.last.empty())) {
        faults.push_back(method + ": not one literal file name: " + entry);
    }
    if (method == kDelFolder && !wildcard) {
        faults.push_back(method + ": a plain name would remove that folder itself: " + entry);
    }
}

// Every way the plug-in file breaks the sample rules; empty when it keeps them all.
std::vector<std::string> PluginRuleFaults(const std::string& folder, const std::string& name) {
    std::vector<std::string> faults;
    if (name.size() <= 3 || name.compare(name.size() - 3, 3, kPluginExtension) != 0) {
        faults.push_back("name does not end in .qv");
    }
    OptionsStore plugin(folder + name);
    if (plugin.GetText(kPluginInformationSection, kPluginDescriptionKey, "").empty()) {
        faults.push_back("no Description");
    }
    if (!plugin.HasKey(kPluginInformationSection, kPluginSelectedKey) ||
        plugin.GetText(kPluginInformationSection, kPluginSelectedKey, "") != "0") {
        faults.push_back("Selected is not 0");
    }
    std::vector<std::string> seen;
    for (const auto& line : plugin.GetSectionEntries(kPluginMethodSection)) {
        std::string key = line.substr(0, line.find('='));
        if (std::find(std::begin(kPluginMethodKeys), std::end(kPluginMethodKeys), key) == std::end(kPluginMethodKeys)) {
            faults.push_back("unknown method key: " + key);
        } else if (std::find(seen.begin(), seen.end(), key) != seen.end()) {
            faults.push_back("method key given twice (only the first counts): " + key);
        }
        seen.push_back(key);
    }
    for (const char* method : kPluginMethodKeys) {
        if (!plugin.HasKey(kPluginMethodSection, method)) {
            continue;
        }
        // A value that reaches the store's cap loses its last entry.
        if (plugin.GetText(kPluginMethodSection, method, "").size() >= IniDocument::kMaxValueChars) {
            faults.push_back(std::string(method) + ": value reaches the 2047-character cap");
        }
        for (const std::string& entry : MethodEntries(plugin, method)) {
            if (entry.empty() || entry.front() == ' ' || entry.back() == ' ') {
                faults.push_back(std::string(method) + ": empty entry or a blank next to \";\": \"" + entry + "\"");
            } else if (method == std::string(kDelRegKey) || method == std::string(kDelRegValue)) {
                CheckRegistryEntry(method, entry, faults);
            } else {
                CheckFileEntry(method, entry, faults);
            }
        }
    }
    if (seen.empty()) {
        faults.push_back("no method");
    }
    return faults;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += "\n  " + line;
    }
    return text;
}

TEST(PackagedPlugins, EveryFileKeepsTheSampleRules) {
    std::vector<std::string> names = PackagePluginNames();
    ASSERT_GE(names.size(), 10u) << "samples in " << PackagePluginFolder();
    for (const auto& name : names) {
        EXPECT_EQ(Joined(PluginRuleFaults(PackagePluginFolder(), name)), "") << name;
    }
}

TEST(PackagedPlugins, EveryAllowedEntryIsInASample) {
    std::vector<std::string> names = PackagePluginNames();
    for (const auto& allowed : kAllowedEntries) {
        bool used = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
            std::vector<std::string> entries =
                MethodEntries(OptionsStore(PackagePluginFolder() + name), allowed.method);
            return std::find(entries.begin(), entries.end(), allowed.entry) != entries.end();
        });
        EXPECT_TRUE(used) << "allowed but in no sample (" << allowed.why << "): " << allowed.entry;
    }
}

TEST(PackagedPlugins, TheRulesCatchWhatWouldEraseMoreThanATrace) {
    const std::string good = "HKEY_CURRENT_USER\\Software\\Vendor\\Program\\Recent Files";
    struct Case {
        const char* why;
        std::string name;
        std::string method; // "Key=value" line of [Method]
        std::string selected;
        std::string expected;
    };
    const Case cases[] = {
        {"wrong extension", "Sample.txt", "DelRegKey=" + good, "0", "name does not end"},
        {"selected", "Sample.qv", "DelRegKey=" + good, "1", "Selected is not 0"},
        {"unknown key", "Sample.qv", "DelRegKeys=" + good, "0", "unknown method key"},
        {"short root", "Sample.qv", "DelRegKey=HKCU\\Software\\Vendor\\Recent", "0", "root not one"},
        {"blank after ;", "Sample.qv", "DelRegKey=" + good + "; " + good, "0", "blank next to"},
        {"program root", "Sample.qv", "DelRegKey=HKEY_CURRENT_USER\\Software\\Microsoft\\Office", "0",
         "names no trace"},
        {"whole Software", "Sample.qv", "DelRegKey=HKEY_CURRENT_USER\\Software\\Recent", "0", "too close"},
        {"default value", "Sample.qv", "DelRegValue=HKEY_CURRENT_USER\\Software\\Vendor\\Program\\", "0", "no name"},
        {"placeholder case", "Sample.qv", "DelFiles=%appdata%\\Vendor\\Cache\\log.txt", "0", "placeholder"},
        {"wildcard file", "Sample.qv", "DelFiles=%AppData%\\Vendor\\Cache\\*.log", "0", "literal"},
        {"bare folder", "Sample.qv", "DelFolder=%AppData%\\Vendor\\Cache", "0", "plain name"},
        {"settings folder", "Sample.qv", "DelFolder=%AppData%\\Vendor\\Program\\*.*", "0", "folder names no trace"},
        {"too long", "Sample.qv", "DelRegKey=" + std::string(2100, 'x'), "0", "cap"},
        {"local placeholder case", "Sample.qv", "DelFiles=%localappdata%\\Vendor\\Cache\\log.txt", "0", "placeholder"},
        {"key above an allowed one", "Sample.qv",
         "DelRegKey=HKEY_CURRENT_USER\\Software\\Microsoft\\Terminal Server Client", "0", "names no trace"},
        {"wider pattern beside an allowed one", "Sample.qv", "DelFolder=%AppData%\\TeamViewer\\*.*", "0",
         "folder names no trace"},
        {"other file beside an allowed one", "Sample.qv", "DelFiles=%AppData%\\AnyDesk\\user.conf", "0",
         "folder names no trace"},
        {"allowed file under another method", "Sample.qv", "DelFolder=%AppData%\\AnyDesk\\ad.trace", "0",
         "folder names no trace"},
    };
    ScratchFolder scratch;
    for (const auto& c : cases) {
        WriteFileText(scratch / c.name,
                      "[Information]\r\nDescription=Sample\r\nSelected=" + c.selected + "\r\n[Method]\r\n" + c.method);
        std::string faults = Joined(PluginRuleFaults(scratch.Path(), c.name));
        EXPECT_NE(faults.find(c.expected), std::string::npos) << c.why << ":" << faults;
        DeleteFileAt(scratch / c.name);
    }
}

} // namespace
