#include "treecontroller/tree_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/image_decoder.h"
#include "tavo/host/error.h"

namespace tavo {
namespace {

constexpr TreeButtonLook kLooks[] = {TreeButtonLook::Normal, TreeButtonLook::Pressed, TreeButtonLook::Disabled};

bool opaque(uint32_t argb) { return (argb >> 24) != 0; }
int red(uint32_t c) { return int((c >> 16) & 0xFF); }
int green(uint32_t c) { return int((c >> 8) & 0xFF); }
int blue(uint32_t c) { return int(c & 0xFF); }
bool isGrey(uint32_t c) { return red(c) == green(c) && green(c) == blue(c); }

// The graphic control blocks of a GIF (the encoder writes them right after the
// global colour table) and how many of them mark a transparent index.
int transparentMarks(const std::vector<uint8_t>& gif) {
    int marks = 0;
    for (size_t i = 0; i + 3 < gif.size(); ++i)
        if (gif[i] == 0x21 && gif[i + 1] == 0xF9 && gif[i + 2] == 4 && (gif[i + 3] & 1)) ++marks;
    return marks;
}

RgbImage pixelsOf(int button, TreeButtonLook look) { return decodeToArgb(treeButtonPicture(button, look)->bytes()); }

TEST(TreeButtonPictures, AreSixteenSquareGifsWithOneTransparentColour) {
    for (int button = 0; button < 4; ++button)
        for (TreeButtonLook look : kLooks) {
            const PictureRef picture = treeButtonPicture(button, look);
            SCOPED_TRACE("button " + std::to_string(button) + ", look " + std::to_string(int(look)));
            EXPECT_EQ(picture->format(), PictureFormat::Gif);
            EXPECT_EQ(std::string(picture->bytes().begin(), picture->bytes().begin() + 6), "GIF89a");
            EXPECT_EQ(picture->width(), 16);
            EXPECT_EQ(picture->height(), 16);
            EXPECT_EQ(transparentMarks(picture->bytes()), 1);
            EXPECT_EQ(picture, treeButtonPicture(button, look)) << "one shared object";

            // The strip is a row lower than a button: its bottom row is never seen.
            const RgbImage img = decodeToArgb(picture->bytes());
            for (int x = 0; x < 16; ++x) EXPECT_FALSE(opaque(img.pixels[size_t(15 * 16 + x)])) << "bottom row, x " << x;
        }
}

TEST(TreeButtonPictures, ShowTheirSymbolInTheirOwnColourWithADarkOutline) {
    const auto hasColour = [](const RgbImage& img, auto matches) {
        return std::any_of(img.pixels.begin(), img.pixels.end(), [&](uint32_t c) { return opaque(c) && matches(c); });
    };
    const auto yellow = [](uint32_t c) { return red(c) > 0xE0 && green(c) > 0xC0 && blue(c) < 0x40; };
    const auto orange = [](uint32_t c) { return red(c) > 0xE0 && green(c) > 0x60 && green(c) < 0xB0 && blue(c) < 0x40; };
    const auto pureRed = [](uint32_t c) { return red(c) > 0xC0 && green(c) < 0x40 && blue(c) < 0x40; };
    const auto magenta = [](uint32_t c) { return red(c) > 0xC0 && blue(c) > 0xC0 && green(c) < 0x40; };
    EXPECT_TRUE(hasColour(pixelsOf(0, TreeButtonLook::Normal), yellow));
    EXPECT_TRUE(hasColour(pixelsOf(1, TreeButtonLook::Normal), orange));
    EXPECT_TRUE(hasColour(pixelsOf(2, TreeButtonLook::Normal), pureRed));
    EXPECT_TRUE(hasColour(pixelsOf(3, TreeButtonLook::Normal), magenta));

    for (int button = 0; button < 4; ++button) {
        const RgbImage img = pixelsOf(button, TreeButtonLook::Normal);
        // Every symbol pixel next to a transparent one is its outline, and dark.
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const uint32_t c = img.pixels[size_t(y * 16 + x)];
                if (!opaque(c)) continue;
                const bool edge = x == 0 || y == 0 || x == 15 || y == 15 || !opaque(img.pixels[size_t(y * 16 + x - 1)]) ||
                                  !opaque(img.pixels[size_t(y * 16 + x + 1)]) ||
                                  !opaque(img.pixels[size_t((y - 1) * 16 + x)]) ||
                                  !opaque(img.pixels[size_t((y + 1) * 16 + x)]);
                if (edge) {
                    EXPECT_LT(red(c) + green(c) + blue(c), 3 * 0x60) << button << " at " << x << "," << y;
                }
            }
    }
}

TEST(TreeButtonPictures, PressedIsTheSymbolMovedDownRightInALightGreyHalo) {
    for (int button = 0; button < 4; ++button) {
        const RgbImage normal = pixelsOf(button, TreeButtonLook::Normal);
        const RgbImage pressed = pixelsOf(button, TreeButtonLook::Pressed);
        int halo = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const uint32_t shown = pressed.pixels[size_t(y * 16 + x)];
                const uint32_t moved = x > 0 && y > 0 ? normal.pixels[size_t((y - 1) * 16 + x - 1)] : 0;
                if (opaque(moved)) {
                    EXPECT_EQ(shown, moved) << "button " << button << " at " << x << "," << y;
                } else if (opaque(shown)) {
                    ++halo;
                    EXPECT_TRUE(isGrey(shown) && red(shown) >= 0xC0) << "button " << button << " at " << x << "," << y;
                }
            }
        EXPECT_GT(halo, 0) << "button " << button;
        // Nothing of the symbol was pushed off the right or bottom edge.
        for (int i = 0; i < 16; ++i) {
            EXPECT_FALSE(opaque(normal.pixels[size_t(i * 16 + 15)]));
            EXPECT_FALSE(opaque(normal.pixels[size_t(15 * 16 + i)]));
        }
    }
}

TEST(TreeButtonPictures, DisabledIsTheSameShapeInGreys) {
    for (int button = 0; button < 4; ++button) {
        const RgbImage normal = pixelsOf(button, TreeButtonLook::Normal);
        const RgbImage disabled = pixelsOf(button, TreeButtonLook::Disabled);
        std::vector<uint32_t> shades;
        for (size_t i = 0; i < normal.pixels.size(); ++i) {
            ASSERT_EQ(opaque(normal.pixels[i]), opaque(disabled.pixels[i])) << "button " << button << " pixel " << i;
            if (!opaque(disabled.pixels[i])) continue;
            EXPECT_TRUE(isGrey(disabled.pixels[i])) << "button " << button << " pixel " << i;
            shades.push_back(disabled.pixels[i]);
        }
        std::sort(shades.begin(), shades.end());
        EXPECT_GE(std::unique(shades.begin(), shades.end()) - shades.begin(), 2) << "outline and face differ";
    }
}

TEST(TreeButtonPictures, RefuseAButtonThatDoesNotExist) {
    for (int button : {-1, 4}) {
        try {
            treeButtonPicture(button, TreeButtonLook::Normal);
            ADD_FAILURE() << "button " << button;
        } catch (const HostError& e) {
            EXPECT_EQ(e.number(), err::InvalidProcedureCall);
            EXPECT_NE(std::string(e.what()).find("tree button " + std::to_string(button)), std::string::npos);
        }
    }
}

TEST(TreeBackgroundPicture, IsAGreyFrameOpenAtTheBottomAroundATransparentInside) {
    const PictureRef strip = treeBackgroundPicture();
    EXPECT_EQ(strip->format(), PictureFormat::Gif);
    EXPECT_EQ(std::string(strip->bytes().begin(), strip->bytes().begin() + 6), "GIF89a");
    EXPECT_EQ(strip->width(), 72);
    EXPECT_EQ(strip->height(), 15);
    EXPECT_EQ(transparentMarks(strip->bytes()), 1);
    EXPECT_EQ(strip, treeBackgroundPicture());

    const RgbImage img = decodeToArgb(strip->bytes());
    const auto at = [&](int x, int y) { return img.pixels[size_t(y * 72 + x)]; };
    for (int y = 2; y < 15; ++y)
        for (int x = y == 2 ? 3 : 2; x < (y == 2 ? 69 : 70); ++x)
            EXPECT_FALSE(opaque(at(x, y))) << "inside at " << x << "," << y;
    for (uint32_t c : img.pixels) {
        if (opaque(c)) {
            EXPECT_TRUE(isGrey(c));
        }
    }

    // Closed along the top and down both sides, rounded at the upper corners.
    for (int x = 4; x < 68; ++x) EXPECT_TRUE(opaque(at(x, 0)));
    for (int y = 4; y < 15; ++y) {
        EXPECT_TRUE(opaque(at(0, y)));
        EXPECT_TRUE(opaque(at(71, y)));
    }
    EXPECT_FALSE(opaque(at(0, 0)));
    EXPECT_FALSE(opaque(at(71, 0)));

    EXPECT_GT(red(at(0, 10)), red(at(71, 10)) + 0x30) << "light on the left, darker on the right";
    EXPECT_GT(red(at(10, 0)), red(at(61, 0)));
}

}  // namespace
}  // namespace tavo
