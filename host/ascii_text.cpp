#include "tavo/host/ascii_text.h"

#include <cstdint>

namespace tavo::ascii {

std::size_t utf8SequenceLength(std::string_view s, std::size_t i) {
    auto cont = [&](std::size_t k) { return k < s.size() && (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80; };
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const unsigned char n = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
    if (c >= 0xC2 && c <= 0xDF) return cont(i + 1) ? 2 : 0;
    if (c == 0xE0) return (n >= 0xA0 && n <= 0xBF && cont(i + 2)) ? 3 : 0;
    if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF) return (cont(i + 1) && cont(i + 2)) ? 3 : 0;
    if (c == 0xED) return (n >= 0x80 && n <= 0x9F && cont(i + 2)) ? 3 : 0;
    if (c == 0xF0) return (n >= 0x90 && n <= 0xBF && cont(i + 2) && cont(i + 3)) ? 4 : 0;
    if (c >= 0xF1 && c <= 0xF3) return (cont(i + 1) && cont(i + 2) && cont(i + 3)) ? 4 : 0;
    if (c == 0xF4) return (n >= 0x80 && n <= 0x8F && cont(i + 2) && cont(i + 3)) ? 4 : 0;
    return 0;
}

namespace {

char32_t codePoint(std::string_view s, std::size_t i, std::size_t n) {
    static constexpr unsigned char lead[] = {0, 0, 0x1F, 0x0F, 0x07};
    char32_t cp = static_cast<unsigned char>(s[i]) & lead[n];
    for (std::size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    return cp;
}

// Characters that show nothing, or only a blank, where a reader of the
// message would look for them: spaces other than the ASCII one, zero-width
// characters, direction marks, byte-order marks and the like.
bool showsNothing(char32_t c) {
    return c == 0xA0 || c == 0xAD || c == 0x034F || c == 0x061C || c == 0x115F || c == 0x1160 ||
           c == 0x17B4 || c == 0x17B5 || (c >= 0x180B && c <= 0x180E) || (c >= 0x2000 && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202F) || (c >= 0x205F && c <= 0x206F) || c == 0x3000 || c == 0x3164 ||
           (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF || c == 0xFFA0 || (c >= 0xFFF0 && c <= 0xFFFB) ||
           (c >= 0xE0000 && c <= 0xE0FFF) || (c >= 0x80 && c < 0xA0);
}

}  // namespace

std::string quotedSnippet(std::string_view s, std::size_t max) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    auto appendHex = [](std::string& out, std::uint32_t v, int digits) {
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kHex[(v >> shift) & 15];
    };
    std::string out = "\"";
    std::size_t i = 0;
    while (i < s.size() && i < max) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            if (const std::size_t n = utf8SequenceLength(s, i); n > 0) {
                const char32_t cp = codePoint(s, i, n);
                if (showsNothing(cp)) {
                    out += "<U+";
                    appendHex(out, cp, cp > 0xFFFF ? 5 : 4);
                    out += '>';
                } else {
                    out.append(s.substr(i, n));
                }
                i += n;
                continue;
            }
        }
        if (c < 0x20 || c >= 0x7f) {
            out += "\\x";
            appendHex(out, c, 2);
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    if (i < s.size()) out += "...";
    return out + "\"";
}

}  // namespace tavo::ascii
