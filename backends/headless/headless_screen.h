#pragma once
// The headless host's screen: its size, its pixel density and where the
// pointer stands, all as the caller set them.
#include <cstdint>

namespace tavo {

class HeadlessScreen {
public:
    // Positive numbers only; the host checks them.
    void setSize(int widthPx, int heightPx, int dpi) {
        widthPx_ = widthPx;
        heightPx_ = heightPx;
        dpi_ = dpi;
        twipsPerPixel_ = 1440.0f / static_cast<float>(dpi);
    }
    int dpi() const { return dpi_; }
    float twipsPerPixel() const { return twipsPerPixel_; }
    float widthTwips() const { return static_cast<float>(widthPx_) * twipsPerPixel_; }
    float heightTwips() const { return static_cast<float>(heightPx_) * twipsPerPixel_; }

    // Screen pixels.
    int32_t cursorX() const { return cursorX_; }
    int32_t cursorY() const { return cursorY_; }
    void setCursor(int32_t x, int32_t y) {
        cursorX_ = x;
        cursorY_ = y;
    }

private:
    int widthPx_ = 1024, heightPx_ = 768, dpi_ = 96;
    float twipsPerPixel_ = 15;
    int32_t cursorX_ = 0, cursorY_ = 0;
};

}  // namespace tavo
