#include "host/ascii_text.h"

namespace tavo::ascii {

std::string quotedSnippet(std::string_view s, std::size_t max) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size() && i < max; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7f) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    if (s.size() > max) out += "...";
    return out + "\"";
}

}  // namespace tavo::ascii
