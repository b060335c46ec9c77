// Environment variables and registry key trees set for one test and put back when it ends, so a
// test may change what Windows and the program read without leaving a trace.
#pragma once

#include "platform/Handle.h"
#include "platform/Registry.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Sets (or, with nullopt, removes) an environment variable of this process until destroyed.
class EnvironmentOverride {
public:
    EnvironmentOverride(const char* name, const std::optional<std::string>& value) : name_(Widen(name)) {
        DWORD needed = GetEnvironmentVariableW(name_.c_str(), nullptr, 0);
        if (needed > 0) {
            std::wstring old(needed, L'\0');
            old.resize(GetEnvironmentVariableW(name_.c_str(), old.data(), needed));
            saved_ = old;
        }
        SetEnvironmentVariableW(name_.c_str(), value ? Widen(*value).c_str() : nullptr);
    }
    ~EnvironmentOverride() { SetEnvironmentVariableW(name_.c_str(), saved_ ? saved_->c_str() : nullptr); }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
    std::wstring name_;
    std::optional<std::wstring> saved_;
};

// A registry key tree as it stood when constructed (or its absence), put back when destroyed, so a
// test may fill or remove the real keys that Windows and the items use.
class RegistryTreeRestore {
public:
    RegistryTreeRestore(HKEY root, std::string path) : root_(root), path_(std::move(path)) {
        if (RegKey key = OpenRegKey(root_, path_)) {
            saved_ = Capture(key.get());
        }
    }
    ~RegistryTreeRestore() {
        DeleteRegTree(root_, path_);
        if (saved_) {
            Rebuild(root_, path_, *saved_);
        }
    }
    RegistryTreeRestore(const RegistryTreeRestore&) = delete;
    RegistryTreeRestore& operator=(const RegistryTreeRestore&) = delete;

private:
    struct Value {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };
    struct Tree {
        std::vector<Value> values;
        std::vector<std::pair<std::string, Tree>> children;
    };

    static Tree Capture(HKEY key) {
        Tree tree;
        for (const auto& name : RegValueNames(key)) {
            Value value{Widen(name), 0, {}};
            DWORD size = 0;
            RegQueryValueExW(key, value.name.c_str(), nullptr, &value.type, nullptr, &size);
            value.data.resize(size);
            RegQueryValueExW(key, value.name.c_str(), nullptr, &value.type, value.data.data(), &size);
            tree.values.push_back(std::move(value));
        }
        for (const auto& name : RegSubKeyNames(key)) {
            if (RegKey child = OpenRegKey(key, name)) {
                tree.children.emplace_back(name, Capture(child.get()));
            }
        }
        return tree;
    }
    static void Rebuild(HKEY parent, const std::string& path, const Tree& tree) {
        RegKey key = CreateRegKey(parent, path);
        if (!key) {
            ADD_FAILURE() << "cannot restore registry key " << path;
            return;
        }
        for (const auto& value : tree.values) {
            RegSetValueExW(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                           static_cast<DWORD>(value.data.size()));
        }
        for (const auto& [name, child] : tree.children) {
            Rebuild(key.get(), name, child);
        }
    }

    HKEY root_;
    std::string path_;
    std::optional<Tree> saved_;
};
