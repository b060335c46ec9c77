#include "store/IniDocument.h"

#include "platform/Text.h"

namespace {

// The section name of a "[name]" line, or nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') {
        return std::nullopt;
    }
    size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return Trim(line.substr(1, close - 1));
}

// Splits a "key=value" line; nullopt for blank lines, comments and lines without "=".
struct KeyLine {
    std::string_view key;
    std::string_view value;
};
std::optional<KeyLine> SplitKeyLine(std::string_view line) {
    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';') {
        return std::nullopt;
    }
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    return KeyLine{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

std::string CutValue(std::string_view value) {
    size_t chars = 0;
    for (size_t i = 0; i < value.size(); ++i) {
        bool continuation = (static_cast<unsigned char>(value[i]) & 0xC0) == 0x80;
        if (!continuation && ++chars > IniDocument::kMaxValueChars) {
            return std::string(value.substr(0, i));
        }
    }
    return std::string(value);
}

std::string OneLine(std::string_view text) {
    std::string out(text);
    for (auto& c : out) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return out;
}

} // namespace

IniDocument IniDocument::Parse(std::string_view bytes) {
    IniDocument doc;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        doc.byteOrderMark_ = true;
        bytes.remove_prefix(3);
    }
    size_t firstBreak = bytes.find('\n');
    if (firstBreak != std::string_view::npos && (firstBreak == 0 || bytes[firstBreak - 1] != '\r')) {
        doc.newline_ = "\n";
    }
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        std::string_view line =
            bytes.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        doc.lines_.push_back(IsUtf8(line) ? std::string(line) : AnsiToUtf8(line));
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return doc;
}

std::string IniDocument::Serialize() const {
    std::string out = byteOrderMark_ ? "\xEF\xBB\xBF" : "";
    for (const auto& line : lines_) {
        out += line;
        out += newline_;
    }
    return out;
}

std::optional<IniDocument::Range> IniDocument::FindSection(std::string_view section, size_t from) const {
    for (size_t i = from; i < lines_.size(); ++i) {
        auto name = SectionName(lines_[i]);
        if (name && EqualsNoCase(*name, section)) {
            size_t end = i + 1;
            while (end < lines_.size() && !SectionName(lines_[end])) {
                ++end;
            }
            return Range{i, end};
        }
    }
    return std::nullopt;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    auto range = FindSection(section);
    if (!range) {
        return std::nullopt;
    }
    for (size_t i = range->header + 1; i < range->end; ++i) {
        auto kv = SplitKeyLine(lines_[i]);
        if (kv && EqualsNoCase(kv->key, key)) {
            return CutValue(kv->value);
        }
    }
    return std::nullopt;
}

void IniDocument::Put(std::string_view section, std::string_view key, std::string_view value) {
    std::string safeSection = OneLine(section);
    std::string safeKey = OneLine(key);
    std::string safeValue = OneLine(value);
    auto range = FindSection(safeSection);
    if (!range) {
        lines_.push_back("[" + safeSection + "]");
        lines_.push_back(safeKey + "=" + safeValue);
        return;
    }
    size_t lastContent = range->header;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        auto kv = SplitKeyLine(lines_[i]);
        if (kv && EqualsNoCase(kv->key, safeKey)) {
            lines_[i] = std::string(kv->key) + "=" + safeValue;
            return;
        }
        if (!Trim(lines_[i]).empty()) {
            lastContent = i;
        }
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastContent + 1), safeKey + "=" + safeValue);
}

std::vector<std::string> IniDocument::KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    auto range = FindSection(section);
    if (!range) {
        return names;
    }
    // The listing buffer ends with an extra zero byte after the last name.
    size_t used = 1;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        auto kv = SplitKeyLine(lines_[i]);
        if (!kv) {
            continue;
        }
        if (used + kv->key.size() + 1 > kKeyListBytes) {
            break;
        }
        used += kv->key.size() + 1;
        names.emplace_back(kv->key);
    }
    return names;
}

std::vector<std::string> IniDocument::SectionEntries(std::string_view section) const {
    std::vector<std::string> entries;
    for (const auto& name : KeyNames(section)) {
        entries.push_back(name + "=" + Get(section, name).value_or(""));
    }
    return entries;
}

bool IniDocument::RemoveSection(std::string_view section) {
    bool removed = false;
    while (auto range = FindSection(section)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
        removed = true;
    }
    return removed;
}
