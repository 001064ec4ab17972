#include "tavo/host/font.h"

#include "tavo/host/error.h"

namespace tavo {

namespace {

// The host's limits on a font: sizes up to Font::kMaxSize points, weights 0..1000.

const MemberTable<Font>& fontMembers() {
    static const MemberTable<Font> table = [] {
        MemberTable<Font> t;
        t.property(
            "Name", [](Font& f, const Variant*) { return Variant::string(f.name); },
            [](Font& f, const Variant& v) {
                std::string name = v.toString();
                if (name.empty()) throwHostError(err::InvalidPropertyValue, "a font needs a name");
                f.name = std::move(name);
            });
        t.property(
            "Size", [](Font& f, const Variant*) { return Variant::number(f.size); },
            [](Font& f, const Variant& v) {
                const double size = v.toDouble();
                if (!(size > 0 && size <= Font::kMaxSize))
                    throwHostError(err::InvalidPropertyValue, "font size " + v.toString() + " is not in 0..2048");
                f.size = size;
            });
        t.property(
            "Bold", [](Font& f, const Variant*) { return Variant::boolean(f.bold()); },
            [](Font& f, const Variant& v) { f.weight = v.isTrue() ? 700 : 400; });
        t.property(
            "Italic", [](Font& f, const Variant*) { return Variant::boolean(f.italic); },
            [](Font& f, const Variant& v) { f.italic = v.isTrue(); });
        t.property(
            "Underline", [](Font& f, const Variant*) { return Variant::boolean(f.underline); },
            [](Font& f, const Variant& v) { f.underline = v.isTrue(); });
        t.property(
            "Strikethrough", [](Font& f, const Variant*) { return Variant::boolean(f.strikethrough); },
            [](Font& f, const Variant& v) { f.strikethrough = v.isTrue(); });
        t.property(
            "Charset", [](Font& f, const Variant*) { return Variant::integer(static_cast<int16_t>(f.charset)); },
            [](Font& f, const Variant& v) {
                const int16_t charset = v.toInteger();
                if (charset < 0 || charset > 255)
                    throwHostError(err::InvalidPropertyValue, "font charset " + std::to_string(charset) + " is not in 0..255");
                f.charset = charset;
            });
        t.property(
            "Weight", [](Font& f, const Variant*) { return Variant::integer(static_cast<int16_t>(f.weight)); },
            [](Font& f, const Variant& v) {
                const int16_t weight = v.toInteger();
                if (weight < 0 || weight > 1000)
                    throwHostError(err::InvalidPropertyValue, "font weight " + std::to_string(weight) + " is not in 0..1000");
                f.weight = weight;
            });
        return t;
    }();
    return table;
}

}  // namespace

Variant Font::get(std::string_view member, const Variant* arg) { return fontMembers().get(*this, member, arg); }

std::vector<std::string> Font::propertyNames() const { return fontMembers().propertyNames(); }

void Font::put(std::string_view member, const Variant& value) { fontMembers().put(*this, member, value); }

}  // namespace tavo
