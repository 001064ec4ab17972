#pragma once
// Colours are 32-bit: 0x80000000 + index is a system colour, anything else 0x00BBGGRR.
#include <cstdint>

#include "tavo/host/host_export.h"

namespace tavo {

inline constexpr uint32_t kSystemColourBit = 0x80000000u;
inline constexpr uint32_t vbWindowBackground = 0x80000005u;
inline constexpr uint32_t vbWindowText = 0x80000008u;
inline constexpr uint32_t vbButtonFace = 0x8000000Fu;
inline constexpr uint32_t vbButtonShadow = 0x80000010u;
inline constexpr uint32_t vbGrayText = 0x80000011u;
inline constexpr uint32_t vbButtonText = 0x80000012u;
inline constexpr uint32_t vb3DHighlight = 0x80000014u;

inline constexpr bool isSystemColour(uint32_t c) { return (c & kSystemColourBit) != 0; }
inline constexpr uint32_t systemColourIndex(uint32_t c) { return c & 0x7FFFFFFFu; }
inline constexpr uint32_t rgbColour(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}
// The classic light theme's value of a system colour as 0x00BBGGRR, the
// fallback for backends without a palette; a plain colour is returned as it is.
TAVO_HOST_EXPORT uint32_t resolveColourFallback(uint32_t colour);

}  // namespace tavo
