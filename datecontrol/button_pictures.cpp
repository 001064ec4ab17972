#include "datecontrol/button_pictures.h"

#include <array>
#include <string_view>

#include "tavo/host/image_encoder.h"

namespace tavo {

namespace {

// The sixteen colours of the classic 4-bit palette, so that the arrow reads the
// same on any display that maps these colours to its own.
constexpr std::array<uint32_t, 16> kClassicPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};
constexpr uint8_t kClassicBlack = 0;
constexpr uint8_t kClassicSilver = 7;

IndexedImage drawDropDownArrow() {
    constexpr int kWidth = 12, kHeight = 14;
    // Zero-based: the triangle's top row is the sixth row, its axis the sixth column.
    constexpr int kFirstRow = 5, kAxis = 5, kHalfWidths[] = {3, 2, 1, 0};
    IndexedImage img{kWidth, kHeight, {kClassicPalette.begin(), kClassicPalette.end()},
                     std::vector<uint8_t>(kWidth * kHeight, kClassicSilver), std::nullopt};
    for (int i = 0; i < 4; ++i)
        for (int x = kAxis - kHalfWidths[i]; x <= kAxis + kHalfWidths[i]; ++x)
            img.pixels[(kFirstRow + i) * kWidth + x] = kClassicBlack;
    return img;
}

// The calendar sheet, one character per pixel. The grey around the sheet is
// the button's mask colour, so the sheet stands alone on any button face.
constexpr std::array<std::string_view, 16> kCalendarSheetRows = {
    "..o.....o...",
    ".kOkkkkkOk..",
    "kHHHHHHHHHk.",
    "kRRRRRRRRRks",
    "kRRRRRRRRRks",
    "kDDDDDDDDDks",
    "kWWWWWWWWWks",
    "kWWWW11WWWks",
    "kWWW111WWWks",
    "kWWWW11WWWks",
    "kWWWW11WWWks",
    "kWWWW11WWWks",
    "kWWW1111WWks",
    "kPPPPPPPPPks",
    "kkkkkkkkkkks",
    ".ssssssssss.",
};

uint32_t calendarSheetColour(char c) {
    switch (c) {
    case 'o': return 0x404040;  // binding ring, where it rises above the sheet
    case 'O': return 0xA0A0A0;  // binding ring, lit where it enters the sheet
    case 'k': return 0x303030;  // outline
    case 'H': return 0xF04848;  // lit top edge of the red band
    case 'R': return 0xD00000;  // red band
    case 'D': return 0x800000;  // the band's lower edge, where the page tears off
    case 'W': return 0xFCFCFC;  // page
    case 'P': return 0xE0E0E0;  // the bottom of the page, in its own shade
    case '1': return 0x000000;  // the figure one
    case 's': return 0x808080;  // shadow the sheet casts down and right
    default: return 0xC0C0C0;   // around the sheet: the button's mask colour
    }
}

RgbImage drawCalendarSheet() {
    RgbImage img{12, 16, {}};
    img.pixels.reserve(12 * 16);
    for (std::string_view row : kCalendarSheetRows)
        for (char c : row) img.pixels.push_back(calendarSheetColour(c));
    return img;
}

}  // namespace

PictureRef dropDownArrowPicture() {
    static const PictureRef picture = Picture::fromBytes(encodeBmp(drawDropDownArrow()), PictureScaling::Pixels);
    return picture;
}

PictureRef calendarSheetPicture() {
    static const PictureRef picture = Picture::fromBytes(encodeBmp(drawCalendarSheet()), PictureScaling::Pixels);
    return picture;
}

}  // namespace tavo
