#include "tavo/host/image_encoder.h"

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>

#include "tavo/host/error.h"

namespace tavo {

namespace {

// GIF's LZW codes are at most 12 bits wide.
constexpr int kMaxLzwBits = 12;
constexpr int kLzwTableSize = 1 << kMaxLzwBits;

[[noreturn]] void badInput(const std::string& what) {
    throwHostError(err::InvalidProcedureCall, what);
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
            if (nextCode_ == kLzwTableSize) {
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
        if (decoderHasPrevious_ && decoderNext_ < kLzwTableSize) {
            ++decoderNext_;
            if (decoderNext_ == (1u << decoderBits_) && decoderBits_ < kMaxLzwBits) ++decoderBits_;
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

}  // namespace

std::vector<uint8_t> encodeGif(const IndexedImage& img) {
    checkIndexed("GIF", img, 0xFFFF);
    const int bits = bitsFor(img.palette.size());
    std::vector<uint8_t> out;
    out.reserve(64 + img.pixels.size());

    static constexpr char kSignature[] = "GIF89a";
    out.assign(kSignature, kSignature + 6);
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
constexpr int kMaxBmpSide = 16384;

}  // namespace

std::vector<uint8_t> encodeBmp(const IndexedImage& img) {
    checkIndexed("BMP", img, kMaxBmpSide);
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
    checkSize("BMP", img.width, img.height, kMaxBmpSide);
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

}  // namespace tavo
