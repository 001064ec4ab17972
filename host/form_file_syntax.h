#pragma once
// What the form file's reader and writer share: the version, the keywords,
// the placement keys, class names, and keys told apart without regard to case.
#include <array>
#include <cstddef>
#include <string_view>

#include "tavo/host/ascii_text.h"

namespace tavo::form_syntax {

inline constexpr std::string_view kVersion = "1.00";
inline constexpr std::array<std::string_view, 5> kKeywords = {"VERSION", "Begin", "End", "BeginProperty",
                                                              "EndProperty"};
inline constexpr std::array<std::string_view, 4> kPlacementKeys = {"Left", "Top", "Width", "Height"};

inline bool isKeyword(std::string_view word) {
    for (auto k : kKeywords)
        if (ascii::equalsNoCase(word, k)) return true;
    return false;
}

// The index of a placement key in kPlacementKeys, or -1.
inline int placementIndex(std::string_view key) {
    for (std::size_t i = 0; i < kPlacementKeys.size(); ++i)
        if (ascii::equalsNoCase(key, kPlacementKeys[i])) return static_cast<int>(i);
    return -1;
}

// "Library.Class": two identifiers joined by a dot.
inline bool isClassName(std::string_view s) {
    const std::size_t dot = s.find('.');
    return dot != std::string_view::npos && ascii::isIdentifier(s.substr(0, dot)) &&
           ascii::isIdentifier(s.substr(dot + 1));
}

// Case-blind identity of a key and its occurrence, without copying the key
// out of the text.
struct KeyOccurrence {
    std::string_view key;
    int occurrence;
    bool operator==(const KeyOccurrence& o) const {
        return occurrence == o.occurrence && ascii::equalsNoCase(key, o.key);
    }
};
struct KeyOccurrenceHash {
    std::size_t operator()(const KeyOccurrence& k) const {
        return ascii::hashNoCase(k.key) ^ static_cast<std::size_t>(k.occurrence);
    }
};

}  // namespace tavo::form_syntax
