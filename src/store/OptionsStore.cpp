#include "store/OptionsStore.h"

#include "platform/Files.h"
#include "platform/Text.h"
#include "store/IniDocument.h"

#include <windows.h>

namespace {

IniDocument Load(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    return IniDocument::Parse(bytes);
}

// Loads the file for a rewrite. A file that exists but cannot be read is never replaced by an
// empty document: that would throw away every other setting.
IniDocument LoadForWrite(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            throw OptionsWriteError(path);
        }
    }
    return IniDocument::Parse(bytes);
}

void Save(const std::string& path, const IniDocument& doc) {
    if (WriteWholeFile(path, doc.Serialize()) != ERROR_SUCCESS) {
        throw OptionsWriteError(path);
    }
}

} // namespace

OptionsWriteError::OptionsWriteError(const std::string& path) : std::runtime_error("Unable to write to " + path) {}

std::string OptionsFilePath() { return ExecutableDir() + "Options.ini"; }

OptionsStore::OptionsStore(std::string path) : path_(std::move(path)) {}

std::string OptionsStore::GetText(std::string_view section, std::string_view key, std::string_view defaultText) const {
    auto value = Load(path_).Get(section, key);
    return value ? *value : std::string(defaultText);
}

int32_t ParseOptionNumber(std::string_view text, int32_t defaultValue) {
    int base = 10;
    bool negative = false;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return defaultValue;
    }
    int64_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return defaultValue;
        }
        value = value * base + digit;
        if (value > (int64_t{1} << 31)) {
            return defaultValue;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT32_MAX || value < INT32_MIN) {
        return defaultValue;
    }
    return static_cast<int32_t>(value);
}

int32_t OptionsStore::GetNumber(std::string_view section, std::string_view key, int32_t defaultValue) const {
    return ParseOptionNumber(GetText(section, key, ""), defaultValue);
}

bool OptionsStore::GetFlag(std::string_view section, std::string_view key, bool defaultValue) const {
    return GetNumber(section, key, defaultValue ? 1 : 0) != 0;
}

void OptionsStore::PutText(std::string_view section, std::string_view key, std::string_view text) {
    IniDocument doc = LoadForWrite(path_);
    doc.Put(section, key, text);
    Save(path_, doc);
}

void OptionsStore::PutNumber(std::string_view section, std::string_view key, int32_t value) {
    PutText(section, key, std::to_string(value));
}

void OptionsStore::PutFlag(std::string_view section, std::string_view key, bool value) {
    PutText(section, key, value ? "1" : "0");
}

std::vector<std::string> OptionsStore::GetSectionEntries(std::string_view section) const {
    return Load(path_).SectionEntries(section);
}

void OptionsStore::RemoveSection(std::string_view section) {
    IniDocument doc = LoadForWrite(path_);
    if (doc.RemoveSection(section)) {
        Save(path_, doc);
    }
}

bool OptionsStore::HasKey(std::string_view section, std::string_view key) const {
    for (const auto& name : Load(path_).KeyNames(section)) {
        if (EqualsNoCase(name, key)) {
            return true;
        }
    }
    return false;
}
