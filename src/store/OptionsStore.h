// Access to "Options.ini" beside the executable (and to plug-in files, which use the same format).
// Nothing is cached: every read opens the file at that moment, every write goes to it at once.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Raised when the platform refuses a write; the message is "Unable to write to <full path>".
class OptionsWriteError : public std::runtime_error {
public:
    explicit OptionsWriteError(const std::string& path);
};

// The executable's folder plus "Options.ini", with exactly one backslash between.
std::string OptionsFilePath();

class OptionsStore {
public:
    // Opening never fails and never creates the file; the first write does.
    explicit OptionsStore(std::string path);

    const std::string& Path() const { return path_; }

    // The value; the default only when the file, section or key is missing.
    std::string GetText(std::string_view section, std::string_view key, std::string_view defaultText) const;
    // Decimal with optional sign, or "0x"/"0X" hex when longer than two characters; the default
    // when absent, not a whole number or outside 32 signed bits.
    int32_t GetNumber(std::string_view section, std::string_view key, int32_t defaultValue) const;
    // GetNumber with 1 or 0 as default; true when not zero.
    bool GetFlag(std::string_view section, std::string_view key, bool defaultValue) const;

    // Writes raise OptionsWriteError when the file cannot be written.
    void PutText(std::string_view section, std::string_view key, std::string_view text);
    void PutNumber(std::string_view section, std::string_view key, int32_t value);
    void PutFlag(std::string_view section, std::string_view key, bool value);

    // "key=value" per key of the section, in file order; empty when the section is missing.
    std::vector<std::string> GetSectionEntries(std::string_view section) const;
    void RemoveSection(std::string_view section);
    bool HasKey(std::string_view section, std::string_view key) const;

private:
    std::string path_;
};

// The number rule of GetNumber on a text.
int32_t ParseOptionNumber(std::string_view text, int32_t defaultValue);
