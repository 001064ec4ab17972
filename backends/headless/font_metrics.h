#pragma once
// The headless host's fixed metric model of a font, so that sizes come out the
// same on every machine. At `dpi` a font of s points has an em of
// e = s × dpi / 72 pixels; its line height is round(1.25 × e) pixels, and
// every character is ceil(e / 2) pixels wide, one more when the font is bold.
// At 96 DPI "MS Sans Serif" 8.25 has a line height of 14 and characters 6 wide.
// A font larger than the host allows (made in code, past its Size check)
// measures as the largest, so that no size computed from it can overflow.
#include <string_view>

#include "tavo/host/font.h"

namespace tavo {

struct FontMetrics {
    int lineHeight = 0;  // pixels
    int charWidth = 0;   // pixels

    static FontMetrics of(const Font& font, int dpi);
    // Characters are counted as UTF-8 code points.
    int textWidth(std::string_view text) const;
};

}  // namespace tavo
