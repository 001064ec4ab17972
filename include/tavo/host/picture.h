#pragma once
// A picture object: the bytes of a GIF, PNG or BMP file, with the format and
// the size in pixels read from the file's header. Shared by reference.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tavo/host/file_system.h"
#include "tavo/host/host_export.h"
#include "tavo/host/object.h"

namespace tavo {

enum class PictureFormat { Gif, Png, Bmp };

// How a backend enlarges a picture for a screen denser than 96 dpi: a photo
// or an application's own drawing smoothly; the pixel drawings the controls
// make themselves by whole pixels, so that their edges stay sharp.
enum class PictureScaling { Smooth, Pixels };

class TAVO_HOST_EXPORT Picture : public Object {
public:
    // The most a picture may hold: an uncompressed 4000 x 4000 bitmap fits,
    // and no button face or photo comes near it.
    static constexpr std::size_t kMaxBytes = std::size_t(64) << 20;

    // Throws HostError 481 (with a text naming the problem) when the bytes are
    // not a GIF, PNG or BMP file whose header can be read, or hold more than kMaxBytes.
    static std::shared_ptr<Picture> fromBytes(std::vector<uint8_t> bytes,
                                              PictureScaling scaling = PictureScaling::Smooth);
    // Reads no more than kMaxBytes of the file. Throws HostError 53 when the
    // file cannot be opened, 75 when it cannot be read, 481 as fromBytes.
    static std::shared_ptr<Picture> fromFile(const std::string& path, FileSystem& files = diskFileSystem());

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    PictureFormat format() const { return format_; }
    int width() const { return width_; }   // pixels
    int height() const { return height_; }
    PictureScaling scaling() const { return scaling_; }

    std::string className() const override { return "Picture"; }
    // Late-bound Width and Height are pixels, not the platform's HIMETRIC; Type is 1 (bitmap).
    Variant get(std::string_view member, const Variant* arg = nullptr) override;
    std::vector<std::string> propertyNames() const override;

private:
    Picture() = default;
    std::vector<uint8_t> bytes_;
    PictureFormat format_ = PictureFormat::Gif;
    int width_ = 0, height_ = 0;
    PictureScaling scaling_ = PictureScaling::Smooth;
};
using PictureRef = std::shared_ptr<Picture>;

TAVO_HOST_EXPORT const char* pictureFormatName(PictureFormat f);

}  // namespace tavo
