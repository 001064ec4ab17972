#include "host/base64.h"

#include "tavo/host/ascii_text.h"

namespace tavo {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int valueOf(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

std::string encodeBase64(const std::vector<uint8_t>& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        uint32_t v = (uint32_t(bytes[i]) << 16) | (uint32_t(bytes[i + 1]) << 8) | bytes[i + 2];
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    if (size_t left = bytes.size() - i; left > 0) {
        uint32_t v = uint32_t(bytes[i]) << 16;
        if (left == 2) v |= uint32_t(bytes[i + 1]) << 8;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += left == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string decodeBase64(std::string_view text, std::vector<uint8_t>& out) {
    if (text.size() % 4 != 0) return "its length " + std::to_string(text.size()) + " is not a multiple of 4";
    out.reserve(out.size() + text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int v[4];
        int pad = 0;
        for (int j = 0; j < 4; ++j) {
            char c = text[i + j];
            if (c == '=' && last && j >= 2) {
                v[j] = 0;
                ++pad;
                continue;
            }
            if (pad > 0 || (v[j] = valueOf(c)) < 0)
                return "character " + ascii::quotedSnippet(text.substr(i + j, 1)) + " at offset " +
                       std::to_string(i + j);
        }
        uint32_t bits = (uint32_t(v[0]) << 18) | (uint32_t(v[1]) << 12) | (uint32_t(v[2]) << 6) | uint32_t(v[3]);
        out.push_back(static_cast<uint8_t>(bits >> 16));
        if (pad < 2) out.push_back(static_cast<uint8_t>(bits >> 8));
        if (pad < 1) out.push_back(static_cast<uint8_t>(bits));
    }
    return {};
}

}  // namespace tavo
