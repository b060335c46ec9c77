// Conversions between the program's UTF-8 text and the UTF-16 that the W functions of Windows take.
#pragma once

#include <string>
#include <string_view>

// UTF-16 to UTF-8. Lossless: an unpaired surrogate (which Windows allows in names) is kept as its
// three-byte form, so Widen(Narrow(x)) == x for every UTF-16 string.
std::string Narrow(std::wstring_view text);

// UTF-8 to UTF-16; accepts the three-byte form of unpaired surrogates that Narrow writes.
// Each byte that belongs to no valid sequence becomes U+FFFD.
std::wstring Widen(std::string_view text);

// True when every byte of text belongs to a well-formed UTF-8 sequence (surrogate forms included).
bool IsUtf8(std::string_view text);

// Bytes in the ANSI code page to UTF-8. Returns the empty text for empty input.
std::string AnsiToUtf8(std::string_view bytes);

// A file or folder path for the W functions: widened, and for an absolute path too long for the
// classic limit given the "\\?\" (or "\\?\UNC\") prefix, with slashes turned into backslashes.
std::wstring WidePath(std::string_view path);

// ASCII-only case folding, for names that Windows and the program compare without regard to case.
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
// The text with its letters in upper case the way Windows compares file and registry names without
// case, in every script ("J\xC3\xB6rg" and "J\xC3\x96RG" fold alike), not ASCII only.
std::string FoldCase(std::string_view text);

// Drops blanks, tabs and line breaks from both ends.
std::string_view Trim(std::string_view text);
