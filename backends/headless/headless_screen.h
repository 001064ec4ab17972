#pragma once
// The headless host's screens: their sizes and places, the pixel density and
// where the pointer stands, all as the caller set them.
#include <cstdint>
#include <vector>

namespace tavo {

class HeadlessScreen {
public:
    // A screen's place on the desktop, in pixels.
    struct Area {
        int left = 0, top = 0, width = 1024, height = 768;
        bool holds(int32_t x, int32_t y) const {
            return x >= left && y >= top && int64_t(x) < int64_t(left) + width && int64_t(y) < int64_t(top) + height;
        }
    };

    // Positive numbers only; the host checks them.
    void setSize(int widthPx, int heightPx, int dpi) {
        main_.width = widthPx;
        main_.height = heightPx;
        dpi_ = dpi;
        twipsPerPixel_ = 1440.0f / static_cast<float>(dpi);
    }
    // Another screen of the desktop, beside the main one at 0, 0; all have
    // the main one's density. The host checks that it overlaps none.
    void addScreen(const Area& area) { others_.push_back(area); }
    const Area& mainArea() const { return main_; }
    const std::vector<Area>& others() const { return others_; }

    int dpi() const { return dpi_; }
    float twipsPerPixel() const { return twipsPerPixel_; }
    // Of the screen the pointer is on; between screens, the main one.
    float widthTwips() const { return static_cast<float>(pointerArea().width) * twipsPerPixel_; }
    float heightTwips() const { return static_cast<float>(pointerArea().height) * twipsPerPixel_; }
    float leftTwips() const { return static_cast<float>(pointerArea().left) * twipsPerPixel_; }
    float topTwips() const { return static_cast<float>(pointerArea().top) * twipsPerPixel_; }

    // Screen pixels.
    int32_t cursorX() const { return cursorX_; }
    int32_t cursorY() const { return cursorY_; }
    void setCursor(int32_t x, int32_t y) {
        cursorX_ = x;
        cursorY_ = y;
    }

private:
    const Area& pointerArea() const {
        for (const Area& a : others_)
            if (a.holds(cursorX_, cursorY_)) return a;
        return main_;
    }

    Area main_;
    std::vector<Area> others_;
    int dpi_ = 96;
    float twipsPerPixel_ = 15;
    int32_t cursorX_ = 0, cursorY_ = 0;
};

}  // namespace tavo
