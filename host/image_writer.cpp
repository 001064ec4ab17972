#include "host/image_writer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <unordered_map>

#include "host/error.h"

namespace tavo {

namespace {

// GIF's LZW codes are at most 12 bits wide.
constexpr int maxLzwBits = 12;
constexpr int lzwTableSize = 1 << maxLzwBits;
// Decoded pictures are button faces and form pictures; a header that claims
// more than this is a damaged or hostile file, refused before any allocation.
constexpr int64_t maxDecodedPixels = int64_t{1} << 26;

[[noreturn]] void badInput(const std::string& what) {
    throwHostError(err::InvalidProcedureCall, what);
}

[[noreturn]] void unreadable(const std::string& what) {
    throwHostError(err::TypeMismatch, what);
}

void checkSize(const char* kind, int width, int height, int maxSide) {
    if (width <= 0 || height <= 0 || width > maxSide || height > maxSide)
        badInput(std::string(kind) + " size " + std::to_string(width) + " x " +
                 std::to_string(height) + " is not 1 to " + std::to_string(maxSide) +
                 " pixels each way");
}

void checkIndexed(const char* kind, const IndexedImage& img, int maxSide) {
    checkSize(kind, img.width, img.height, maxSide);
    if (img.palette.empty() || img.palette.size() > 256)
        badInput(std::string(kind) + " palette has " + std::to_string(img.palette.size()) +
                 " colours; it needs 1 to 256");
    const size_t count = size_t(img.width) * size_t(img.height);
    if (img.pixels.size() != count)
        badInput(std::string(kind) + " raster holds " + std::to_string(img.pixels.size()) +
                 " pixels; " + std::to_string(img.width) + " x " + std::to_string(img.height) +
                 " needs " + std::to_string(count));
    for (size_t i = 0; i < count; ++i)
        if (img.pixels[i] >= img.palette.size())
            badInput(std::string(kind) + " pixel " + std::to_string(i % size_t(img.width)) + "," +
                     std::to_string(i / size_t(img.width)) + " uses colour index " +
                     std::to_string(img.pixels[i]) + " beyond the palette of " +
                     std::to_string(img.palette.size()));
    if (img.transparent && *img.transparent >= img.palette.size())
        badInput(std::string(kind) + " transparent index " + std::to_string(*img.transparent) +
                 " is beyond the palette of " + std::to_string(img.palette.size()));
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// ---------------------------------------------------------------------------
// GIF encoding

// Packs codes least significant bit first and cuts them into the 255-byte
// sub-blocks that GIF image data travels in.
class GifCodeWriter {
public:
    explicit GifCodeWriter(std::vector<uint8_t>& out) : out_(out) {}

    void write(uint32_t code, int bits) {
        acc_ |= code << fill_;
        fill_ += bits;
        while (fill_ >= 8) {
            pushByte(uint8_t(acc_));
            acc_ >>= 8;
            fill_ -= 8;
        }
    }

    void finish() {
        if (fill_ > 0) pushByte(uint8_t(acc_));
        flushBlock();
        out_.push_back(0);
    }

private:
    void pushByte(uint8_t b) {
        block_[blockLen_++] = b;
        if (blockLen_ == 255) flushBlock();
    }
    void flushBlock() {
        if (blockLen_ == 0) return;
        out_.push_back(uint8_t(blockLen_));
        out_.insert(out_.end(), block_.begin(), block_.begin() + blockLen_);
        blockLen_ = 0;
    }

    std::vector<uint8_t>& out_;
    uint32_t acc_ = 0;
    int fill_ = 0;
    std::array<uint8_t, 255> block_{};
    int blockLen_ = 0;
};

// The code width is taken from a model of the decoder's own table: a decoder
// adds its entry one code later than the encoder, so tracking what it has
// seen is the one way to widen codes exactly when it expects them.
class LzwEncoder {
public:
    LzwEncoder(GifCodeWriter& writer, int minCodeSize)
        : writer_(writer),
          minCodeSize_(minCodeSize),
          clearCode_(1u << minCodeSize),
          decoderBits_(minCodeSize + 1) {}

    void encode(const std::vector<uint8_t>& pixels) {
        startTable();
        emit(clearCode_);
        uint32_t prefix = pixels[0];
        for (size_t i = 1; i < pixels.size(); ++i) {
            const uint8_t c = pixels[i];
            const uint32_t key = (prefix << 8) | c;
            if (auto it = table_.find(key); it != table_.end()) {
                prefix = it->second;
                continue;
            }
            emit(prefix);
            table_.emplace(key, nextCode_++);
            if (nextCode_ == lzwTableSize) {
                emit(clearCode_);
                startTable();
            }
            prefix = c;
        }
        emit(prefix);
        emit(clearCode_ + 1);
    }

private:
    void startTable() {
        table_.clear();
        nextCode_ = clearCode_ + 2;
    }

    void emit(uint32_t code) {
        writer_.write(code, decoderBits_);
        if (code == clearCode_) {
            decoderBits_ = minCodeSize_ + 1;
            decoderNext_ = clearCode_ + 2;
            decoderHasPrevious_ = false;
            return;
        }
        if (decoderHasPrevious_ && decoderNext_ < lzwTableSize) {
            ++decoderNext_;
            if (decoderNext_ == (1u << decoderBits_) && decoderBits_ < maxLzwBits) ++decoderBits_;
        }
        decoderHasPrevious_ = true;
    }

    GifCodeWriter& writer_;
    int minCodeSize_;
    uint32_t clearCode_;
    std::unordered_map<uint32_t, uint32_t> table_;
    uint32_t nextCode_ = 0;
    int decoderBits_;
    uint32_t decoderNext_ = 0;
    bool decoderHasPrevious_ = false;
};

int bitsFor(size_t colours) {
    int bits = 1;
    while ((size_t{1} << bits) < colours) ++bits;
    return bits;
}

// ---------------------------------------------------------------------------
// Decoding: a bounds-checked reader that names the part of the file it was in.

class Reader {
public:
    Reader(const std::vector<uint8_t>& data, const char* format) : data_(data), format_(format) {}

    size_t pos() const { return pos_; }
    size_t size() const { return data_.size(); }
    void seek(size_t p, const char* what) {
        if (p > data_.size()) fail(what, p);
        pos_ = p;
    }
    void need(size_t n, const char* what) const {
        if (n > data_.size() - pos_) fail(what, pos_);
    }
    uint8_t u8(const char* what) {
        need(1, what);
        return data_[pos_++];
    }
    uint16_t u16(const char* what) {
        need(2, what);
        const uint16_t v = uint16_t(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    uint32_t u32(const char* what) {
        need(4, what);
        const uint32_t v = uint32_t(data_[pos_]) | (uint32_t(data_[pos_ + 1]) << 8) |
                           (uint32_t(data_[pos_ + 2]) << 16) | (uint32_t(data_[pos_ + 3]) << 24);
        pos_ += 4;
        return v;
    }
    const uint8_t* bytes(size_t n, const char* what) {
        need(n, what);
        const uint8_t* p = data_.data() + pos_;
        pos_ += n;
        return p;
    }
    [[noreturn]] void fail(const char* what, size_t at) const {
        unreadable(std::string(format_) + " file ends at byte " + std::to_string(data_.size()) +
                   " inside the " + what + " (at byte " + std::to_string(at) + ")");
    }
    [[noreturn]] void bad(const std::string& what, size_t at) const {
        unreadable(std::string(format_) + " file: " + what + " at byte " + std::to_string(at));
    }

private:
    const std::vector<uint8_t>& data_;
    const char* format_;
    size_t pos_ = 0;
};

std::string hexByte(uint8_t b) {
    const char* digits = "0123456789ABCDEF";
    return std::string("0x") + digits[b >> 4] + digits[b & 15];
}

void checkDecodedSize(const Reader& r, int64_t width, int64_t height, size_t at) {
    if (width <= 0 || height <= 0)
        r.bad("image size " + std::to_string(width) + " x " + std::to_string(height) +
                  " is empty",
              at);
    if (width * height > maxDecodedPixels)
        r.bad("image size " + std::to_string(width) + " x " + std::to_string(height) +
                  " is too large",
              at);
}

std::vector<uint32_t> readGifColourTable(Reader& r, int entries, const char* what) {
    const uint8_t* p = r.bytes(size_t(entries) * 3, what);
    std::vector<uint32_t> table(static_cast<size_t>(entries));
    for (int i = 0; i < entries; ++i)
        table[size_t(i)] = (uint32_t(p[3 * i]) << 16) | (uint32_t(p[3 * i + 1]) << 8) | p[3 * i + 2];
    return table;
}

// Collects the sub-blocks of one GIF data stream into one buffer.
std::vector<uint8_t> readSubBlocks(Reader& r, const char* what) {
    std::vector<uint8_t> data;
    for (uint8_t len = r.u8(what); len != 0; len = r.u8(what)) {
        const uint8_t* p = r.bytes(len, what);
        data.insert(data.end(), p, p + len);
    }
    return data;
}

void skipSubBlocks(Reader& r, const char* what) {
    for (uint8_t len = r.u8(what); len != 0; len = r.u8(what)) r.bytes(len, what);
}

// Decodes LZW data into exactly `count` colour indices.
std::vector<uint8_t> lzwDecode(const Reader& r, const std::vector<uint8_t>& data, int minCodeSize,
                               size_t count, size_t at) {
    const uint32_t clearCode = 1u << minCodeSize;
    const uint32_t endCode = clearCode + 1;
    std::array<uint16_t, lzwTableSize> prefix{};
    std::array<uint8_t, lzwTableSize> suffix{};
    std::array<uint8_t, lzwTableSize> first{};
    std::array<uint16_t, lzwTableSize> length{};
    for (uint32_t c = 0; c < clearCode; ++c) {
        suffix[c] = uint8_t(c);
        first[c] = uint8_t(c);
        length[c] = 1;
    }

    std::vector<uint8_t> out;
    out.reserve(count);
    int bits = minCodeSize + 1;
    uint32_t next = clearCode + 2;
    int32_t previous = -1;
    size_t bitPos = 0;
    const size_t totalBits = data.size() * 8;

    while (out.size() < count) {
        if (bitPos + size_t(bits) > totalBits)
            r.bad("image data ends after " + std::to_string(out.size()) + " of " +
                      std::to_string(count) + " pixels",
                  at);
        uint32_t code = 0;
        for (int b = 0; b < bits; ++b, ++bitPos)
            code |= uint32_t((data[bitPos >> 3] >> (bitPos & 7)) & 1) << b;

        if (code == clearCode) {
            bits = minCodeSize + 1;
            next = clearCode + 2;
            previous = -1;
            continue;
        }
        if (code == endCode)
            r.bad("image data ends after " + std::to_string(out.size()) + " of " +
                      std::to_string(count) + " pixels",
                  at);
        if (previous < 0) {
            if (code >= clearCode) r.bad("LZW data starts with unknown code " + std::to_string(code), at);
            out.push_back(uint8_t(code));
            previous = int32_t(code);
            continue;
        }
        if (code > next || (code == next && next >= lzwTableSize))
            r.bad("LZW code " + std::to_string(code) + " is not in the table (next is " +
                      std::to_string(next) + ")",
                  at);

        // A code one past the table is the previous string plus its own first byte.
        const uint32_t stringCode = code == next ? uint32_t(previous) : code;
        const size_t start = out.size();
        out.resize(start + length[stringCode]);
        for (uint32_t c = stringCode, i = length[stringCode]; i > 0; c = prefix[c]) out[start + --i] = suffix[c];
        if (code == next) out.push_back(first[previous]);

        if (next < lzwTableSize) {
            prefix[next] = uint16_t(previous);
            suffix[next] = first[code == next ? uint32_t(previous) : code];
            first[next] = first[previous];
            length[next] = uint16_t(length[previous] + 1);
            ++next;
            if (next == (1u << bits) && bits < maxLzwBits) ++bits;
        }
        previous = int32_t(code);
    }
    out.resize(count);
    return out;
}

RgbImage decodeGif(const std::vector<uint8_t>& file) {
    Reader r(file, "GIF");
    r.bytes(6, "signature");
    const int screenWidth = r.u16("logical screen descriptor");
    const int screenHeight = r.u16("logical screen descriptor");
    const uint8_t screenFlags = r.u8("logical screen descriptor");
    r.u8("logical screen descriptor");  // background colour index
    r.u8("logical screen descriptor");  // pixel aspect ratio
    checkDecodedSize(r, screenWidth, screenHeight, 6);
    std::vector<uint32_t> globalTable;
    if (screenFlags & 0x80) globalTable = readGifColourTable(r, 2 << (screenFlags & 7), "global colour table");

    std::optional<uint8_t> transparent;
    for (;;) {
        const size_t blockStart = r.pos();
        const uint8_t introducer = r.u8("block introducer");
        if (introducer == 0x3B) r.bad("file has no image before its trailer", blockStart);
        if (introducer == 0x21) {
            const uint8_t label = r.u8("extension label");
            if (label == 0xF9) {
                const std::vector<uint8_t> gce = readSubBlocks(r, "graphic control extension");
                if (gce.size() < 4) r.bad("graphic control extension is shorter than 4 bytes", blockStart);
                if (gce[0] & 1) transparent = gce[3];
            } else {
                skipSubBlocks(r, "extension block");
            }
            continue;
        }
        if (introducer != 0x2C)
            r.bad("unknown block introducer " + hexByte(introducer), blockStart);

        const int left = r.u16("image descriptor");
        const int top = r.u16("image descriptor");
        const int width = r.u16("image descriptor");
        const int height = r.u16("image descriptor");
        const uint8_t flags = r.u8("image descriptor");
        checkDecodedSize(r, width, height, blockStart);
        if (flags & 0x40) r.bad("interlaced images are not supported", blockStart);
        const std::vector<uint32_t> table =
            (flags & 0x80) ? readGifColourTable(r, 2 << (flags & 7), "local colour table") : globalTable;
        if (table.empty()) r.bad("image has no colour table", blockStart);

        const size_t dataStart = r.pos();
        const int minCodeSize = r.u8("image data");
        if (minCodeSize < 2 || minCodeSize > 8)
            r.bad("LZW minimum code size " + std::to_string(minCodeSize) + " is not 2 to 8", dataStart);
        const std::vector<uint8_t> data = readSubBlocks(r, "image data");
        const std::vector<uint8_t> indices =
            lzwDecode(r, data, minCodeSize, size_t(width) * size_t(height), dataStart);

        // Pixels of the screen that the frame does not cover stay transparent.
        RgbImage out{screenWidth, screenHeight, std::vector<uint32_t>(size_t(screenWidth) * size_t(screenHeight), 0)};
        for (int y = 0; y < height; ++y) {
            if (top + y >= screenHeight) break;
            for (int x = 0; x < width; ++x) {
                if (left + x >= screenWidth) break;
                const uint8_t index = indices[size_t(y) * size_t(width) + size_t(x)];
                if (index >= table.size())
                    r.bad("pixel " + std::to_string(x) + "," + std::to_string(y) + " uses colour index " +
                              std::to_string(index) + " beyond the colour table of " +
                              std::to_string(table.size()),
                          dataStart);
                if (transparent && index == *transparent) continue;
                out.pixels[size_t(top + y) * size_t(screenWidth) + size_t(left + x)] = 0xFF000000u | table[index];
            }
        }
        return out;
    }
}

// One channel of a 16- or 32-bit pixel, given by a bit mask, scaled to 0..255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;

    explicit Channel(uint32_t m) : mask(m) {
        if (mask == 0) return;
        while (((mask >> shift) & 1) == 0) ++shift;
        max = mask >> shift;
    }
    uint32_t read(uint32_t pixel) const {
        return max == 0 ? 0 : (((pixel & mask) >> shift) * 255 + max / 2) / max;
    }
};

RgbImage decodeBmp(const std::vector<uint8_t>& file) {
    Reader r(file, "BMP");
    r.bytes(2, "signature");
    r.u32("file header");  // file size; many writers get it wrong, the data checks below suffice
    r.u32("file header");
    const uint32_t dataOffset = r.u32("file header");
    const size_t infoStart = r.pos();
    const uint32_t infoSize = r.u32("info header");
    // The old 12-byte core header has 16-bit sizes, no compression and 3-byte palette entries.
    const bool core = infoSize == 12;
    if (!core && infoSize < 40)
        r.bad("info header size " + std::to_string(infoSize) + " is not supported (12, or 40 and more)", infoStart);
    const int32_t width = core ? r.u16("info header") : int32_t(r.u32("info header"));
    const int32_t rawHeight = core ? r.u16("info header") : int32_t(r.u32("info header"));
    const uint16_t planes = r.u16("info header");
    const uint16_t bitCount = r.u16("info header");
    uint32_t compression = 0, coloursUsed = 0;
    if (!core) {
        compression = r.u32("info header");
        r.u32("info header");  // image size
        r.u32("info header");  // horizontal resolution
        r.u32("info header");  // vertical resolution
        coloursUsed = r.u32("info header");
        r.u32("info header");  // important colours
    }

    const bool topDown = rawHeight < 0;
    const int64_t height = topDown ? -int64_t(rawHeight) : int64_t(rawHeight);
    checkDecodedSize(r, width, height, infoStart);
    if (planes != 1) r.bad("plane count " + std::to_string(planes) + " is not 1", infoStart);
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        r.bad(std::to_string(bitCount) + " bits per pixel are not supported", infoStart);
    const bool bitFields = compression == 3 && (bitCount == 16 || bitCount == 32);
    if (compression != 0 && !bitFields)
        r.bad("compression " + std::to_string(compression) + " with " + std::to_string(bitCount) +
                  " bits per pixel is not supported (only uncompressed pixels)",
              infoStart);

    // Without bit fields, 16-bit pixels are 5-5-5 and 32-bit ones carry an unused fourth byte.
    uint32_t masks[4] = {0x7C00, 0x03E0, 0x001F, 0};
    if (bitCount == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
    if (bitFields) {
        // The masks follow a 40-byte header and are part of any longer one.
        const int count = infoSize >= 56 ? 4 : 3;
        for (int i = 0; i < count; ++i) masks[i] = r.u32("colour masks");
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);

    std::vector<uint32_t> palette;
    if (bitCount <= 8) {
        const uint32_t maxEntries = 1u << bitCount;
        const uint32_t entries = coloursUsed == 0 ? maxEntries : coloursUsed;
        if (entries > maxEntries)
            r.bad("palette of " + std::to_string(entries) + " colours is too large for " +
                      std::to_string(bitCount) + " bits per pixel",
                  infoStart);
        const size_t entrySize = core ? 3 : 4;
        r.seek(infoStart + infoSize, "palette");
        const uint8_t* p = r.bytes(size_t(entries) * entrySize, "palette");
        for (size_t i = 0; i < entries; ++i, p += entrySize)
            palette.push_back((uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0]);
    }

    const size_t stride = ((size_t(width) * bitCount + 31) / 32) * 4;
    r.seek(dataOffset, "pixel data");
    const uint8_t* data = r.bytes(stride * size_t(height), "pixel data");

    RgbImage out{width, int(height), std::vector<uint32_t>(size_t(width) * size_t(height))};
    for (int64_t y = 0; y < height; ++y) {
        const uint8_t* row = data + stride * size_t(topDown ? y : height - 1 - y);
        for (int32_t x = 0; x < width; ++x) {
            uint32_t argb;
            if (bitCount == 24) {
                const uint8_t* px = row + size_t(x) * 3;
                argb = 0xFF000000u | (uint32_t(px[2]) << 16) | (uint32_t(px[1]) << 8) | px[0];
            } else if (bitCount >= 16) {
                const uint8_t* px = row + size_t(x) * (bitCount / 8);
                uint32_t v = uint32_t(px[0]) | (uint32_t(px[1]) << 8);
                if (bitCount == 32) v |= (uint32_t(px[2]) << 16) | (uint32_t(px[3]) << 24);
                argb = (alpha.mask ? alpha.read(v) << 24 : 0xFF000000u) | (red.read(v) << 16) |
                       (green.read(v) << 8) | blue.read(v);
            } else {
                const size_t bit = size_t(x) * bitCount;
                const uint32_t index = (row[bit / 8] >> (8 - bitCount - bit % 8)) & ((1u << bitCount) - 1);
                if (index >= palette.size())
                    r.bad("pixel " + std::to_string(x) + "," + std::to_string(y) + " uses colour index " +
                              std::to_string(index) + " beyond the palette of " +
                              std::to_string(palette.size()),
                          dataOffset);
                argb = 0xFF000000u | palette[index];
            }
            out.pixels[size_t(y) * size_t(width) + size_t(x)] = argb;
        }
    }
    return out;
}

bool startsWith(const std::vector<uint8_t>& file, const char* magic, size_t n) {
    return file.size() >= n && std::memcmp(file.data(), magic, n) == 0;
}

}  // namespace

std::vector<uint8_t> encodeGif(const IndexedImage& img) {
    checkIndexed("GIF", img, 0xFFFF);
    const int bits = bitsFor(img.palette.size());
    std::vector<uint8_t> out;
    out.reserve(64 + img.pixels.size());

    static constexpr char signature[] = "GIF89a";
    out.assign(signature, signature + 6);
    put16(out, uint32_t(img.width));
    put16(out, uint32_t(img.height));
    out.push_back(uint8_t(0x80 | ((bits - 1) << 4) | (bits - 1)));
    out.push_back(0);  // background colour index
    out.push_back(0);  // square pixels
    for (size_t i = 0; i < (size_t{1} << bits); ++i) {
        const uint32_t c = i < img.palette.size() ? img.palette[i] : 0;
        out.insert(out.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    }

    if (img.transparent) {
        out.insert(out.end(), {0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, *img.transparent, 0x00});
    }

    out.push_back(0x2C);
    put16(out, 0);
    put16(out, 0);
    put16(out, uint32_t(img.width));
    put16(out, uint32_t(img.height));
    out.push_back(0);  // no local table, not interlaced

    // LZW needs at least two bits of root codes, even for a two-colour table.
    const int minCodeSize = std::max(2, bits);
    out.push_back(uint8_t(minCodeSize));
    GifCodeWriter writer(out);
    LzwEncoder(writer, minCodeSize).encode(img.pixels);
    writer.finish();

    out.push_back(0x3B);
    return out;
}

namespace {

std::vector<uint8_t> bmpHeaders(int width, int height, int bitCount, uint32_t paletteEntries) {
    const size_t stride = ((size_t(width) * size_t(bitCount) + 31) / 32) * 4;
    const uint32_t dataOffset = 14 + 40 + paletteEntries * 4;
    const size_t imageSize = stride * size_t(height);
    std::vector<uint8_t> out;
    out.reserve(dataOffset + imageSize);
    out.insert(out.end(), {'B', 'M'});
    put32(out, uint32_t(dataOffset + imageSize));
    put32(out, 0);
    put32(out, dataOffset);
    put32(out, 40);
    put32(out, uint32_t(width));
    put32(out, uint32_t(height));  // positive: rows stored bottom-up
    put16(out, 1);
    put16(out, uint32_t(bitCount));
    put32(out, 0);  // uncompressed
    put32(out, uint32_t(imageSize));
    put32(out, 3780);  // 96 dots per inch, the host's 15 twips per pixel
    put32(out, 3780);
    put32(out, paletteEntries);
    put32(out, 0);
    return out;
}

// Keeps BMP offsets and sizes inside their 32-bit fields.
constexpr int maxBmpSide = 16384;

}  // namespace

std::vector<uint8_t> encodeBmp(const IndexedImage& img) {
    checkIndexed("BMP", img, maxBmpSide);
    const int bitCount = img.palette.size() <= 16 ? 4 : 8;
    // A 4-bit bitmap always carries its full 16 colours; an 8-bit one only those used.
    const uint32_t entries = bitCount == 4 ? 16 : uint32_t(img.palette.size());
    std::vector<uint8_t> out = bmpHeaders(img.width, img.height, bitCount, entries);
    for (uint32_t i = 0; i < entries; ++i) {
        const uint32_t c = i < img.palette.size() ? img.palette[i] : 0;
        out.insert(out.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 0});
    }
    const size_t stride = ((size_t(img.width) * size_t(bitCount) + 31) / 32) * 4;
    for (int y = img.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < img.width; ++x) {
            const uint8_t index = img.pixels[size_t(y) * size_t(img.width) + size_t(x)];
            if (bitCount == 8)
                row[size_t(x)] = index;
            else
                row[size_t(x) / 2] |= uint8_t(x % 2 == 0 ? index << 4 : index);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<uint8_t> encodeBmp(const RgbImage& img) {
    checkSize("BMP", img.width, img.height, maxBmpSide);
    const size_t count = size_t(img.width) * size_t(img.height);
    if (img.pixels.size() != count)
        badInput("BMP raster holds " + std::to_string(img.pixels.size()) + " pixels; " +
                 std::to_string(img.width) + " x " + std::to_string(img.height) + " needs " +
                 std::to_string(count));
    std::vector<uint8_t> out = bmpHeaders(img.width, img.height, 24, 0);
    const size_t stride = ((size_t(img.width) * 24 + 31) / 32) * 4;
    for (int y = img.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < img.width; ++x) {
            const uint32_t c = img.pixels[size_t(y) * size_t(img.width) + size_t(x)];
            row[3 * size_t(x)] = uint8_t(c);
            row[3 * size_t(x) + 1] = uint8_t(c >> 8);
            row[3 * size_t(x) + 2] = uint8_t(c >> 16);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

RgbImage decodeToArgb(const std::vector<uint8_t>& file) {
    if (startsWith(file, "GIF87a", 6) || startsWith(file, "GIF89a", 6)) return decodeGif(file);
    if (startsWith(file, "BM", 2)) return decodeBmp(file);
    if (startsWith(file, "\x89PNG\r\n\x1a\n", 8)) unreadable("PNG pixels not supported here");
    unreadable("picture data of " + std::to_string(file.size()) +
               " bytes is neither a GIF nor a BMP file");
}

}  // namespace tavo
