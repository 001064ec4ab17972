#include "host/picture.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <variant>

#include "host/error.h"

namespace tavo {

namespace {

constexpr int64_t kMaxPictureSide = 65535;

struct Header {
    PictureFormat format;
    int64_t width, height;
};

// What is wrong with the bytes, in words for the error text.
using Reading = std::variant<Header, std::string>;

uint32_t le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}
uint32_t be32(const std::vector<uint8_t>& b, size_t at) {
    return (uint32_t(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}
bool startsWith(const std::vector<uint8_t>& b, const char* magic, size_t n) {
    return b.size() >= n && std::memcmp(b.data(), magic, n) == 0;
}

Reading readGif(const std::vector<uint8_t>& b) {
    // Signature (6) and the logical screen descriptor (7).
    if (b.size() < 13) return std::string("GIF header truncated");
    return Header{PictureFormat::Gif, le16(b, 6), le16(b, 8)};
}

Reading readPng(const std::vector<uint8_t>& b) {
    // Signature (8), then the IHDR chunk: length (4), type (4), width and height first in its 13 bytes.
    if (b.size() < 8 + 8 + 13) return std::string("PNG header truncated");
    if (be32(b, 8) != 13 || std::memcmp(b.data() + 12, "IHDR", 4) != 0)
        return std::string("PNG file does not begin with an IHDR chunk");
    return Header{PictureFormat::Png, be32(b, 16), be32(b, 20)};
}

Reading readBmp(const std::vector<uint8_t>& b) {
    constexpr size_t kFileHeader = 14;
    if (b.size() < kFileHeader + 4) return std::string("BMP header truncated");
    const uint32_t infoSize = le32(b, kFileHeader);
    if (infoSize == 12) {
        if (b.size() < kFileHeader + 12) return std::string("BMP header truncated");
        return Header{PictureFormat::Bmp, le16(b, 18), le16(b, 20)};
    }
    if (infoSize < 40 || infoSize > 124) return "BMP information header of unknown size " + std::to_string(infoSize);
    if (b.size() < kFileHeader + infoSize) return std::string("BMP header truncated");
    const int64_t width = static_cast<int32_t>(le32(b, 18));
    const int64_t height = static_cast<int32_t>(le32(b, 22));
    if (width < 0) return std::string("BMP width is negative");
    // A negative height marks rows stored top to bottom; the size is the same.
    return Header{PictureFormat::Bmp, width, height < 0 ? -height : height};
}

Reading readHeader(const std::vector<uint8_t>& b) {
    Reading r;
    if (startsWith(b, "GIF87a", 6) || startsWith(b, "GIF89a", 6)) r = readGif(b);
    else if (startsWith(b, "\x89PNG\r\n\x1a\n", 8)) r = readPng(b);
    else if (startsWith(b, "BM", 2)) r = readBmp(b);
    else if (b.empty()) return std::string("no data");
    else return std::string("not a GIF, PNG or BMP file");
    if (const auto* h = std::get_if<Header>(&r)) {
        if (h->width < 1 || h->width > kMaxPictureSide || h->height < 1 || h->height > kMaxPictureSide)
            return std::string(pictureFormatName(h->format)) + " size " + std::to_string(h->width) + "x" +
                   std::to_string(h->height) + " is not in 1..65535";
    }
    return r;
}

}  // namespace

const char* pictureFormatName(PictureFormat f) {
    switch (f) {
    case PictureFormat::Gif: return "GIF";
    case PictureFormat::Png: return "PNG";
    case PictureFormat::Bmp: return "BMP";
    }
    return "?";
}

std::shared_ptr<Picture> Picture::fromBytes(std::vector<uint8_t> bytes, PictureScaling scaling) {
    const Reading r = readHeader(bytes);
    if (const auto* why = std::get_if<std::string>(&r)) throwHostError(err::InvalidPicture, *why);
    const auto& h = std::get<Header>(r);
    std::shared_ptr<Picture> p(new Picture());
    p->bytes_ = std::move(bytes);
    p->format_ = h.format;
    p->width_ = static_cast<int>(h.width);
    p->height_ = static_cast<int>(h.height);
    p->scaling_ = scaling;
    return p;
}

std::shared_ptr<Picture> Picture::fromFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throwHostError(err::FileNotFound, path);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throwHostError(err::FileNotFound, path + ": cannot be read");
    const Reading r = readHeader(bytes);
    if (const auto* why = std::get_if<std::string>(&r)) throwHostError(err::InvalidPicture, path + ": " + *why);
    return fromBytes(std::move(bytes));
}

namespace {

// Width and Height are in pixels here, not in the platform's HIMETRIC: the
// controls only compare picture sizes with each other and scale them with the
// screen's twips per pixel, so pixels save a round trip through 0.01 mm.
const MemberTable<Picture>& pictureMembers() {
    static const MemberTable<Picture> table = [] {
        MemberTable<Picture> t;
        // Every format the host reads is decoded to a bitmap (picture type 1).
        t.property("Type", [](Picture&, const Variant*) { return Variant::integer(1); });
        t.property("Width", [](Picture& p, const Variant*) { return Variant::longValue(p.width()); });
        t.property("Height", [](Picture& p, const Variant*) { return Variant::longValue(p.height()); });
        return t;
    }();
    return table;
}

}  // namespace

Variant Picture::get(std::string_view member, const Variant* arg) { return pictureMembers().get(*this, member, arg); }

std::vector<std::string> Picture::propertyNames() const { return pictureMembers().propertyNames(); }

}  // namespace tavo
