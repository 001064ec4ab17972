// The form file writer: the text of a form, in the layout the README shows.
// Everything is checked before the first byte leaves, so a value that cannot
// be written never leaves a half-written file.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <unordered_set>

#include "host/base64.h"
#include "host/form_file_syntax.h"
#include "tavo/host/ascii_text.h"
#include "tavo/host/control.h"
#include "tavo/host/date.h"
#include "tavo/host/font.h"
#include "tavo/host/form_file.h"
#include "tavo/host/picture.h"

namespace tavo {

namespace {

using ascii::quotedSnippet;
using namespace form_syntax;

std::string keyWithOccurrence(std::string_view key, int occurrence) {
    std::string k(key);
    if (occurrence != 1) k += "(" + std::to_string(occurrence) + ")";
    return k;
}

// Valid UTF-8 goes out as it is, so German texts stay readable; control
// characters and stray bytes are escaped so the file stays one value a line.
void appendQuoted(std::string& out, std::string_view s) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '"';
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            if (size_t n = ascii::utf8SequenceLength(s, i); n > 0) {
                out.append(s.substr(i, n));
                i += n;
                continue;
            }
        }
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c >= 0x7f) {
                    out += "\\x";
                    out += kHex[c >> 4];
                    out += kHex[c & 15];
                } else {
                    out += static_cast<char>(c);
                }
        }
        ++i;
    }
    out += '"';
}

template <class T>
void appendShortest(std::string& out, T v) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, end);
}

class FormWriter {
public:
    FormWriter(const FormData& form, std::string file) : form_(form), file_(std::move(file)) {}

    std::string write() {
        if (!ascii::isIdentifier(form_.name)) fail("", "the form's name " + quotedSnippet(form_.name) + " is not a name");
        for (const auto& c : form_.controls)
            if (!names_.insert(ascii::folded(c.name)).second) fail("", "duplicate control name " + quotedSnippet(c.name));

        out_.reserve(64 + form_.controls.size() * 512);
        out_ += "VERSION ";
        out_ += kVersion;
        out_ += "\nBegin Form ";
        out_ += form_.name;
        out_ += '\n';
        for (const auto& c : form_.controls) writeControl(c);
        out_ += "End\n";
        return std::move(out_);
    }

private:
    [[noreturn]] void fail(const std::string& key, const std::string& problem) const {
        std::string where = control_ ? " in control " + control_->name : std::string();
        throw FormFileError(file_, 0, key, problem + where);
    }

    void writeControl(const FormControlData& c) {
        control_ = &c;
        if (!isClassName(c.className))
            fail("", "the class name " + quotedSnippet(c.className) + " is not \"Library.Class\"");
        if (!ascii::isIdentifier(c.name))
            fail("", "the control name " + quotedSnippet(c.name) + " is not a name");
        out_ += "   Begin ";
        out_ += c.className;
        out_ += ' ';
        out_ += c.name;
        out_ += '\n';
        const float place[] = {c.place.left, c.place.top, c.place.width, c.place.height};
        for (size_t i = 0; i < kPlacementKeys.size(); ++i) {
            if (!std::isfinite(place[i])) fail(std::string(kPlacementKeys[i]), "the placement is not a finite number");
            out_ += "      ";
            out_ += kPlacementKeys[i];
            out_ += " = ";
            appendShortest(out_, place[i]);
            out_ += '\n';
        }
        seen_.clear();
        for (const auto& p : c.properties.entries()) writeProperty(p);
        out_ += "   End\n";
        control_ = nullptr;
    }

    void writeProperty(const StoredProperty& p) {
        const std::string key = keyWithOccurrence(p.key, p.occurrence);
        if (!ascii::isIdentifier(p.key) || isKeyword(p.key)) fail(key, "the key is not a name that a form file can hold");
        if (placementIndex(p.key) >= 0) fail(key, "the key is the form's own placement of the control");
        if (p.occurrence < 1) fail(key, "the occurrence " + std::to_string(p.occurrence) + " is below 1");
        if (!seen_.insert({p.key, p.occurrence}).second) fail(key, "duplicate key");

        if (!p.refName.empty()) return writeReference(key, p.refName);

        const Variant& v = p.value;
        if (v.isObject() && v.rawObject()) {
            const Object* obj = v.rawObject().get();
            if (auto* font = dynamic_cast<const Font*>(obj)) return writeFont(key, *font);
            if (auto* control = dynamic_cast<const Control*>(obj)) return writeReference(key, control->instanceName());
        }
        out_ += "      ";
        out_ += key;
        out_ += " = ";
        writeValue(key, v);
        out_ += '\n';
    }

    void writeReference(const std::string& key, const std::string& name) {
        if (!names_.count(ascii::folded(name)))
            fail(key, "the control " + quotedSnippet(name) + " that the value names is not on the form");
        out_ += "      ";
        out_ += key;
        out_ += " = Control ";
        out_ += name;
        out_ += '\n';
    }

    void writeValue(const std::string& key, const Variant& v) {
        switch (v.type()) {
            case VarType::Empty: out_ += "Empty"; break;
            case VarType::Integer: out_ += std::to_string(static_cast<int16_t>(v.rawNumber())); break;
            case VarType::Long:
                out_ += std::to_string(static_cast<int32_t>(v.rawNumber()));
                out_ += '&';
                break;
            case VarType::Double: {
                double d = v.rawNumber();
                if (!std::isfinite(d)) fail(key, "the number is not finite");
                size_t from = out_.size();
                appendShortest(out_, d);
                // A whole number needs its point to stay a Double when read.
                if (out_.find_first_of(".e", from) == std::string::npos) out_ += ".0";
                break;
            }
            case VarType::Boolean: out_ += v.rawNumber() != 0 ? "True" : "False"; break;
            case VarType::String: appendQuoted(out_, v.rawString()); break;
            case VarType::Date: writeDate(key, v.rawNumber()); break;
            case VarType::Object: {
                const ObjectRef& obj = v.rawObject();
                if (!obj) {
                    out_ += "Nothing";
                } else if (auto* picture = dynamic_cast<const Picture*>(obj.get())) {
                    out_ += "Picture \"";
                    out_ += encodeBase64(picture->bytes());
                    out_ += '"';
                } else {
                    fail(key, "an object of class " + quotedSnippet(obj->className()) +
                                  " cannot be written (only a font, a picture or a control on the form)");
                }
                break;
            }
        }
    }

    void writeDate(const std::string& key, double serial) {
        if (!std::isfinite(serial) || !dateInRange(serial)) fail(key, "the date is outside 1 January 100 to 31 December 9999");
        DateParts p = splitDate(serial);
        if (p.year < 100 || p.year > 9999) fail(key, "the date is outside 1 January 100 to 31 December 9999");
        char buf[40];
        int n = p.hour || p.minute || p.second
                    ? std::snprintf(buf, sizeof buf, "#%04d-%02d-%02d %02d:%02d:%02d#", p.year, p.month, p.day, p.hour,
                                    p.minute, p.second)
                    : std::snprintf(buf, sizeof buf, "#%04d-%02d-%02d#", p.year, p.month, p.day);
        out_.append(buf, static_cast<size_t>(n));
    }

    void writeFont(const std::string& key, const Font& f) {
        if (!std::isfinite(f.size)) fail(key + ".Size", "the number is not finite");
        out_ += "      BeginProperty ";
        out_ += key;
        out_ += "\n         Name = ";
        appendQuoted(out_, f.name);
        out_ += "\n         Size = ";
        appendShortest(out_, f.size);
        out_ += "\n         Charset = " + std::to_string(f.charset);
        out_ += "\n         Weight = " + std::to_string(f.weight);
        out_ += "\n         Underline = ";
        out_ += f.underline ? "True" : "False";
        out_ += "\n         Italic = ";
        out_ += f.italic ? "True" : "False";
        out_ += "\n         Strikethrough = ";
        out_ += f.strikethrough ? "True" : "False";
        out_ += "\n      EndProperty\n";
    }

    const FormData& form_;
    std::string file_;
    const FormControlData* control_ = nullptr;
    std::unordered_set<std::string> names_;
    std::unordered_set<KeyOccurrence, KeyOccurrenceHash> seen_;
    std::string out_;
};

}  // namespace

std::string formatFormText(const FormData& form, const std::string& fileName) {
    return FormWriter(form, fileName).write();
}

}  // namespace tavo
