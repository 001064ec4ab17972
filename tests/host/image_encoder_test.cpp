#include "tavo/host/image_encoder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "support/error_number.h"
#include "support/image_decoder.h"
#include "tavo/host/error.h"
#include "tavo/host/picture.h"

namespace tavo {
namespace {

using ::testing::HasSubstr;

IndexedImage randomIndexed(int width, int height, size_t colours, uint32_t seed) {
    std::mt19937 rng(seed);
    IndexedImage img;
    img.width = width;
    img.height = height;
    for (size_t i = 0; i < colours; ++i) img.palette.push_back(rng() & 0xFFFFFF);
    // Runs as well as noise, so that the LZW table gets long strings too.
    for (int i = 0; i < width * height; ++i)
        img.pixels.push_back(uint8_t(i % 3 == 0 ? rng() % colours : (i / 5) % colours));
    return img;
}

std::vector<uint32_t> expectedArgb(const IndexedImage& img) {
    std::vector<uint32_t> out;
    for (uint8_t index : img.pixels)
        out.push_back(img.transparent && index == *img.transparent ? 0 : 0xFF000000u | img.palette[index]);
    return out;
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) | (uint32_t(b[at + 3]) << 24);
}

std::string decodeError(const std::vector<uint8_t>& file) {
    try {
        decodeToArgb(file);
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::TypeMismatch) << e.what();
        return e.what();
    }
    ADD_FAILURE() << "decoding succeeded";
    return {};
}

TEST(GifEncoding, RoundTripsEveryPaletteSizeAndKeepsTheTransparentIndex) {
    for (size_t colours : {1u, 2u, 3u, 5u, 16u, 17u, 128u, 256u}) {
        IndexedImage img = randomIndexed(23, 11, colours, uint32_t(colours));
        img.transparent = uint8_t(colours / 2);
        const std::vector<uint8_t> gif = encodeGif(img);
        ASSERT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
        const RgbImage decoded = decodeToArgb(gif);
        ASSERT_EQ(decoded.width, 23);
        ASSERT_EQ(decoded.height, 11);
        EXPECT_EQ(decoded.pixels, expectedArgb(img)) << colours << " colours";
    }
}

TEST(GifEncoding, WritesNoGraphicControlWhenNothingIsTransparent) {
    const IndexedImage img = randomIndexed(4, 4, 4, 1);
    const std::vector<uint8_t> gif = encodeGif(img);
    const std::vector<uint8_t> gce = {0x21, 0xF9};
    EXPECT_EQ(std::search(gif.begin(), gif.end(), gce.begin(), gce.end()), gif.end());
    for (uint32_t pixel : decodeToArgb(gif).pixels) EXPECT_EQ(pixel >> 24, 0xFFu);
}

// Noise over 256 colours makes codes short, so the 4096-entry table fills
// many times: codes grow to 12 bits and clear codes restart the table.
TEST(GifEncoding, RoundTripsAcrossFullTablesAndClearCodes) {
    IndexedImage img;
    img.width = 300;
    img.height = 220;
    for (uint32_t i = 0; i < 256; ++i) img.palette.push_back(i * 0x010203u);
    std::mt19937 rng(42);
    for (int i = 0; i < img.width * img.height; ++i) img.pixels.push_back(uint8_t(rng()));
    const std::vector<uint8_t> gif = encodeGif(img);
    EXPECT_GT(gif.size(), size_t(img.width * img.height));  // noise does not compress
    EXPECT_EQ(decodeToArgb(gif).pixels, expectedArgb(img));

    // One long run fills the table with ever longer strings instead.
    IndexedImage flat = randomIndexed(1000, 300, 2, 3);
    std::fill(flat.pixels.begin(), flat.pixels.end(), 1);
    EXPECT_EQ(decodeToArgb(encodeGif(flat)).pixels, expectedArgb(flat));
}

TEST(GifDecoding, ReadsAFileFromAnotherEncoderWithItsTransparency) {
    // 6 x 3, four colours, index 3 transparent, written by a common image tool.
    const std::vector<uint8_t> gif = {
        0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x06, 0x00, 0x03, 0x00, 0xf1, 0x00, 0x00, 0xff,
        0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04,
        0x01, 0x00, 0x00, 0x03, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x06, 0x00, 0x03, 0x00,
        0x00, 0x02, 0x07, 0x14, 0x8e, 0xa1, 0x81, 0x73, 0x52, 0x00, 0x00, 0x3b};
    constexpr uint32_t kR = 0xFFFF0000, kG = 0xFF00FF00, kB = 0xFF0000FF, kT = 0;
    const RgbImage img = decodeToArgb(gif);
    EXPECT_EQ(img.width, 6);
    EXPECT_EQ(img.height, 3);
    EXPECT_EQ(img.pixels,
              (std::vector<uint32_t>{kB, kR, kR, kR, kR, kR, kR, kG, kG, kG, kG, kR, kR, kR, kT, kR, kR, kB}));
}

TEST(BmpEncoding, PicksTheDepthFromThePaletteAndPadsRows) {
    for (size_t colours : {2u, 16u, 17u, 256u}) {
        for (int width : {1, 2, 3, 5, 8}) {
            const IndexedImage img = randomIndexed(width, 3, colours, uint32_t(width));
            const std::vector<uint8_t> bmp = encodeBmp(img);
            const int bits = colours <= 16 ? 4 : 8;
            const size_t stride = size_t((width * bits + 31) / 32 * 4);
            EXPECT_EQ(bmp[28], bits);
            EXPECT_EQ(le32(bmp, 46), colours <= 16 ? 16u : colours) << "colours in the table";
            EXPECT_EQ(bmp.size(), le32(bmp, 10) + 3 * stride) << "file ends after the padded rows";
            EXPECT_EQ(le32(bmp, 2), bmp.size());
            const RgbImage decoded = decodeToArgb(bmp);
            EXPECT_EQ(decoded.pixels, expectedArgb(img)) << colours << " colours, width " << width;
        }
    }
}

TEST(BmpEncoding, RoundTripsTrueColourBottomUpAndReadsTopDown) {
    RgbImage img{5, 3, {}};
    for (uint32_t i = 0; i < 15; ++i) img.pixels.push_back(i * 0x112233u & 0xFFFFFF);
    std::vector<uint8_t> bmp = encodeBmp(img);
    EXPECT_EQ(bmp[28], 24);
    std::vector<uint32_t> opaque;
    for (uint32_t p : img.pixels) opaque.push_back(0xFF000000u | p);
    EXPECT_EQ(decodeToArgb(bmp).pixels, opaque);

    // The same rows stored top-down, as a negative height says.
    const size_t offset = le32(bmp, 10), stride = 16;
    std::vector<uint8_t> topDown(bmp.begin(), bmp.begin() + long(offset));
    for (int row = 2; row >= 0; --row)
        topDown.insert(topDown.end(), bmp.begin() + long(offset + stride * size_t(row)),
                       bmp.begin() + long(offset + stride * size_t(row + 1)));
    const int32_t negative = -3;
    std::memcpy(&topDown[22], &negative, 4);
    EXPECT_EQ(decodeToArgb(topDown).pixels, opaque);
}

// A hand-made bitmap: 1-bit and 32-bit files are read but never written here.
std::vector<uint8_t> handMadeBmp(int bits, int width, int height, std::vector<uint32_t> palette,
                                 std::vector<uint8_t> rows) {
    std::vector<uint8_t> out = {'B', 'M'};
    const auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
    };
    const uint32_t offset = 54 + uint32_t(palette.size()) * 4;
    put32(offset + uint32_t(rows.size()));
    put32(0);
    put32(offset);
    put32(40);
    put32(uint32_t(width));
    put32(uint32_t(height));
    put32(1u | uint32_t(bits) << 16);
    for (int i = 0; i < 4; ++i) put32(0);  // compression, image size, resolution
    put32(uint32_t(palette.size()));
    put32(0);
    for (uint32_t c : palette) put32(c);
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

TEST(BmpDecoding, ReadsOneBitAndThirtyTwoBitPixels) {
    // 10 x 2, bottom row first: bits 1000000001 and 0101010101.
    const auto mono = decodeToArgb(handMadeBmp(1, 10, 2, {0x000000, 0xFFFFFF},
                                               {0x80, 0x40, 0, 0, 0x55, 0x40, 0, 0}));
    const uint32_t W = 0xFFFFFFFF, K = 0xFF000000;
    EXPECT_EQ(mono.pixels, (std::vector<uint32_t>{K, W, K, W, K, W, K, W, K, W,  //
                                                  W, K, K, K, K, K, K, K, K, W}));

    const auto deep = decodeToArgb(handMadeBmp(32, 2, 1, {}, {0x30, 0x20, 0x10, 0x00, 0xFF, 0x00, 0x80, 0x00}));
    EXPECT_EQ(deep.pixels, (std::vector<uint32_t>{0xFF102030, 0xFF8000FF}));
}

TEST(PictureHeaders, ReadTheSizesAndFormatOfEncodedFiles) {
    const IndexedImage indexed = randomIndexed(37, 21, 40, 9);
    const auto gif = Picture::fromBytes(encodeGif(indexed));
    EXPECT_EQ(gif->format(), PictureFormat::Gif);
    EXPECT_EQ(gif->width(), 37);
    EXPECT_EQ(gif->height(), 21);

    const auto bmp = Picture::fromBytes(encodeBmp(indexed));
    EXPECT_EQ(bmp->format(), PictureFormat::Bmp);
    EXPECT_EQ(bmp->width(), 37);
    EXPECT_EQ(bmp->height(), 21);

    const auto rgb = Picture::fromBytes(encodeBmp(RgbImage{3, 70, std::vector<uint32_t>(210)}));
    EXPECT_EQ(rgb->width(), 3);
    EXPECT_EQ(rgb->height(), 70);
}

TEST(ImageEncoding, RefusesRastersThatDoNotMatchTheirSizeOrPalette) {
    const auto errorOf = [](auto encode) -> std::string {
        try {
            encode();
        } catch (const HostError& e) {
            EXPECT_EQ(e.number(), err::InvalidProcedureCall);
            return e.what();
        }
        return "no error";
    };
    IndexedImage img = randomIndexed(4, 2, 3, 5);
    img.pixels[6] = 3;
    EXPECT_THAT(errorOf([&] { encodeGif(img); }), HasSubstr("pixel 2,1 uses colour index 3"));
    EXPECT_THAT(errorOf([&] { encodeBmp(img); }), HasSubstr("pixel 2,1 uses colour index 3"));
    img.pixels[6] = 0;
    img.transparent = 7;
    EXPECT_THAT(errorOf([&] { encodeGif(img); }), HasSubstr("transparent index 7"));
    img.transparent.reset();
    img.pixels.pop_back();
    EXPECT_THAT(errorOf([&] { encodeGif(img); }), HasSubstr("holds 7 pixels"));
    img.palette.clear();
    EXPECT_THAT(errorOf([&] { encodeBmp(img); }), HasSubstr("palette has 0 colours"));
    EXPECT_THAT(errorOf([] { encodeBmp(RgbImage{0, 5, {}}); }), HasSubstr("size 0 x 5"));
}

TEST(ImageDecoding, NamesWhatIsWrongWithABadFile) {
    EXPECT_THAT(decodeError({}), HasSubstr("neither a GIF nor a BMP"));
    EXPECT_THAT(decodeError({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0}),
                HasSubstr("PNG pixels not supported here"));

    IndexedImage img = randomIndexed(8, 8, 4, 2);
    std::vector<uint8_t> gif = encodeGif(img);
    const size_t descriptor = 13 + 4 * 3;  // header, four-colour table
    ASSERT_EQ(gif[descriptor], 0x2C);
    gif[descriptor + 9] |= 0x40;
    EXPECT_THAT(decodeError(gif), HasSubstr("interlaced"));

    gif = encodeGif(img);
    gif.resize(gif.size() - 6);
    EXPECT_THAT(decodeError(gif), HasSubstr("inside the image data"));

    gif = encodeGif(img);
    gif[descriptor + 10] = 12;  // LZW minimum code size
    EXPECT_THAT(decodeError(gif), HasSubstr("minimum code size 12"));

    std::vector<uint8_t> bmp = encodeBmp(img);
    bmp[28] = 7;
    EXPECT_THAT(decodeError(bmp), HasSubstr("7 bits per pixel"));
    bmp = encodeBmp(img);
    bmp[30] = 1;  // run-length compressed
    EXPECT_THAT(decodeError(bmp), HasSubstr("compression 1"));
    bmp = encodeBmp(img);
    bmp[18] = 0xFF;
    bmp[19] = 0xFF;
    bmp[21] = 0x7F;
    EXPECT_THAT(decodeError(bmp), HasSubstr("too large"));
    bmp = encodeBmp(img);
    bmp.resize(bmp.size() - 1);
    EXPECT_THAT(decodeError(bmp), HasSubstr("inside the pixel data"));
}

TEST(ImageDecoding, SurvivesEveryTruncationAndRandomDamage) {
    IndexedImage img = randomIndexed(19, 7, 9, 4);
    img.transparent = 2;
    const std::vector<std::vector<uint8_t>> files = {
        encodeGif(img), encodeBmp(img), encodeBmp(RgbImage{5, 4, std::vector<uint32_t>(20, 0x123456)})};
    std::mt19937 rng(11);
    for (const auto& file : files) {
        // A GIF that lacks only its trailer still holds its whole image.
        const size_t complete = file[0] == 'G' ? file.size() - 1 : file.size();
        for (size_t n = 0; n < complete; ++n)
            EXPECT_EQ(errorNumberOf([&] { decodeToArgb({file.begin(), file.begin() + long(n)}); }), err::TypeMismatch)
                << n << " bytes";
        for (int round = 0; round < 2000; ++round) {
            std::vector<uint8_t> damaged = file;
            for (int k = 0; k < 3; ++k) damaged[rng() % damaged.size()] = uint8_t(rng());
            const int number = errorNumberOf([&] { decodeToArgb(damaged); });
            EXPECT_TRUE(number == 0 || number == err::TypeMismatch) << number;
        }
    }
}

}  // namespace
}  // namespace tavo
