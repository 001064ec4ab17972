#include "tavo/host/picture.h"

#include <cstring>
#include <variant>

#include "host/byte_reader.h"
#include "tavo/host/ascii_text.h"
#include "tavo/host/error.h"

namespace tavo {

namespace {

constexpr int64_t kMaxPictureSide = 65535;

struct Header {
    PictureFormat format;
    int64_t width, height;
};

// What is wrong with the bytes, in words for the error text.
using Reading = std::variant<Header, std::string>;

Reading readGif(ByteReader& r) {
    // Signature (6) and the logical screen descriptor (7).
    r.seek(6, "header");
    r.need(7, "header");
    const int64_t width = r.le16("header");
    const int64_t height = r.le16("header");
    return Header{PictureFormat::Gif, width, height};
}

Reading readPng(ByteReader& r) {
    // Signature (8), then the IHDR chunk: length (4), type (4), width and height first in its 13 bytes.
    r.seek(8, "header");
    r.need(8 + 13, "header");
    const uint32_t length = r.be32("header");
    const uint8_t* type = r.bytes(4, "header");
    if (length != 13 || std::memcmp(type, "IHDR", 4) != 0)
        return std::string("PNG file does not begin with an IHDR chunk");
    const int64_t width = r.be32("header");
    const int64_t height = r.be32("header");
    return Header{PictureFormat::Png, width, height};
}

Reading readBmp(ByteReader& r) {
    constexpr size_t kFileHeader = 14;
    r.seek(kFileHeader, "header");
    const uint32_t infoSize = r.le32("header");
    if (infoSize == 12) {
        r.need(8, "header");
        const int64_t width = r.le16("header");
        const int64_t height = r.le16("header");
        return Header{PictureFormat::Bmp, width, height};
    }
    if (infoSize < 40 || infoSize > 124) return "BMP information header of unknown size " + std::to_string(infoSize);
    r.need(infoSize - 4, "header");
    const int64_t width = static_cast<int32_t>(r.le32("header"));
    const int64_t height = static_cast<int32_t>(r.le32("header"));
    if (width < 0) return std::string("BMP width is negative");
    // A negative height marks rows stored top to bottom; the size is the same.
    return Header{PictureFormat::Bmp, width, height < 0 ? -height : height};
}

Reading readFormat(ByteReader& r, PictureFormat format) {
    try {
        switch (format) {
        case PictureFormat::Gif: return readGif(r);
        case PictureFormat::Png: return readPng(r);
        case PictureFormat::Bmp: return readBmp(r);
        }
    } catch (const ByteReader::Truncated&) {
    }
    return std::string(pictureFormatName(format)) + " header truncated";
}

std::string limitText() { return byteSizeText(Picture::kMaxBytes) + ", the most a picture may hold"; }

Reading readHeader(const std::vector<uint8_t>& b) {
    if (b.size() > Picture::kMaxBytes) return "it holds more than " + limitText();
    ByteReader r(b);
    Reading h;
    if (r.startsWith("GIF87a") || r.startsWith("GIF89a")) h = readFormat(r, PictureFormat::Gif);
    else if (r.startsWith("\x89PNG\r\n\x1a\n")) h = readFormat(r, PictureFormat::Png);
    else if (r.startsWith("BM")) h = readFormat(r, PictureFormat::Bmp);
    else if (b.empty()) return std::string("no data");
    else return std::string("not a GIF, PNG or BMP file");
    if (const auto* header = std::get_if<Header>(&h)) {
        if (header->width < 1 || header->width > kMaxPictureSide || header->height < 1 ||
            header->height > kMaxPictureSide)
            return std::string(pictureFormatName(header->format)) + " size " + std::to_string(header->width) + "x" +
                   std::to_string(header->height) + " is not in 1..65535";
    }
    return h;
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

std::shared_ptr<Picture> Picture::fromFile(const std::string& path, FileSystem& files) {
    std::string text;
    try {
        text = files.readFile(path, kMaxBytes);
    } catch (const FileTooLarge&) {
        throwHostError(err::InvalidPicture, path + ": it holds more than " + limitText());
    } catch (const FileError& e) {
        throwHostError(e.step() == FileStep::Open ? err::FileNotFound : err::PathFileAccessError, path + ": " + e.reason());
    }
    std::vector<uint8_t> bytes(text.begin(), text.end());
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
