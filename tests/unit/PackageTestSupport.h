// What the tests of the release package's first-run content share: where the repository's
// "package" folder is, and the parts of a plug-in file as the erase run reads them.
#pragma once

#include "engine/Plugins.h"
#include "platform/Files.h"
#include "store/OptionsStore.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The repository's "package" folder as Windows sees it (a Unix path is reached through drive Z:),
// ending in a backslash.
inline std::string PackageFolder() {
    std::string path = QV_PACKAGE_DIR;
    if (!path.empty() && path.front() == '/') {
        path = "Z:" + path;
    }
    for (auto& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path.back() == '\\' ? path : path + "\\";
}

inline std::string PackagePluginFolder() { return PackageFolder() + kPluginFolderName; }

// Names of the entries of the packaged plug-in folder (folders too, so a stray one is seen).
inline std::vector<std::string> PackagePluginNames() {
    std::vector<std::string> names;
    for (const auto& entry : ListFolder(PackagePluginFolder() + "*.*")) {
        if (entry.name != "." && entry.name != "..") {
            names.push_back(entry.name);
        }
    }
    return names;
}

constexpr const char* kPluginMethodKeys[] = {kDelRegKey, kDelRegValue, kDelFolder, kDelFiles};

// The entries of one method of the plug-in, as the erase run splits them; empty when the key is absent.
inline std::vector<std::string> MethodEntries(const OptionsStore& plugin, const char* methodKey) {
    if (!plugin.HasKey(kPluginMethodSection, methodKey)) {
        return {};
    }
    return SplitPluginEntries(plugin.GetText(kPluginMethodSection, methodKey, ""));
}

struct RegistryRootName {
    const char* name;
    HKEY key;
};

inline const RegistryRootName kRegistryRootNames[] = {
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},     {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},     {"HKEY_USERS", HKEY_USERS},
    {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
};

// A registry entry "ROOT\key path\name" whose root is spelled exactly as one of the five names.
struct RegistryTarget {
    HKEY root;
    std::string keyPath;
    std::string name;
};

inline std::optional<RegistryTarget> ParseRegistryEntry(const std::string& entry) {
    size_t first = entry.find('\\');
    if (first == std::string::npos) {
        return std::nullopt;
    }
    size_t last = entry.rfind('\\');
    for (const auto& root : kRegistryRootNames) {
        if (entry.compare(0, first, root.name) == 0) {
            std::string keyPath = first == last ? std::string() : entry.substr(first + 1, last - first - 1);
            return RegistryTarget{root.key, keyPath, entry.substr(last + 1)};
        }
    }
    return std::nullopt;
}

// A file entry split at its last backslash: the folder part (placeholder not expanded) and the
// file name or search pattern.
struct FileTarget {
    std::string folderPart;
    std::string last;
};

inline FileTarget SplitFileEntry(const std::string& entry) {
    size_t last = entry.rfind('\\');
    if (last == std::string::npos) {
        return {std::string(), entry};
    }
    return {entry.substr(0, last), entry.substr(last + 1)};
}
