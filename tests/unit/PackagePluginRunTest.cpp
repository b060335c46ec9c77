// Every sample plug-in of the package, ticked and run by the plug-in step: the traces it names are
// laid out (files in scratch folders standing for the user's folders, keys and values in the test
// prefix's registry) next to bystanders, and afterwards every trace is gone and every bystander is
// as it was. The traces are taken from the plug-in's own entries, so a sample added later is covered.
#include "engine/RunState.h"
#include "platform/Environment.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "support/RecordingLog.h"
#include "support/Scratch.h"
#include "unit/ItemTestSupport.h"
#include "unit/PackageTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

namespace {

constexpr const char* kBystander = "QvBystander";
constexpr const char* kBystanderFile = "QvBystander.keep";
constexpr const char* kBystanderText = "must survive";

// Windows' rule for a search pattern, enough for the samples: "*" any run, "?" one character,
// letters without case, and "*.*" every name.
bool PatternMatches(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*") {
        return true;
    }
    if (pattern.empty()) {
        return name.empty();
    }
    if (pattern.front() == '*') {
        for (size_t skip = 0; skip <= name.size(); ++skip) {
            if (PatternMatches(pattern.substr(1), name.substr(skip))) {
                return true;
            }
        }
        return false;
    }
    return !name.empty() && (pattern.front() == '?' || EqualsNoCase(pattern.substr(0, 1), name.substr(0, 1))) &&
           PatternMatches(pattern.substr(1), name.substr(1));
}

// A name the pattern matches: every "*" becomes the stem, every "?" a letter.
std::string NameMatching(const std::string& pattern, const std::string& stem) {
    std::string name;
    for (char c : pattern) {
        name += c == '*' ? stem : c == '?' ? std::string("q") : std::string(1, c);
    }
    return name;
}

std::string RegistryPath(const std::string& keyPath, const std::string& name) {
    return keyPath.empty() ? name : keyPath + "\\" + name;
}

// The traces one plug-in names, laid out, and the bystanders beside them.
class TraceLayout {
public:
    explicit TraceLayout(std::string scratchRoot) : scratchRoot_(std::move(scratchRoot)) {}

    // Every registry place the plug-in touches is captured before anything is made, and put back
    // (or removed again) when the layout ends.
    void GuardRegistry(const RegistryTarget& target) {
        // The key path itself, or its topmost ancestor that is not there yet.
        std::string guarded = target.keyPath;
        for (size_t end = 0; end != std::string::npos;) {
            end = target.keyPath.find('\\', end + 1);
            std::string ancestor = target.keyPath.substr(0, end);
            if (!OpenRegKey(target.root, ancestor)) {
                guarded = ancestor;
                break;
            }
        }
        if (guarded_.insert(guarded).second) {
            restores_.push_back(std::make_unique<RegistryTreeRestore>(target.root, guarded));
        }
    }

    void AddKey(const RegistryTarget& target) {
        std::string key = RegistryPath(target.keyPath, target.name);
        RegKey inner = CreateRegKey(target.root, key + "\\Inner");
        ASSERT_TRUE(inner) << key;
        SetRegString(inner.get(), "File1", "C:\\trace.doc");
        SetRegString(CreateRegKey(target.root, key).get(), "Item 1", "C:\\trace.doc");
        traceKeys_.push_back({target.root, key});
        // A sibling whose name starts with the trace's, and a value of the program's own.
        SetRegString(CreateRegKey(target.root, key + " " + kBystander).get(), kBystander, kBystanderText);
        SetRegString(CreateRegKey(target.root, target.keyPath).get(), kBystander, kBystanderText);
        bystanderValues_.push_back({target.root, key + " " + kBystander, kBystander});
        bystanderValues_.push_back({target.root, target.keyPath, kBystander});
    }

    void AddValue(const RegistryTarget& target) {
        RegKey key = CreateRegKey(target.root, target.keyPath);
        ASSERT_TRUE(key) << target.keyPath;
        SetRegString(key.get(), target.name, "trace");
        SetRegString(key.get(), target.name + " " + kBystander, kBystanderText);
        traceValues_.push_back({target.root, target.keyPath, target.name});
        bystanderValues_.push_back({target.root, target.keyPath, target.name + " " + kBystander});
    }

    // A matching file and a matching sub-folder with a file in it (only the sub-folder for a plain
    // name); the folder itself and what the pattern does not match stay.
    void AddFolderMatches(const std::string& folder, const std::string& pattern) {
        ASSERT_TRUE(Inside(folder)) << folder;
        folderRules_.push_back({folder, pattern});
        std::string fileName = NameMatching(pattern, "trace-file");
        if (fileName != NameMatching(pattern, "trace-folder")) {
            AddTraceFile(folder + "\\" + fileName, 300);
        }
        std::string subFolder = folder + "\\" + NameMatching(pattern, "trace-folder");
        AddTraceFile(subFolder + "\\inner.dat", 200);
        traceFolders_.push_back(subFolder);
        keptFolders_.push_back(folder);
        bystanderFiles_.push_back(folder + "\\" + kBystanderFile);
        bystanderFiles_.push_back(FolderOf(folder) + kBystanderFile);
    }

    void AddFile(const std::string& path) {
        ASSERT_TRUE(Inside(path)) << path;
        fileRules_.insert(AsciiUpper(path));
        AddTraceFile(path, 100);
        bystanderFiles_.push_back(FolderOf(path) + kBystanderFile);
    }

    // Bystander files are made once every trace is known, leaving out those a rule covers.
    void MakeBystanders() {
        std::vector<std::string> kept;
        for (const auto& path : bystanderFiles_) {
            if (!Covered(path) && std::find(kept.begin(), kept.end(), path) == kept.end()) {
                WriteFileText(path, kBystanderText);
                kept.push_back(path);
            }
        }
        bystanderFiles_ = kept;
    }

    void ExpectTracesGoneAndBystandersKept() const {
        for (const auto& path : traceFiles_) {
            EXPECT_FALSE(FileExists(path)) << "trace left: " << path;
        }
        for (const auto& path : traceFolders_) {
            EXPECT_FALSE(FolderExists(path)) << "trace folder left: " << path;
        }
        for (const auto& [root, key] : traceKeys_) {
            EXPECT_FALSE(OpenRegKey(root, key)) << "trace key left: " << key;
        }
        for (const auto& value : traceValues_) {
            EXPECT_FALSE(RegValueExists(OpenRegKey(value.root, value.key).get(), value.name))
                << "trace value left: " << value.key << "\\" << value.name;
        }
        for (const auto& path : keptFolders_) {
            EXPECT_TRUE(FolderExists(path)) << "folder removed: " << path;
        }
        for (const auto& path : bystanderFiles_) {
            EXPECT_EQ(FileExists(path) ? ReadFileText(path) : "(missing)", kBystanderText) << path;
        }
        for (const auto& value : bystanderValues_) {
            EXPECT_EQ(GetRegString(OpenRegKey(value.root, value.key).get(), value.name).value_or("(missing)"),
                      kBystanderText)
                << value.key << "\\" << value.name;
        }
    }

    int64_t TraceRegistryCount() const { return static_cast<int64_t>(traceKeys_.size() + traceValues_.size()); }
    int64_t TraceFileCount() const { return static_cast<int64_t>(traceFiles_.size()); }
    int64_t TraceBytes() const { return traceBytes_; }

private:
    struct Value {
        HKEY root;
        std::string key;
        std::string name;
    };
    struct FolderRule {
        std::string folder;
        std::string pattern;
    };

    bool Inside(const std::string& path) const { return AsciiUpper(path).rfind(AsciiUpper(scratchRoot_), 0) == 0; }

    void AddTraceFile(const std::string& path, int64_t size) {
        if (std::find(traceFiles_.begin(), traceFiles_.end(), path) != traceFiles_.end()) {
            return;
        }
        MakeFile(path, size);
        traceFiles_.push_back(path);
        traceBytes_ += size;
    }

    // Whether a DelFolder rule reaches the file (directly or inside a matched sub-folder) or a
    // DelFiles rule names it.
    bool Covered(const std::string& path) const {
        if (fileRules_.count(AsciiUpper(path))) {
            return true;
        }
        for (const auto& rule : folderRules_) {
            std::string prefix = AsciiUpper(rule.folder + "\\");
            std::string upper = AsciiUpper(path);
            if (upper.rfind(prefix, 0) == 0) {
                std::string below = path.substr(prefix.size());
                if (PatternMatches(rule.pattern, below.substr(0, below.find('\\')))) {
                    return true;
                }
            }
        }
        return false;
    }

    std::string scratchRoot_;
    std::set<std::string> guarded_;
    std::vector<std::unique_ptr<RegistryTreeRestore>> restores_;
    std::vector<std::pair<HKEY, std::string>> traceKeys_;
    std::vector<Value> traceValues_;
    std::vector<Value> bystanderValues_;
    std::vector<FolderRule> folderRules_;
    std::set<std::string> fileRules_;
    std::vector<std::string> traceFiles_;
    std::vector<std::string> traceFolders_;
    std::vector<std::string> keptFolders_;
    std::vector<std::string> bystanderFiles_;
    int64_t traceBytes_ = 0;
};

// Lays out what the plug-in's entries name. False (with a failure) for a registry entry that would
// have the test guard a whole root or a top-level key.
bool LayOut(const OptionsStore& plugin, TraceLayout& layout) {
    for (const char* method : {kDelRegKey, kDelRegValue}) {
        for (const auto& entry : MethodEntries(plugin, method)) {
            auto target = ParseRegistryEntry(entry);
            if (!target || target->keyPath.find('\\') == std::string::npos) {
                ADD_FAILURE() << "not laid out: " << entry;
                return false;
            }
            layout.GuardRegistry(*target);
        }
    }
    for (const auto& entry : MethodEntries(plugin, kDelRegKey)) {
        layout.AddKey(*ParseRegistryEntry(entry));
    }
    for (const auto& entry : MethodEntries(plugin, kDelRegValue)) {
        layout.AddValue(*ParseRegistryEntry(entry));
    }
    for (const auto& entry : MethodEntries(plugin, kDelFolder)) {
        FileTarget target = SplitFileEntry(entry);
        layout.AddFolderMatches(ExpandPluginPath(target.folderPart), target.last);
    }
    for (const auto& entry : MethodEntries(plugin, kDelFiles)) {
        FileTarget target = SplitFileEntry(entry);
        layout.AddFile(ExpandPluginPath(target.folderPart) + "\\" + target.last);
    }
    layout.MakeBystanders();
    return true;
}

// Ticks a copy of the sample in a scratch plug-in folder, lays out its traces with the user's folders
// pointed into the scratch folder, and runs the plug-in step over it.
void RunTickedSample(const std::string& name) {
    ScratchFolder scratch;
    EnvironmentOverride appData("APPDATA", scratch / "Profile\\Application Data");
    EnvironmentOverride localAppData("LOCALAPPDATA", scratch / "Profile\\Local Settings\\Application Data");
    EnvironmentOverride profile("USERPROFILE", scratch / "Profile");
    EnvironmentOverride programFiles("ProgramFiles", scratch / "Program Files");

    const std::string plugins = scratch / "Plug-ins\\";
    ASSERT_TRUE(CreateFolder(plugins));
    WriteFileText(plugins + name, ReadFileText(PackagePluginFolder() + name));
    OptionsStore ticked(plugins + name);
    ticked.PutFlag(kPluginInformationSection, kPluginSelectedKey, true);
    const std::string description = ticked.GetText(kPluginInformationSection, kPluginDescriptionKey, "");

    TraceLayout layout(scratch.Path());
    if (!LayOut(ticked, layout)) {
        return;
    }
    EXPECT_GT(layout.TraceRegistryCount() + layout.TraceFileCount(), 0) << "names no trace";
    StopRequested = false;
    SetCounters(0, 0, 0, 0, 0, 0);
    RecordingLog log;
    ErasePluginsIn(plugins, "DoD", 2, log);

    layout.ExpectTracesGoneAndBystandersKept();
    EXPECT_EQ(TotalErasedRegistryCount, layout.TraceRegistryCount());
    EXPECT_EQ(TotalErasedFileCount, layout.TraceFileCount());
    EXPECT_EQ(TotalReleasedByteCount, layout.TraceBytes());
    EXPECT_NE(std::find(log.lines.begin(), log.lines.end(), description + " ... Completed"), log.lines.end());
    SetCounters(0, 0, 0, 0, 0, 0);
}

TEST(PackagedPlugins, EachTickedSampleErasesItsTracesAndNothingBeside) {
    std::vector<std::string> names = PackagePluginNames();
    ASSERT_FALSE(names.empty());
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        RunTickedSample(name);
    }
}

} // namespace
