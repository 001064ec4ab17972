#include "tavo/host/picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>

#include "tavo/host/error.h"
#include "tavo/host/memory_file_system.h"

namespace tavo {
namespace {

using Bytes = std::vector<uint8_t>;

void put16le(Bytes& b, uint32_t v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void put32le(Bytes& b, uint32_t v) {
    put16le(b, v & 0xFFFF);
    put16le(b, v >> 16);
}
void put32be(Bytes& b, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back((v >> shift) & 0xFF);
}
void putText(Bytes& b, const char* s, size_t n) { b.insert(b.end(), s, s + n); }

Bytes gifHeader(const char* version, uint16_t w, uint16_t h) {
    Bytes b(version, version + 6);
    put16le(b, w);
    put16le(b, h);
    b.insert(b.end(), {0x80, 0, 0});  // flags, background, aspect
    return b;
}

Bytes pngHeader(uint32_t w, uint32_t h) {
    Bytes b{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    put32be(b, 13);
    putText(b, "IHDR", 4);
    put32be(b, w);
    put32be(b, h);
    b.insert(b.end(), {8, 6, 0, 0, 0});
    put32be(b, 0);  // CRC, not checked
    return b;
}

Bytes bmpInfoHeader(int32_t w, int32_t h, uint32_t infoSize = 40) {
    Bytes b{'B', 'M'};
    put32le(b, 0);
    put32le(b, 0);
    put32le(b, 14 + infoSize);
    put32le(b, infoSize);
    put32le(b, static_cast<uint32_t>(w));
    put32le(b, static_cast<uint32_t>(h));
    b.resize(14 + infoSize, 0);
    return b;
}

Bytes bmpCoreHeader(uint16_t w, uint16_t h) {
    Bytes b{'B', 'M'};
    b.resize(10, 0);
    put32le(b, 26);
    put32le(b, 12);
    put16le(b, w);
    put16le(b, h);
    put16le(b, 1);
    put16le(b, 24);
    return b;
}

// The error a set of bytes is refused with; fails the test when accepted.
HostError refusal(const Bytes& bytes) {
    try {
        Picture::fromBytes(bytes);
    } catch (const HostError& e) {
        return e;
    }
    ADD_FAILURE() << "bytes accepted";
    return HostError(0, "");
}

TEST(PictureHeader, ReadsTheSizeOfEachFormat) {
    struct Case {
        Bytes bytes;
        PictureFormat format;
        int w, h;
    };
    const Case cases[] = {
        {gifHeader("GIF89a", 15, 17), PictureFormat::Gif, 15, 17},
        {gifHeader("GIF87a", 65535, 1), PictureFormat::Gif, 65535, 1},
        {pngHeader(300, 200), PictureFormat::Png, 300, 200},
        {bmpInfoHeader(16, 15), PictureFormat::Bmp, 16, 15},
        {bmpInfoHeader(16, -15), PictureFormat::Bmp, 16, 15},  // rows stored top down
        {bmpInfoHeader(7, 9, 124), PictureFormat::Bmp, 7, 9},  // a version 5 header
        {bmpCoreHeader(40, 30), PictureFormat::Bmp, 40, 30},
    };
    for (const Case& c : cases) {
        const auto picture = Picture::fromBytes(c.bytes);
        EXPECT_EQ(picture->format(), c.format);
        EXPECT_EQ(picture->width(), c.w);
        EXPECT_EQ(picture->height(), c.h);
        EXPECT_EQ(picture->bytes(), c.bytes);
        EXPECT_EQ(picture->get("width").toLong(), c.w);
        EXPECT_EQ(picture->get("Height").toLong(), c.h);
        EXPECT_EQ(picture->get("Type").toInteger(), 1);
    }
}

TEST(PictureHeader, RefusesOtherBytesWithTheReason) {
    struct Case {
        Bytes bytes;
        const char* reason;
    };
    Bytes png = pngHeader(1, 1);
    png[12] = 'X';  // first chunk is not IHDR
    const Case cases[] = {
        {{}, "no data"},
        {{'J', 'F', 'I', 'F', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "not a GIF, PNG or BMP file"},
        {{'G', 'I', 'F', '8', '8', 'a', 1, 0, 1, 0, 0, 0, 0}, "not a GIF, PNG or BMP file"},
        {gifHeader("GIF89a", 0, 10), "GIF size 0x10 is not in 1..65535"},
        {pngHeader(70000, 5), "PNG size 70000x5 is not in 1..65535"},
        {pngHeader(0xFFFFFFFFu, 5), "PNG size 4294967295x5 is not in 1..65535"},
        {png, "PNG file does not begin with an IHDR chunk"},
        {bmpInfoHeader(-4, 4), "BMP width is negative"},
        {bmpInfoHeader(4, INT32_MIN), "BMP size 4x2147483648 is not in 1..65535"},
        {bmpInfoHeader(4, 4, 64000), "BMP information header of unknown size 64000"},
        {bmpInfoHeader(4, 4, 20), "BMP information header of unknown size 20"},
    };
    for (const Case& c : cases) {
        const HostError e = refusal(c.bytes);
        EXPECT_EQ(e.number(), err::InvalidPicture);
        EXPECT_EQ(std::string(e.what()), std::string("Invalid picture: ") + c.reason);
    }
}

TEST(PictureHeader, EveryTruncationIsRefusedWithoutReadingPastTheEnd) {
    // Each header cut short at every length: the reader must refuse it
    // cleanly (AddressSanitizer builds catch a read past the end).
    for (const Bytes& whole : {gifHeader("GIF89a", 3, 3), pngHeader(3, 3), bmpInfoHeader(3, 3),
                               bmpInfoHeader(3, 3, 108), bmpCoreHeader(3, 3)}) {
        const size_t needed = whole[0] == 0x89 ? whole.size() - 4 : whole.size();
        for (size_t n = 0; n < needed; ++n) {
            // A heap block of exactly n bytes, so any over-read leaves it.
            const Bytes cut(whole.begin(), whole.begin() + static_cast<long>(n));
            const HostError e = refusal(cut);
            EXPECT_EQ(e.number(), err::InvalidPicture) << n;
        }
    }
    Bytes png = pngHeader(1, 1);
    png.resize(20);
    EXPECT_STREQ(refusal(png).what(), "Invalid picture: PNG header truncated");
    EXPECT_STREQ(refusal({'B', 'M', 0}).what(), "Invalid picture: BMP header truncated");
    EXPECT_STREQ(refusal({'G', 'I', 'F', '8', '9', 'a', 1}).what(), "Invalid picture: GIF header truncated");
}

TEST(PictureFile, LoadsAFileAndNamesThePathOfABadOne) {
    MemoryFileSystem files;
    const Bytes good = gifHeader("GIF89a", 15, 15);
    files.setFile("good.gif", std::string(good.begin(), good.end()));
    files.setFile("bad.png", "\x01\x02\x03");
    EXPECT_EQ(Picture::fromFile("good.gif", files)->width(), 15);

    struct Case {
        const char* path;
        int number;
        const char* text;
    };
    for (const Case& c : {Case{"bad.png", err::InvalidPicture, "Invalid picture: bad.png: not a GIF, PNG or BMP file"},
                          Case{"missing.gif", err::FileNotFound, "File not found: missing.gif: No such file or directory"}}) {
        try {
            Picture::fromFile(c.path, files);
            ADD_FAILURE() << c.path;
        } catch (const HostError& e) {
            EXPECT_EQ(e.number(), c.number);
            EXPECT_STREQ(e.what(), c.text);
        }
    }
}

TEST(PictureFile, ReadingStopsAtTheLimitOfAPicture) {
    try {
        Picture::fromFile("/dev/zero");
        FAIL();
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::InvalidPicture);
        EXPECT_STREQ(e.what(), "Invalid picture: /dev/zero: it holds more than 64 MiB, the most a picture may hold");
    }
}

}  // namespace
}  // namespace tavo
