#include "backends/headless/font_metrics.h"

#include <algorithm>
#include <cmath>

namespace tavo {

FontMetrics FontMetrics::of(const Font& font, int dpi) {
    const double size = font.size > 0 ? std::min(font.size, Font::kMaxSize) : 0.0;
    const double em = size * dpi / 72.0;
    FontMetrics m;
    m.lineHeight = std::max(1, static_cast<int>(std::lround(1.25 * em)));
    m.charWidth = std::max(1, static_cast<int>(std::ceil(em / 2))) + (font.bold() ? 1 : 0);
    return m;
}

int FontMetrics::textWidth(std::string_view text) const {
    const auto continuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
    const auto chars = std::count_if(text.begin(), text.end(), [&](char c) { return !continuation(c); });
    return static_cast<int>(chars) * charWidth;
}

}  // namespace tavo
