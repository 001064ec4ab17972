#pragma once
// Base64 (the standard alphabet, with padding), as form files hold pictures.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavo {

std::string encodeBase64(const std::vector<uint8_t>& bytes);

// Strict: groups of four, padding only at the end. Appends the bytes to `out`
// and returns the problem in words, or an empty string when the text decoded.
std::string decodeBase64(std::string_view text, std::vector<uint8_t>& out);

}  // namespace tavo
