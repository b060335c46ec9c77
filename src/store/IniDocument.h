// The text of an INI file held as lines and edited in place, so a hand-edited file keeps its
// order, comments and spelling. Section and key names are compared without regard to case.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IniDocument {
public:
    // A value is read up to this many characters; longer values are cut.
    static constexpr size_t kMaxValueChars = 2047;
    // The key names of one section are listed through a buffer of this many bytes, each name
    // taking its length plus one; names beyond it are not seen.
    static constexpr size_t kKeyListBytes = 16384;

    // Reads file bytes: UTF-8 with or without a byte-order mark; a line that is not valid UTF-8 is
    // taken in the ANSI code page.
    static IniDocument Parse(std::string_view bytes);
    // The file bytes to write: UTF-8, with the line ends and byte-order mark the file had.
    std::string Serialize() const;

    // The value of the key's first occurrence in the section's first occurrence, blanks dropped.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // Replaces the value of the key in place, or adds the key at the end of its section, or the
    // section at the end of the file. Line breaks in the names or the value become blanks, so a
    // write can never create another key or section.
    void Put(std::string_view section, std::string_view key, std::string_view value);
    // One "key=value" per key of the section, in file order, with values as Get gives them.
    std::vector<std::string> SectionEntries(std::string_view section) const;
    // Key names of the section as the profile functions list them (subject to kKeyListBytes).
    std::vector<std::string> KeyNames(std::string_view section) const;
    // Removes every occurrence of the section with its keys. Returns whether anything was removed.
    bool RemoveSection(std::string_view section);

private:
    struct Range {
        size_t header; // line of "[name]"
        size_t end;    // one past the section's last line
    };
    std::optional<Range> FindSection(std::string_view section, size_t from = 0) const;

    std::vector<std::string> lines_;
    std::string newline_ = "\r\n";
    bool byteOrderMark_ = false;
};
