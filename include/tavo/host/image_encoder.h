#pragma once
// Encoders for the pictures the controls draw themselves: an indexed-colour
// raster to GIF89a (one transparent index) or BMP, a true-colour raster to BMP.
#include <cstdint>
#include <optional>
#include <vector>

#include "tavo/host/host_export.h"

namespace tavo {

struct TAVO_HOST_EXPORT IndexedImage {
    int width = 0, height = 0;
    std::vector<uint32_t> palette;     // 0x00RRGGBB entries, at most 256
    std::vector<uint8_t> pixels;       // width * height indices, rows top to bottom
    std::optional<uint8_t> transparent;  // GIF transparent index
};

struct TAVO_HOST_EXPORT RgbImage {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom
};

TAVO_HOST_EXPORT std::vector<uint8_t> encodeGif(const IndexedImage& img);
// 4-bit BMP when the palette has at most 16 colours, else 8-bit.
TAVO_HOST_EXPORT std::vector<uint8_t> encodeBmp(const IndexedImage& img);
TAVO_HOST_EXPORT std::vector<uint8_t> encodeBmp(const RgbImage& img);  // 24-bit

}  // namespace tavo
