#include "support/image_decoder.h"

#include <array>
#include <optional>
#include <string>

#include "host/byte_reader.h"
#include "tavo/host/error.h"

namespace tavo {

namespace {

// GIF's LZW codes are at most 12 bits wide.
constexpr int kMaxLzwBits = 12;
constexpr uint32_t kLzwTableSize = 1u << kMaxLzwBits;
// Decoded pictures are button faces and form pictures; a header that claims
// more than this is a damaged or hostile file, refused before any allocation.
constexpr int64_t kMaxDecodedPixels = int64_t{1} << 26;

[[noreturn]] void unreadable(const std::string& what) { throwHostError(err::TypeMismatch, what); }

std::string hexByte(uint8_t b) {
    const char* digits = "0123456789ABCDEF";
    return std::string("0x") + digits[b >> 4] + digits[b & 15];
}

// What both formats' decoders share: the reader, and problems named with the
// format and the offset.
class FileDecoder {
public:
    FileDecoder(const std::vector<uint8_t>& file, const char* format) : r(file), format_(format) {}

    [[noreturn]] void bad(const std::string& what, size_t at) const {
        unreadable(std::string(format_) + " file: " + what + " at byte " + std::to_string(at));
    }
    void checkSize(int64_t width, int64_t height, size_t at) const {
        const std::string size = std::to_string(width) + " x " + std::to_string(height);
        if (width <= 0 || height <= 0) bad("image size " + size + " is empty", at);
        if (width * height > kMaxDecodedPixels) bad("image size " + size + " is too large", at);
    }
    // Runs a decoder, turning a read past the end into the format's words.
    template <class Decode>
    RgbImage run(Decode decode) {
        try {
            return decode();
        } catch (const ByteReader::Truncated& t) {
            unreadable(std::string(format_) + " file ends at byte " + std::to_string(r.size()) + " inside the " +
                       t.part() + " (at byte " + std::to_string(t.at()) + ")");
        }
    }

protected:
    ByteReader r;

private:
    const char* format_;
};

// ---- GIF ----------------------------------------------------------------

// The decoder's string table: each code past the roots is an earlier code
// plus one byte.
class LzwTable {
public:
    explicit LzwTable(int minCodeSize) : minCodeSize_(minCodeSize), clearCode_(1u << minCodeSize) {
        for (uint32_t c = 0; c < clearCode_; ++c) {
            suffix_[c] = uint8_t(c);
            first_[c] = uint8_t(c);
            length_[c] = 1;
        }
        reset();
    }

    uint32_t clearCode() const { return clearCode_; }
    uint32_t endCode() const { return clearCode_ + 1; }
    uint32_t next() const { return next_; }
    int bits() const { return bits_; }
    uint8_t first(uint32_t code) const { return first_[code]; }

    void reset() {
        bits_ = minCodeSize_ + 1;
        next_ = clearCode_ + 2;
    }
    void append(uint32_t code, std::vector<uint8_t>& out) const {
        const size_t start = out.size();
        out.resize(start + length_[code]);
        for (uint32_t c = code, i = length_[code]; i > 0; c = prefix_[c]) out[start + --i] = suffix_[c];
    }
    // Adds `previous` plus `last`; codes widen when the table fills their width.
    void add(uint32_t previous, uint8_t last) {
        if (next_ >= kLzwTableSize) return;
        prefix_[next_] = uint16_t(previous);
        suffix_[next_] = last;
        first_[next_] = first_[previous];
        length_[next_] = uint16_t(length_[previous] + 1);
        ++next_;
        if (next_ == (1u << bits_) && bits_ < kMaxLzwBits) ++bits_;
    }

private:
    int minCodeSize_;
    uint32_t clearCode_;
    uint32_t next_ = 0;
    int bits_ = 0;
    std::array<uint16_t, kLzwTableSize> prefix_{};
    std::array<uint8_t, kLzwTableSize> suffix_{};
    std::array<uint8_t, kLzwTableSize> first_{};
    std::array<uint16_t, kLzwTableSize> length_{};
};

class GifDecoder : public FileDecoder {
public:
    explicit GifDecoder(const std::vector<uint8_t>& file) : FileDecoder(file, "GIF") {}

    RgbImage decode() {
        readScreen();
        for (;;) {
            const size_t blockStart = r.pos();
            const uint8_t introducer = r.u8("block introducer");
            if (introducer == 0x3B) bad("file has no image before its trailer", blockStart);
            if (introducer == 0x2C) return readImage(blockStart);
            if (introducer != 0x21) bad("unknown block introducer " + hexByte(introducer), blockStart);
            readExtension(blockStart);
        }
    }

private:
    void readScreen() {
        r.bytes(6, "signature");
        screenWidth_ = r.le16("logical screen descriptor");
        screenHeight_ = r.le16("logical screen descriptor");
        const uint8_t flags = r.u8("logical screen descriptor");
        r.u8("logical screen descriptor");  // background colour index
        r.u8("logical screen descriptor");  // pixel aspect ratio
        checkSize(screenWidth_, screenHeight_, 6);
        if (flags & 0x80) globalTable_ = readColourTable(2 << (flags & 7), "global colour table");
    }

    void readExtension(size_t blockStart) {
        const uint8_t label = r.u8("extension label");
        if (label != 0xF9) return skipSubBlocks("extension block");
        const std::vector<uint8_t> gce = readSubBlocks("graphic control extension");
        if (gce.size() < 4) bad("graphic control extension is shorter than 4 bytes", blockStart);
        if (gce[0] & 1) transparent_ = gce[3];
    }

    RgbImage readImage(size_t blockStart) {
        const int left = r.le16("image descriptor");
        const int top = r.le16("image descriptor");
        const int width = r.le16("image descriptor");
        const int height = r.le16("image descriptor");
        const uint8_t flags = r.u8("image descriptor");
        checkSize(width, height, blockStart);
        if (flags & 0x40) bad("interlaced images are not supported", blockStart);
        const std::vector<uint32_t> table =
            (flags & 0x80) ? readColourTable(2 << (flags & 7), "local colour table") : globalTable_;
        if (table.empty()) bad("image has no colour table", blockStart);

        const size_t dataStart = r.pos();
        const int minCodeSize = r.u8("image data");
        if (minCodeSize < 2 || minCodeSize > 8)
            bad("LZW minimum code size " + std::to_string(minCodeSize) + " is not 2 to 8", dataStart);
        const std::vector<uint8_t> data = readSubBlocks("image data");
        const std::vector<uint8_t> indices = lzwDecode(data, minCodeSize, size_t(width) * size_t(height), dataStart);

        // Pixels of the screen that the frame does not cover stay transparent.
        RgbImage out{screenWidth_, screenHeight_,
                     std::vector<uint32_t>(size_t(screenWidth_) * size_t(screenHeight_), 0)};
        for (int y = 0; y < height && top + y < screenHeight_; ++y) {
            for (int x = 0; x < width && left + x < screenWidth_; ++x) {
                const uint8_t index = indices[size_t(y) * size_t(width) + size_t(x)];
                if (index >= table.size())
                    bad("pixel " + std::to_string(x) + "," + std::to_string(y) + " uses colour index " +
                            std::to_string(index) + " beyond the colour table of " + std::to_string(table.size()),
                        dataStart);
                if (transparent_ && index == *transparent_) continue;
                out.pixels[size_t(top + y) * size_t(screenWidth_) + size_t(left + x)] = 0xFF000000u | table[index];
            }
        }
        return out;
    }

    std::vector<uint32_t> readColourTable(int entries, const char* part) {
        const uint8_t* p = r.bytes(size_t(entries) * 3, part);
        std::vector<uint32_t> table(static_cast<size_t>(entries));
        for (int i = 0; i < entries; ++i)
            table[size_t(i)] = (uint32_t(p[3 * i]) << 16) | (uint32_t(p[3 * i + 1]) << 8) | p[3 * i + 2];
        return table;
    }

    // Collects the sub-blocks of one data stream into one buffer.
    std::vector<uint8_t> readSubBlocks(const char* part) {
        std::vector<uint8_t> data;
        for (uint8_t len = r.u8(part); len != 0; len = r.u8(part)) {
            const uint8_t* p = r.bytes(len, part);
            data.insert(data.end(), p, p + len);
        }
        return data;
    }

    void skipSubBlocks(const char* part) {
        for (uint8_t len = r.u8(part); len != 0; len = r.u8(part)) r.bytes(len, part);
    }

    // Decodes LZW data into exactly `count` colour indices.
    std::vector<uint8_t> lzwDecode(const std::vector<uint8_t>& data, int minCodeSize, size_t count, size_t at) const {
        LzwTable table(minCodeSize);
        std::vector<uint8_t> out;
        out.reserve(count);
        int32_t previous = -1;
        size_t bitPos = 0;
        const auto endsEarly = [&] {
            bad("image data ends after " + std::to_string(out.size()) + " of " + std::to_string(count) + " pixels",
                at);
        };
        while (out.size() < count) {
            if (bitPos + size_t(table.bits()) > data.size() * 8) endsEarly();
            uint32_t code = 0;
            for (int b = 0; b < table.bits(); ++b, ++bitPos)
                code |= uint32_t((data[bitPos >> 3] >> (bitPos & 7)) & 1) << b;

            if (code == table.clearCode()) {
                table.reset();
                previous = -1;
                continue;
            }
            if (code == table.endCode()) endsEarly();
            if (previous < 0) {
                if (code >= table.clearCode()) bad("LZW data starts with unknown code " + std::to_string(code), at);
                out.push_back(uint8_t(code));
                previous = int32_t(code);
                continue;
            }
            if (code > table.next() || (code == table.next() && table.next() >= kLzwTableSize))
                bad("LZW code " + std::to_string(code) + " is not in the table (next is " +
                        std::to_string(table.next()) + ")",
                    at);
            // A code one past the table is the previous string plus its own first byte.
            const uint32_t known = code == table.next() ? uint32_t(previous) : code;
            table.append(known, out);
            if (code == table.next()) out.push_back(table.first(known));
            table.add(uint32_t(previous), table.first(known));
            previous = int32_t(code);
        }
        out.resize(count);
        return out;
    }

    int screenWidth_ = 0, screenHeight_ = 0;
    std::vector<uint32_t> globalTable_;
    std::optional<uint8_t> transparent_;
};

// ---- BMP ----------------------------------------------------------------

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
    uint32_t read(uint32_t pixel) const { return max == 0 ? 0 : (((pixel & mask) >> shift) * 255 + max / 2) / max; }
};

class BmpDecoder : public FileDecoder {
public:
    explicit BmpDecoder(const std::vector<uint8_t>& file) : FileDecoder(file, "BMP") {}

    RgbImage decode() {
        readHeaders();
        readMasks();
        readPalette();
        return readPixels();
    }

private:
    void readHeaders() {
        r.bytes(2, "signature");
        r.le32("file header");  // file size; many writers get it wrong, the data checks below suffice
        r.le32("file header");
        dataOffset_ = r.le32("file header");
        infoStart_ = r.pos();
        infoSize_ = r.le32("info header");
        // The old 12-byte core header has 16-bit sizes, no compression and 3-byte palette entries.
        core_ = infoSize_ == 12;
        if (!core_ && infoSize_ < 40)
            bad("info header size " + std::to_string(infoSize_) + " is not supported (12, or 40 and more)",
                infoStart_);
        width_ = core_ ? r.le16("info header") : int32_t(r.le32("info header"));
        const int32_t rawHeight = core_ ? r.le16("info header") : int32_t(r.le32("info header"));
        const uint16_t planes = r.le16("info header");
        bitCount_ = r.le16("info header");
        if (!core_) readInfoTail();

        topDown_ = rawHeight < 0;
        height_ = topDown_ ? -int64_t(rawHeight) : int64_t(rawHeight);
        checkSize(width_, height_, infoStart_);
        if (planes != 1) bad("plane count " + std::to_string(planes) + " is not 1", infoStart_);
        if (bitCount_ != 1 && bitCount_ != 4 && bitCount_ != 8 && bitCount_ != 16 && bitCount_ != 24 &&
            bitCount_ != 32)
            bad(std::to_string(bitCount_) + " bits per pixel are not supported", infoStart_);
        bitFields_ = compression_ == 3 && (bitCount_ == 16 || bitCount_ == 32);
        if (compression_ != 0 && !bitFields_)
            bad("compression " + std::to_string(compression_) + " with " + std::to_string(bitCount_) +
                    " bits per pixel is not supported (only uncompressed pixels)",
                infoStart_);
    }

    // The fields of a 40-byte or longer header after the bit count.
    void readInfoTail() {
        compression_ = r.le32("info header");
        r.le32("info header");  // image size
        r.le32("info header");  // horizontal resolution
        r.le32("info header");  // vertical resolution
        coloursUsed_ = r.le32("info header");
        r.le32("info header");  // important colours
    }

    // Without bit fields, 16-bit pixels are 5-5-5 and 32-bit ones carry an
    // unused fourth byte.
    void readMasks() {
        std::array<uint32_t, 4> masks = {0x7C00, 0x03E0, 0x001F, 0};
        if (bitCount_ == 32) masks = {0xFF0000, 0x00FF00, 0x0000FF, 0};
        if (bitFields_) {
            // The masks follow a 40-byte header and are part of any longer one.
            const int count = infoSize_ >= 56 ? 4 : 3;
            for (int i = 0; i < count; ++i) masks[size_t(i)] = r.le32("colour masks");
        }
        red_ = Channel(masks[0]);
        green_ = Channel(masks[1]);
        blue_ = Channel(masks[2]);
        alpha_ = Channel(masks[3]);
    }

    void readPalette() {
        if (bitCount_ > 8) return;
        const uint32_t maxEntries = 1u << bitCount_;
        const uint32_t entries = coloursUsed_ == 0 ? maxEntries : coloursUsed_;
        if (entries > maxEntries)
            bad("palette of " + std::to_string(entries) + " colours is too large for " + std::to_string(bitCount_) +
                    " bits per pixel",
                infoStart_);
        const size_t entrySize = core_ ? 3 : 4;
        r.seek(infoStart_ + infoSize_, "palette");
        const uint8_t* p = r.bytes(size_t(entries) * entrySize, "palette");
        for (size_t i = 0; i < entries; ++i, p += entrySize)
            palette_.push_back((uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0]);
    }

    RgbImage readPixels() {
        const size_t stride = ((size_t(width_) * bitCount_ + 31) / 32) * 4;
        r.seek(dataOffset_, "pixel data");
        const uint8_t* data = r.bytes(stride * size_t(height_), "pixel data");
        RgbImage out{width_, int(height_), std::vector<uint32_t>(size_t(width_) * size_t(height_))};
        for (int64_t y = 0; y < height_; ++y) {
            const uint8_t* row = data + stride * size_t(topDown_ ? y : height_ - 1 - y);
            for (int32_t x = 0; x < width_; ++x) out.pixels[size_t(y) * size_t(width_) + size_t(x)] = pixel(row, x, y);
        }
        return out;
    }

    uint32_t pixel(const uint8_t* row, int32_t x, int64_t y) const {
        if (bitCount_ == 24) {
            const uint8_t* px = row + size_t(x) * 3;
            return 0xFF000000u | (uint32_t(px[2]) << 16) | (uint32_t(px[1]) << 8) | px[0];
        }
        if (bitCount_ >= 16) {
            const uint8_t* px = row + size_t(x) * (bitCount_ / 8);
            uint32_t v = uint32_t(px[0]) | (uint32_t(px[1]) << 8);
            if (bitCount_ == 32) v |= (uint32_t(px[2]) << 16) | (uint32_t(px[3]) << 24);
            return (alpha_.mask ? alpha_.read(v) << 24 : 0xFF000000u) | (red_.read(v) << 16) |
                   (green_.read(v) << 8) | blue_.read(v);
        }
        const size_t bit = size_t(x) * bitCount_;
        const uint32_t index = (row[bit / 8] >> (8 - bitCount_ - bit % 8)) & ((1u << bitCount_) - 1);
        if (index >= palette_.size())
            bad("pixel " + std::to_string(x) + "," + std::to_string(y) + " uses colour index " +
                    std::to_string(index) + " beyond the palette of " + std::to_string(palette_.size()),
                dataOffset_);
        return 0xFF000000u | palette_[index];
    }

    uint32_t dataOffset_ = 0;
    size_t infoStart_ = 0;
    uint32_t infoSize_ = 0;
    bool core_ = false;
    int32_t width_ = 0;
    int64_t height_ = 0;
    bool topDown_ = false;
    uint16_t bitCount_ = 0;
    uint32_t compression_ = 0, coloursUsed_ = 0;
    bool bitFields_ = false;
    Channel red_{0}, green_{0}, blue_{0}, alpha_{0};
    std::vector<uint32_t> palette_;
};

}  // namespace

RgbImage decodeToArgb(const std::vector<uint8_t>& file) {
    const ByteReader magic(file);
    if (magic.startsWith("GIF87a") || magic.startsWith("GIF89a")) {
        GifDecoder gif(file);
        return gif.run([&] { return gif.decode(); });
    }
    if (magic.startsWith("BM")) {
        BmpDecoder bmp(file);
        return bmp.run([&] { return bmp.decode(); });
    }
    if (magic.startsWith("\x89PNG\r\n\x1a\n")) unreadable("PNG pixels not supported here");
    unreadable("picture data of " + std::to_string(file.size()) + " bytes is neither a GIF nor a BMP file");
}

}  // namespace tavo
