#include "datecontrol/button_pictures.h"

#include <gtest/gtest.h>

#include "support/image_decoder.h"

namespace tavo {
namespace {

constexpr uint32_t kBlack = 0xFF000000, kLightGrey = 0xFFC0C0C0;

TEST(DropDownArrowPicture, IsASixteenColourBitmapOfTwelveByFourteen) {
    const PictureRef arrow = dropDownArrowPicture();
    EXPECT_EQ(arrow->format(), PictureFormat::Bmp);
    EXPECT_EQ(arrow->width(), 12);
    EXPECT_EQ(arrow->height(), 14);
    EXPECT_EQ(arrow->bytes()[28], 4) << "bits per pixel";
    EXPECT_EQ(arrow, dropDownArrowPicture()) << "one shared object";
}

TEST(DropDownArrowPicture, IsABlackTriangleOfSevenFiveThreeOneOnLightGrey) {
    const RgbImage img = decodeToArgb(dropDownArrowPicture()->bytes());
    // One-based rows 6 to 9 cover columns 3..9, 4..8, 5..7 and 6.
    const auto inTriangle = [](int row, int column) {
        const int halfWidth = 9 - row;
        return row >= 6 && row <= 9 && column >= 6 - halfWidth && column <= 6 + halfWidth;
    };
    for (int row = 1; row <= 14; ++row)
        for (int column = 1; column <= 12; ++column)
            EXPECT_EQ(img.pixels[size_t((row - 1) * 12 + column - 1)], inTriangle(row, column) ? kBlack : kLightGrey)
                << "row " << row << ", column " << column;
}

TEST(CalendarSheetPicture, IsATrueColourSheetWithARedBandAboveAFigureOne) {
    const PictureRef sheet = calendarSheetPicture();
    EXPECT_EQ(sheet->format(), PictureFormat::Bmp);
    EXPECT_EQ(sheet->width(), 12);
    EXPECT_EQ(sheet->height(), 16);
    EXPECT_EQ(sheet->bytes()[28], 24) << "bits per pixel";
    EXPECT_EQ(sheet, calendarSheetPicture());

    const RgbImage img = decodeToArgb(sheet->bytes());
    const auto at = [&](int x, int y) { return img.pixels[size_t(y * 12 + x)] & 0xFFFFFF; };
    const auto isRed = [](uint32_t c) { return (c >> 16) >= 0xB0 && ((c >> 8) & 0xFF) < 0x80 && (c & 0xFF) < 0x80; };
    const auto isLight = [](uint32_t c) { return (c >> 16) >= 0xE0 && ((c >> 8) & 0xFF) >= 0xE0 && (c & 0xFF) >= 0xE0; };

    // The band runs across the sheet in the upper quarter, the page below it.
    int redRows = 0, lastRedRow = -1;
    for (int y = 0; y < 16; ++y) {
        int red = 0;
        for (int x = 0; x < 12; ++x) red += isRed(at(x, y));
        if (red >= 8) {
            ++redRows;
            lastRedRow = y;
        }
    }
    EXPECT_GE(redRows, 2);
    EXPECT_LE(lastRedRow, 5);

    // The figure is a black column standing in the middle of the light page.
    int figure = 0, page = 0;
    for (int y = lastRedRow + 1; y < 16; ++y)
        for (int x = 0; x < 12; ++x) {
            figure += at(x, y) == 0;
            page += isLight(at(x, y));
        }
    EXPECT_GE(figure, 10);
    EXPECT_GE(page, 3 * figure);
    for (int y = 8; y <= 11; ++y) EXPECT_EQ(at(5, y), 0u) << "stem of the one at row " << y;
}

}  // namespace
}  // namespace tavo
