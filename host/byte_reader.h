#pragma once
// A bounds-checked reader over the bytes of a file: every read names the part
// of the file it is in, and a read past the end throws Truncated with that
// name and the offset, for the caller to put in its own words.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tavo {

class ByteReader {
public:
    class Truncated : public std::out_of_range {
    public:
        Truncated(const char* part, std::size_t at)
            : std::out_of_range(std::string("data ends inside the ") + part), part_(part), at_(at) {}
        const char* part() const { return part_; }
        std::size_t at() const { return at_; }  // where the read began, or the offset sought

    private:
        const char* part_;
        std::size_t at_;
    };

    explicit ByteReader(const std::vector<uint8_t>& data) : data_(data) {}

    std::size_t pos() const { return pos_; }
    std::size_t size() const { return data_.size(); }
    bool startsWith(std::string_view magic) const {
        return data_.size() >= magic.size() && std::memcmp(data_.data(), magic.data(), magic.size()) == 0;
    }

    void seek(std::size_t p, const char* part) {
        if (p > data_.size()) throw Truncated(part, p);
        pos_ = p;
    }
    void need(std::size_t n, const char* part) const {
        if (n > data_.size() - pos_) throw Truncated(part, pos_);
    }
    const uint8_t* bytes(std::size_t n, const char* part) {
        need(n, part);
        const uint8_t* p = data_.data() + pos_;
        pos_ += n;
        return p;
    }
    uint8_t u8(const char* part) { return *bytes(1, part); }
    uint16_t le16(const char* part) {
        const uint8_t* p = bytes(2, part);
        return static_cast<uint16_t>(p[0] | (p[1] << 8));
    }
    uint32_t le32(const char* part) {
        const uint8_t* p = bytes(4, part);
        return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    }
    uint32_t be32(const char* part) {
        const uint8_t* p = bytes(4, part);
        return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
    }

private:
    const std::vector<uint8_t>& data_;
    std::size_t pos_ = 0;
};

}  // namespace tavo
