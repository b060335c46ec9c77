#include "platform/Text.h"

#include <windows.h>

#include <cstdint>

namespace {

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one sequence at text[i]. Returns its length and sets cp, or returns 0 for a byte that
// starts no well-formed sequence. Surrogate code points are accepted (they round-trip names).
size_t DecodeUtf8(std::string_view text, size_t i, uint32_t& cp) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char b0 = byte(i);
    size_t len;
    uint32_t min;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > text.size()) {
        return 0;
    }
    for (size_t k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF) {
        return 0;
    }
    return len;
}

} // namespace

std::string Narrow(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t unit = static_cast<uint16_t>(text[i]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size()) {
            uint32_t next = static_cast<uint16_t>(text[i + 1]);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, unit);
    }
    return out;
}

std::wstring Widen(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        uint32_t cp = 0;
        size_t len = DecodeUtf8(text, i, cp);
        if (len == 0) {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (cp >> 10));
            out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<wchar_t>(cp);
        }
        i += len;
    }
    return out;
}

bool IsUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        uint32_t cp = 0;
        size_t len = DecodeUtf8(text, i, cp);
        if (len == 0) {
            return false;
        }
        i += len;
    }
    return true;
}

std::string AnsiToUtf8(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return Narrow(wide);
}

std::wstring WidePath(std::string_view path) {
    std::wstring wide = Widen(path);
    // Short paths are left alone: the classic form keeps "." and ".." handling and forward slashes.
    if (wide.size() < MAX_PATH - 12 || wide.rfind(L"\\\\?\\", 0) == 0) {
        return wide;
    }
    for (auto& c : wide) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    if (wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\') {
        return L"\\\\?\\" + wide;
    }
    if (wide.rfind(L"\\\\", 0) == 0) {
        return L"\\\\?\\UNC\\" + wide.substr(2);
    }
    return wide;
}

std::string AsciiUpper(std::string_view text) {
    std::string out(text);
    for (auto& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (auto& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && AsciiUpper(a) == AsciiUpper(b);
}

std::string FoldCase(std::string_view text) {
    std::wstring wide = Widen(text);
    std::wstring upper(wide.size(), L'\0');
    // The invariant locale: no language's special cases (the Turkish dotless i). Upper case keeps the
    // length in UTF-16 units.
    if (wide.empty() || LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide.data(), static_cast<int>(wide.size()),
                                     upper.data(), static_cast<int>(upper.size())) != static_cast<int>(wide.size())) {
        return AsciiUpper(text);
    }
    return Narrow(upper);
}

std::string_view Trim(std::string_view text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}
