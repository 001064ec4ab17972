#pragma once
// Scanning of ASCII text: identifier characters and comparison without regard
// to letter case, as the host matches member names, form file keywords and
// script words. Only A-Z and a-z fold; other bytes compare as they are, so the
// result never depends on the process's locale.
#include <cstddef>
#include <string>
#include <string_view>

#include "tavo/host/host_export.h"

namespace tavo::ascii {

constexpr char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// 0 to 15 for a hexadecimal digit, else -1.
constexpr int hexValue(char c) {
    if (isDigit(c)) return c - '0';
    if (lower(c) >= 'a' && lower(c) <= 'f') return lower(c) - 'a' + 10;
    return -1;
}
constexpr bool isIdentStart(char c) { return isLetter(c) || c == '_'; }
constexpr bool isIdentChar(char c) { return isIdentStart(c) || isDigit(c); }

// A letter or underscore, then letters, digits and underscores.
constexpr bool isIdentifier(std::string_view s) {
    if (s.empty() || !isIdentStart(s[0])) return false;
    for (char c : s)
        if (!isIdentChar(c)) return false;
    return true;
}

// Inline and with the equal-bytes case first: late-bound calls look a member
// name up on every call, hundreds of thousands of times in one command over a
// big tree.
constexpr bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && lower(a[i]) != lower(b[i])) return false;
    return true;
}

constexpr bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

// The text in lower case: the key under which case-blind names are kept.
inline std::string folded(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lower(c);
    return out;
}

// A hash that agrees with equalsNoCase (FNV-1a over the folded bytes).
constexpr std::size_t hashNoCase(std::string_view s) {
    std::size_t h = 1469598103934665603ull;
    for (char c : s) h = (h ^ static_cast<unsigned char>(lower(c))) * 1099511628211ull;
    return h;
}

// The length of the well-formed UTF-8 sequence at `i` (2 to 4), or 0 when the
// bytes there are not one (an ASCII byte included).
TAVO_HOST_EXPORT std::size_t utf8SequenceLength(std::string_view s, std::size_t i);

// The text in double quotes for an error message: at most `max` bytes, so the
// message stays short and on one line whatever the offending text holds, and
// nothing in it invisible: control characters and bytes that are not UTF-8 as
// \xHH, characters that show nothing (a byte-order mark, a zero-width or
// no-break space) by their code point, as <U+FEFF>.
TAVO_HOST_EXPORT std::string quotedSnippet(std::string_view s, std::size_t max = 40);

}  // namespace tavo::ascii
