#pragma once
// Decoding of the pictures the controls draw, so that tests can look at their
// pixels: a GIF's first frame or a BMP as 0xAARRGGBB, transparent pixels with
// alpha 0. The shipped code never decodes; backends hand bytes to their own
// image library.
#include <cstdint>
#include <vector>

#include "tavo/host/image_encoder.h"

namespace tavo {

// Throws HostError 13 naming the problem on a file it cannot read.
RgbImage decodeToArgb(const std::vector<uint8_t>& file);

}  // namespace tavo
