#include "host/form_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <unordered_map>
#include <unordered_set>

#include "host/control.h"
#include "host/date.h"
#include "host/error.h"
#include "host/font.h"
#include "host/picture.h"

namespace tavo {

namespace {

std::string composeMessage(const std::string& file, int line, const std::string& key, const std::string& what) {
    std::string text = file;
    if (line > 0) text += (text.empty() ? "line " : ":") + std::to_string(line);
    if (!key.empty()) text += (text.empty() ? "" : ": ") + key;
    return text + (text.empty() ? "" : ": ") + what;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

std::string folded(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = asciiLower(c);
    return out;
}

bool isIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isIdentChar(char c) { return isIdentStart(c) || (c >= '0' && c <= '9'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isIdentifier(std::string_view s) {
    if (s.empty() || !isIdentStart(s[0])) return false;
    for (char c : s)
        if (!isIdentChar(c)) return false;
    return true;
}

// "Library.Class": two identifiers joined by a dot.
bool isClassName(std::string_view s) {
    size_t dot = s.find('.');
    return dot != std::string_view::npos && isIdentifier(s.substr(0, dot)) && isIdentifier(s.substr(dot + 1));
}

constexpr std::array<std::string_view, 5> kKeywords = {"VERSION", "Begin", "End", "BeginProperty", "EndProperty"};
constexpr std::array<std::string_view, 4> kPlacementKeys = {"Left", "Top", "Width", "Height"};
constexpr std::string_view kVersion = "1.00";

bool isKeyword(std::string_view word) {
    for (auto k : kKeywords)
        if (sameWord(word, k)) return true;
    return false;
}

int placementIndex(std::string_view key) {
    for (size_t i = 0; i < kPlacementKeys.size(); ++i)
        if (sameWord(key, kPlacementKeys[i])) return static_cast<int>(i);
    return -1;
}

// Keeps messages short and on one line whatever the offending text holds.
std::string quoteSnippet(std::string_view s) {
    constexpr size_t kMax = 40;
    std::string out = "\"";
    for (size_t i = 0; i < s.size() && i < kMax; ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7f) {
            static const char* hex = "0123456789ABCDEF";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    if (s.size() > kMax) out += "...";
    return out + "\"";
}

std::string keyWithOccurrence(std::string_view key, int occurrence) {
    std::string k(key);
    if (occurrence != 1) k += "(" + std::to_string(occurrence) + ")";
    return k;
}

// ---- base64 ---------------------------------------------------------------

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string encodeBase64(const std::vector<uint8_t>& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        uint32_t v = (uint32_t(bytes[i]) << 16) | (uint32_t(bytes[i + 1]) << 8) | bytes[i + 2];
        out += kBase64Alphabet[(v >> 18) & 63];
        out += kBase64Alphabet[(v >> 12) & 63];
        out += kBase64Alphabet[(v >> 6) & 63];
        out += kBase64Alphabet[v & 63];
    }
    if (size_t left = bytes.size() - i; left > 0) {
        uint32_t v = uint32_t(bytes[i]) << 16;
        if (left == 2) v |= uint32_t(bytes[i + 1]) << 8;
        out += kBase64Alphabet[(v >> 18) & 63];
        out += kBase64Alphabet[(v >> 12) & 63];
        out += left == 2 ? kBase64Alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Strict: groups of four, padding only at the end. Returns the problem, or
// an empty string when the text decoded.
std::string decodeBase64(std::string_view text, std::vector<uint8_t>& out) {
    if (text.size() % 4 != 0) return "its length " + std::to_string(text.size()) + " is not a multiple of 4";
    out.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int v[4];
        int pad = 0;
        for (int j = 0; j < 4; ++j) {
            char c = text[i + j];
            if (c == '=' && last && j >= 2) {
                v[j] = 0;
                ++pad;
                continue;
            }
            if (pad > 0 || (v[j] = base64Value(c)) < 0)
                return "character " + quoteSnippet(std::string_view(&text[i + j], 1)) + " at offset " +
                       std::to_string(i + j);
        }
        uint32_t bits = (uint32_t(v[0]) << 18) | (uint32_t(v[1]) << 12) | (uint32_t(v[2]) << 6) | uint32_t(v[3]);
        out.push_back(static_cast<uint8_t>(bits >> 16));
        if (pad < 2) out.push_back(static_cast<uint8_t>(bits >> 8));
        if (pad < 1) out.push_back(static_cast<uint8_t>(bits));
    }
    return {};
}

// ---- reading ------------------------------------------------------------

struct Cursor {
    std::string_view s;
    size_t i = 0;

    bool atEnd() const { return i >= s.size(); }
    char peek() const { return atEnd() ? '\0' : s[i]; }
    void skipSpace() {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    }
    std::string_view rest() const { return s.substr(std::min(i, s.size())); }
    std::string_view ident() {
        if (atEnd() || !isIdentStart(s[i])) return {};
        size_t start = i;
        while (i < s.size() && isIdentChar(s[i])) ++i;
        return s.substr(start, i - start);
    }
    // A run of anything but blanks, for names that a check looks at as a whole.
    std::string_view word() {
        size_t start = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
        return s.substr(start, i - start);
    }
};

// The text of a number as written: sign, digits, fraction, exponent and the
// Long suffix, before it is given a type.
struct NumberToken {
    std::string_view text;  // without the suffix
    bool fractional = false;
    bool longSuffix = false;
};

struct ParsedValue {
    Variant value;
    std::string refName;
};

// The key an error names, as the file writes it ("Font(2)"), with the field
// of a font ("Font.Size"); made into text only when an error needs it.
struct KeyName {
    std::string_view key;
    std::string_view field;

    KeyName(const char* k) : key(k) {}
    KeyName(std::string_view k, std::string_view f = {}) : key(k), field(f) {}
    KeyName(const std::string& k) : key(k) {}
    std::string text() const {
        std::string t(key);
        if (!field.empty()) t.append(".").append(field);
        return t;
    }
};

// Case-blind identity of a key and its occurrence, without copying the key
// out of the text.
struct KeyOccurrence {
    std::string_view key;
    int occurrence;
    bool operator==(const KeyOccurrence& o) const { return occurrence == o.occurrence && sameWord(key, o.key); }
};
struct KeyOccurrenceHash {
    size_t operator()(const KeyOccurrence& k) const {
        size_t h = 1469598103934665603ull;
        for (char c : k.key) h = (h ^ static_cast<unsigned char>(asciiLower(c))) * 1099511628211ull;
        return h ^ static_cast<size_t>(k.occurrence);
    }
};

constexpr std::array<std::string_view, 7> kFontFields = {"Name",      "Size",   "Charset",      "Weight",
                                                         "Underline", "Italic", "Strikethrough"};

struct PendingReference {
    std::string name;
    std::string key;
    int line;
};

class FormParser {
public:
    FormParser(std::string_view text, const std::string& file) : text_(text), file_(file) {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);
    }

    FormData parse() {
        if (!nextLine()) fail(1, "", "missing VERSION line: the file holds no form");
        readVersion();
        if (!nextLine()) fail(lineNo_, "", "missing Begin Form: the file ends after its VERSION line");
        readFormBegin();
        readFormBody();
        while (nextLine()) {
            Cursor c{line_};
            if (sameWord(c.ident(), "Begin")) {
                c.skipSpace();
                if (sameWord(c.ident(), "Form")) fail(lineNo_, "", "a second form: a file holds one form");
            }
            fail(lineNo_, "", "text after the form's End: " + quoteSnippet(line_));
        }
        checkReferences();
        return std::move(form_);
    }

private:
    [[noreturn]] void fail(int line, const KeyName& key, const std::string& problem) const {
        throw FormFileError(file_, line, key.text(), problem);
    }

    // Moves to the next line that holds something other than blanks or a
    // comment; the line is trimmed at both ends.
    bool nextLine() {
        while (pos_ < text_.size()) {
            size_t end = text_.find('\n', pos_);
            if (end == std::string_view::npos) end = text_.size();
            std::string_view raw = text_.substr(pos_, end - pos_);
            pos_ = end + 1;
            ++lineNo_;
            size_t first = raw.find_first_not_of(" \t\r");
            if (first == std::string_view::npos) continue;
            size_t last = raw.find_last_not_of(" \t\r");
            raw = raw.substr(first, last - first + 1);
            if (raw[0] == '\'' || raw[0] == '#') continue;
            line_ = raw;
            return true;
        }
        return false;
    }

    void expectLineEnd(Cursor& c, const KeyName& key, std::string_view after) {
        c.skipSpace();
        if (!c.atEnd()) fail(lineNo_, key, "text after " + std::string(after) + ": " + quoteSnippet(c.rest()));
    }

    void readVersion() {
        Cursor c{line_};
        if (!sameWord(c.ident(), "VERSION"))
            fail(lineNo_, "", "missing VERSION line: the file must begin with \"VERSION " + std::string(kVersion) +
                                  "\", found " + quoteSnippet(line_));
        c.skipSpace();
        std::string_view v = c.word();
        // Readers of 1.x read every 1.y: minor versions only add.
        const bool known = v.size() >= 3 && v[0] == '1' && v[1] == '.' &&
                           v.substr(2).find_first_not_of("0123456789") == std::string_view::npos;
        if (!known)
            fail(lineNo_, "", "unsupported version " + quoteSnippet(v) + " (this reader reads " +
                                  std::string(kVersion) + ")");
        expectLineEnd(c, "", "the version");
    }

    void readFormBegin() {
        Cursor c{line_};
        std::string_view w = c.ident();
        c.skipSpace();
        std::string_view kind = c.word();
        if (!sameWord(w, "Begin") || !sameWord(kind, "Form"))
            fail(lineNo_, "", "missing Begin Form: expected \"Begin Form <name>\", found " + quoteSnippet(line_));
        c.skipSpace();
        std::string_view name = c.word();
        if (!isIdentifier(name)) fail(lineNo_, "", "bad form name " + quoteSnippet(name) + ": expected a name");
        expectLineEnd(c, "", "the form's name");
        form_.name = std::string(name);
        formLine_ = lineNo_;
    }

    void readFormBody() {
        while (nextLine()) {
            Cursor c{line_};
            std::string_view w = c.ident();
            if (sameWord(w, "End")) {
                expectLineEnd(c, "", "End");
                return;
            }
            if (sameWord(w, "Begin")) {
                readControl(c);
                continue;
            }
            fail(lineNo_, isKeyword(w) ? "" : std::string(w),
                 "bad syntax: the form holds only control blocks (Begin <Library.Class> <name>) and its End, found " +
                     quoteSnippet(line_));
        }
        fail(formLine_, "", "unterminated block: Begin Form " + form_.name + " has no End");
    }

    void readControl(Cursor& c) {
        c.skipSpace();
        std::string_view cls = c.word();
        if (sameWord(cls, "Form")) fail(lineNo_, "", "a second form: forms do not stand inside forms");
        if (!isClassName(cls))
            fail(lineNo_, "", "bad class name " + quoteSnippet(cls) + ": expected \"Library.Class\"");
        c.skipSpace();
        std::string_view name = c.word();
        if (!isIdentifier(name)) fail(lineNo_, "", "bad control name " + quoteSnippet(name) + ": expected a name");
        expectLineEnd(c, "", "the control's name");

        auto [at, fresh] = controlLines_.emplace(folded(name), lineNo_);
        if (!fresh)
            fail(lineNo_, "", "duplicate control name " + std::string(name) + " (first at line " +
                                  std::to_string(at->second) + ")");

        FormControlData& control = form_.controls.emplace_back();
        control.className = std::string(cls);
        control.name = std::string(name);
        control.line = lineNo_;
        readControlBody(control);
    }

    void readControlBody(FormControlData& control) {
        seen_.clear();
        while (nextLine()) {
            Cursor c{line_};
            std::string_view w = c.ident();
            if (w.empty()) fail(lineNo_, "", "bad syntax: expected a key, BeginProperty or End, found " + quoteSnippet(line_));
            if (sameWord(w, "End")) {
                expectLineEnd(c, "", "End");
                return;
            }
            if (sameWord(w, "Begin"))
                fail(lineNo_, "", "unterminated block: control " + control.name + " (line " +
                                      std::to_string(control.line) + ") has no End before this Begin");
            if (sameWord(w, "EndProperty")) fail(lineNo_, "", "bad syntax: EndProperty without BeginProperty");
            if (sameWord(w, "VERSION")) fail(lineNo_, "", "bad syntax: VERSION belongs on the first line only");

            const bool block = sameWord(w, "BeginProperty");
            size_t keyStart = 0;
            if (block) {
                c.skipSpace();
                keyStart = c.i;
                w = c.ident();
                if (w.empty() || isKeyword(w))
                    fail(lineNo_, "", "bad syntax: expected a key after BeginProperty, found " + quoteSnippet(c.rest()));
            }
            const int keyLine = lineNo_;
            const int occurrence = readOccurrence(c, w);
            const KeyName key(line_.substr(keyStart, c.i - keyStart));
            if (!seen_.insert({w, occurrence}).second)
                fail(lineNo_, key, "duplicate key (write Key(2) for a second occurrence)");

            StoredProperty p;
            p.key = std::string(w);
            p.occurrence = occurrence;
            p.line = keyLine;
            if (block) {
                expectLineEnd(c, key, "the BeginProperty key");
                p.value = Variant::object(readFont(key, keyLine));
            } else {
                expectEquals(c, key);
                if (int place = placementIndex(w); place >= 0) {
                    if (occurrence != 1) fail(lineNo_, key, "bad syntax: the placement " + std::string(w) + " occurs once");
                    float v = readFloat(c, key);
                    float* fields[] = {&control.place.left, &control.place.top, &control.place.width,
                                       &control.place.height};
                    *fields[place] = v;
                    expectLineEnd(c, key, "the value");
                    continue;
                }
                ParsedValue v = readValue(c, key);
                expectLineEnd(c, key, "the value");
                p.value = std::move(v.value);
                if (!v.refName.empty()) {
                    references_.push_back({v.refName, key.text(), keyLine});
                    p.refName = std::move(v.refName);
                }
            }
            control.properties.add(std::move(p));
        }
        fail(control.line, "", "unterminated block: control " + control.name + " has no End");
    }

    int readOccurrence(Cursor& c, std::string_view key) {
        if (c.peek() != '(') return 1;
        ++c.i;
        size_t start = c.i;
        while (isDigit(c.peek())) ++c.i;
        std::string_view digits = c.s.substr(start, c.i - start);
        int n = 0;
        auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (c.peek() != ')' || digits.empty() || ec != std::errc() || n < 1)
            fail(lineNo_, key,
                 "bad syntax: an occurrence is a whole number from 1 to 2147483647 in parentheses, as in " +
                     std::string(key) + "(2)");
        ++c.i;
        return n;
    }

    void expectEquals(Cursor& c, const KeyName& key) {
        c.skipSpace();
        if (c.peek() != '=') fail(lineNo_, key, "bad syntax: expected \"=\" after the key, found " + quoteSnippet(c.rest()));
        ++c.i;
        c.skipSpace();
        if (c.atEnd()) fail(lineNo_, key, "bad syntax: the value is missing");
    }

    FontRef readFont(const KeyName& key, int beginLine) {
        auto font = std::make_shared<Font>();
        unsigned seen = 0;
        while (nextLine()) {
            Cursor c{line_};
            std::string_view w = c.ident();
            if (sameWord(w, "EndProperty")) {
                expectLineEnd(c, key, "EndProperty");
                return font;
            }
            if (w.empty()) fail(lineNo_, key, "bad syntax: expected a font's field or EndProperty, found " + quoteSnippet(line_));
            if (isKeyword(w))
                fail(lineNo_, key, "unterminated block: BeginProperty " + key.text() + " (line " +
                                       std::to_string(beginLine) + ") has no EndProperty before " + quoteSnippet(line_));
            const KeyName fieldKey(key.key, w);
            size_t field = 0;
            while (field < kFontFields.size() && !sameWord(w, kFontFields[field])) ++field;
            if (field == kFontFields.size())
                fail(lineNo_, fieldKey,
                     "unknown font property (a font holds Name, Size, Charset, Weight, Underline, Italic, "
                     "Strikethrough)");
            if (c.peek() == '(') fail(lineNo_, fieldKey, "bad syntax: a font's fields occur once");
            if (seen & (1u << field)) fail(lineNo_, fieldKey, "duplicate key");
            seen |= 1u << field;
            expectEquals(c, fieldKey);

            switch (field) {
                case 0: {
                    ParsedValue v = readValue(c, fieldKey);
                    if (v.value.type() != VarType::String)
                        fail(lineNo_, fieldKey, "bad value: a font's Name is a text in quotes");
                    font->name = v.value.rawString();
                    break;
                }
                case 1: font->size = readDouble(c, fieldKey); break;
                case 2: font->charset = readInt(c, fieldKey); break;
                case 3: font->weight = readInt(c, fieldKey); break;
                case 4: font->underline = readBool(c, fieldKey); break;
                case 5: font->italic = readBool(c, fieldKey); break;
                default: font->strikethrough = readBool(c, fieldKey); break;
            }
            expectLineEnd(c, fieldKey, "the value");
        }
        fail(beginLine, key, "unterminated block: BeginProperty " + key.text() + " has no EndProperty");
    }

    bool readBool(Cursor& c, const KeyName& key) {
        ParsedValue v = readValue(c, key);
        if (v.value.type() != VarType::Boolean) fail(lineNo_, key, "bad value: expected True or False");
        return v.value.rawNumber() != 0;
    }

    NumberToken readNumberToken(Cursor& c, const KeyName& key) {
        NumberToken t;
        size_t start = c.i;
        if (c.peek() == '-') ++c.i;
        size_t digitsStart = c.i;
        while (isDigit(c.peek())) ++c.i;
        bool ok = c.i > digitsStart;
        if (ok && c.peek() == '.') {
            t.fractional = true;
            ++c.i;
            size_t fracStart = c.i;
            while (isDigit(c.peek())) ++c.i;
            ok = c.i > fracStart;
        }
        if (ok && (c.peek() == 'e' || c.peek() == 'E')) {
            t.fractional = true;
            ++c.i;
            if (c.peek() == '+' || c.peek() == '-') ++c.i;
            size_t expStart = c.i;
            while (isDigit(c.peek())) ++c.i;
            ok = c.i > expStart;
        }
        t.text = c.s.substr(start, c.i - start);
        if (ok && c.peek() == '&') {
            t.longSuffix = true;
            ++c.i;
        }
        if (!ok || isIdentChar(c.peek()) || c.peek() == '.' || c.peek() == '&') {
            size_t end = c.i;
            while (end < c.s.size() && c.s[end] != ' ' && c.s[end] != '\t') ++end;
            fail(lineNo_, key, "bad number " + quoteSnippet(c.s.substr(start, end - start)));
        }
        return t;
    }

    template <class T>
    T convertNumber(std::string_view text, const KeyName& key, const char* typeName) {
        T v{};
        auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
        if (ec == std::errc::result_out_of_range || (ec == std::errc() && !std::isfinite(static_cast<double>(v))))
            fail(lineNo_, key, "bad number " + quoteSnippet(text) + ": out of range for " + typeName);
        if (ec != std::errc() || ptr != text.data() + text.size())
            fail(lineNo_, key, "bad number " + quoteSnippet(text));
        return v;
    }

    // Placements, font sizes and font numbers take any number written
    // without a suffix; the field decides the type.
    float readFloat(Cursor& c, const KeyName& key) {
        if (!isDigit(c.peek()) && c.peek() != '-') fail(lineNo_, key, "bad value: expected a number of twips");
        NumberToken t = readNumberToken(c, key);
        if (t.longSuffix) fail(lineNo_, key, "bad number: a placement is written without the & suffix");
        return convertNumber<float>(t.text, key, "a placement");
    }

    double readDouble(Cursor& c, const KeyName& key) {
        if (!isDigit(c.peek()) && c.peek() != '-') fail(lineNo_, key, "bad value: expected a number");
        NumberToken t = readNumberToken(c, key);
        if (t.longSuffix) fail(lineNo_, key, "bad number: a font's size is written without the & suffix");
        return convertNumber<double>(t.text, key, "Double");
    }

    int readInt(Cursor& c, const KeyName& key) {
        if (!isDigit(c.peek()) && c.peek() != '-') fail(lineNo_, key, "bad value: expected a whole number");
        NumberToken t = readNumberToken(c, key);
        if (t.fractional) fail(lineNo_, key, "bad number " + quoteSnippet(t.text) + ": expected a whole number");
        return convertNumber<int32_t>(t.text, key, "a whole number");
    }

    ParsedValue readValue(Cursor& c, const KeyName& key) {
        ParsedValue out;
        char first = c.peek();
        if (first == '"') {
            out.value = Variant::string(readString(c, key));
        } else if (first == '#') {
            out.value = readDate(c, key);
        } else if (first == '&') {
            out.value = Variant::longValue(readHexLong(c, key));
        } else if (isDigit(first) || first == '-') {
            NumberToken t = readNumberToken(c, key);
            if (t.longSuffix) {
                if (t.fractional) fail(lineNo_, key, "bad number " + quoteSnippet(t.text) + ": a Long is whole");
                out.value = Variant::longValue(convertNumber<int32_t>(t.text, key, "Long"));
            } else if (t.fractional) {
                out.value = Variant::number(convertNumber<double>(t.text, key, "Double"));
            } else {
                out.value = Variant::integer(convertNumber<int16_t>(t.text, key, "Integer (write 40000& for a Long)"));
            }
        } else if (isIdentStart(first)) {
            std::string_view w = c.ident();
            if (sameWord(w, "True") || sameWord(w, "False")) {
                out.value = Variant::boolean(sameWord(w, "True"));
            } else if (sameWord(w, "Empty")) {
            } else if (sameWord(w, "Nothing")) {
                out.value = Variant::object(nullptr);
            } else if (sameWord(w, "Control")) {
                c.skipSpace();
                std::string_view name = c.word();
                if (!isIdentifier(name))
                    fail(lineNo_, key, "bad value: expected a control's name after Control, found " + quoteSnippet(name));
                out.refName = std::string(name);
            } else if (sameWord(w, "Picture")) {
                c.skipSpace();
                if (c.peek() != '"') fail(lineNo_, key, "bad value: expected the picture's base64 text in quotes after Picture");
                out.value = Variant::object(readPicture(readString(c, key), key));
            } else {
                fail(lineNo_, key,
                     "unknown value word " + quoteSnippet(w) +
                         " (values are numbers, \"texts\", #dates#, True, False, Empty, Nothing, Control <name> or "
                         "Picture \"<base64>\")");
            }
        } else {
            fail(lineNo_, key, "bad syntax: expected a value, found " + quoteSnippet(c.rest()));
        }
        return out;
    }

    std::string readString(Cursor& c, const KeyName& key) {
        std::string out;
        ++c.i;  // opening quote
        while (true) {
            size_t run = c.i;
            while (run < c.s.size() && c.s[run] != '"' && c.s[run] != '\\') ++run;
            out.append(c.s.substr(c.i, run - c.i));
            c.i = run;
            if (c.atEnd()) fail(lineNo_, key, "unterminated string: the line ends before the closing quote");
            if (c.s[c.i] == '"') {
                ++c.i;
                return out;
            }
            ++c.i;  // backslash
            char e = c.peek();
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'x': {
                    auto hex = [](char h) {
                        if (h >= '0' && h <= '9') return h - '0';
                        if (h >= 'a' && h <= 'f') return h - 'a' + 10;
                        if (h >= 'A' && h <= 'F') return h - 'A' + 10;
                        return -1;
                    };
                    int hi = c.i + 1 < c.s.size() ? hex(c.s[c.i + 1]) : -1;
                    int lo = c.i + 2 < c.s.size() ? hex(c.s[c.i + 2]) : -1;
                    if (hi < 0 || lo < 0)
                        fail(lineNo_, key, "unknown escape " + quoteSnippet(c.s.substr(c.i - 1, 4)) +
                                               " (\\x takes two hex digits)");
                    out += static_cast<char>(hi * 16 + lo);
                    c.i += 2;
                    break;
                }
                default:
                    if (c.atEnd()) fail(lineNo_, key, "unterminated string: the line ends before the closing quote");
                    fail(lineNo_, key, "unknown escape " + quoteSnippet(c.s.substr(c.i - 1, 2)) +
                                           " (known: \\\" \\\\ \\n \\r \\t \\xHH)");
            }
            ++c.i;
        }
    }

    // #yyyy-mm-dd# or #yyyy-mm-dd hh:mm[:ss]#
    Variant readDate(Cursor& c, const KeyName& key) {
        size_t start = c.i;
        size_t close = c.s.find('#', start + 1);
        std::string_view inside =
            close == std::string_view::npos ? c.s.substr(start + 1) : c.s.substr(start + 1, close - start - 1);
        auto bad = [&](const std::string& why) {
            fail(lineNo_, key, "bad date " + quoteSnippet(c.s.substr(start, close == std::string_view::npos ? c.s.size() - start : close - start + 1)) +
                                   ": " + why);
        };
        if (close == std::string_view::npos) bad("no closing #");
        c.i = close + 1;

        Cursor d{inside};
        auto number = [&](size_t minDigits, size_t maxDigits) {
            size_t from = d.i;
            while (isDigit(d.peek()) && d.i - from < maxDigits) ++d.i;
            if (d.i - from < minDigits) bad("expected yyyy-mm-dd with an optional hh:mm:ss");
            int v = 0;
            for (size_t k = from; k < d.i; ++k) v = v * 10 + (inside[k] - '0');
            return v;
        };
        auto expect = [&](char sep) {
            if (d.peek() != sep) bad("expected yyyy-mm-dd with an optional hh:mm:ss");
            ++d.i;
        };
        DateParts p;
        p.year = number(4, 4);
        expect('-');
        p.month = number(1, 2);
        expect('-');
        p.day = number(1, 2);
        if (!d.atEnd()) {
            expect(' ');
            p.hour = number(1, 2);
            expect(':');
            p.minute = number(1, 2);
            if (!d.atEnd()) {
                expect(':');
                p.second = number(1, 2);
            }
            if (!d.atEnd()) bad("expected yyyy-mm-dd with an optional hh:mm:ss");
        }
        if (p.year < 100) bad("the year is before 100");
        if (!isValidDate(p.year, p.month, p.day)) bad("no such day");
        if (p.hour > 23 || p.minute > 59 || p.second > 59) bad("no such time of day");
        try {
            return Variant::date(dateTimeSerial(p));
        } catch (const HostError& e) {
            bad(e.what());
        }
        return {};
    }

    // &Hhhhhhhhh& : a Long by its 32 bits, handy for colours.
    int32_t readHexLong(Cursor& c, const KeyName& key) {
        size_t start = c.i;
        ++c.i;
        bool ok = c.peek() == 'H' || c.peek() == 'h';
        uint32_t v = 0;
        size_t digits = 0;
        if (ok) {
            ++c.i;
            while (std::isxdigit(static_cast<unsigned char>(c.peek()))) {
                char h = c.peek();
                int d = isDigit(h) ? h - '0' : asciiLower(h) - 'a' + 10;
                v = (v << 4) | static_cast<uint32_t>(d);
                ++digits;
                ++c.i;
            }
            ok = digits >= 1 && digits <= 8 && c.peek() == '&';
        }
        if (!ok) {
            size_t end = c.i;
            while (end < c.s.size() && c.s[end] != ' ' && c.s[end] != '\t') ++end;
            fail(lineNo_, key, "bad number " + quoteSnippet(c.s.substr(start, end - start)) +
                                   " (a hexadecimal Long is &H followed by 1 to 8 hex digits and &)");
        }
        ++c.i;
        return static_cast<int32_t>(v);
    }

    PictureRef readPicture(const std::string& text, const KeyName& key) {
        std::vector<uint8_t> bytes;
        if (std::string problem = decodeBase64(text, bytes); !problem.empty())
            fail(lineNo_, key, "bad base64: " + problem);
        try {
            return Picture::fromBytes(std::move(bytes));
        } catch (const HostError& e) {
            fail(lineNo_, key, std::string("the picture is not an image: ") + e.what());
        }
    }

    // Run once the whole file is read: a reference may name a later control.
    void checkReferences() const {
        for (const auto& r : references_)
            if (!controlLines_.count(folded(r.name)))
                fail(r.line, r.key, "no control named " + r.name + " on the form");
    }

    std::string_view text_;
    const std::string& file_;
    size_t pos_ = 0;
    int lineNo_ = 0;
    std::string_view line_;
    int formLine_ = 0;
    FormData form_;
    std::unordered_map<std::string, int> controlLines_;
    std::unordered_set<KeyOccurrence, KeyOccurrenceHash> seen_;
    std::vector<PendingReference> references_;
};

// ---- writing -----------------------------------------------------------

size_t utf8SequenceLength(std::string_view s, size_t i) {
    auto cont = [&](size_t k) { return k < s.size() && (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80; };
    unsigned char c = static_cast<unsigned char>(s[i]);
    unsigned char n = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
    if (c >= 0xC2 && c <= 0xDF) return cont(i + 1) ? 2 : 0;
    if (c == 0xE0) return (n >= 0xA0 && n <= 0xBF && cont(i + 2)) ? 3 : 0;
    if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF) return (cont(i + 1) && cont(i + 2)) ? 3 : 0;
    if (c == 0xED) return (n >= 0x80 && n <= 0x9F && cont(i + 2)) ? 3 : 0;
    if (c == 0xF0) return (n >= 0x90 && n <= 0xBF && cont(i + 2) && cont(i + 3)) ? 4 : 0;
    if (c >= 0xF1 && c <= 0xF3) return (cont(i + 1) && cont(i + 2) && cont(i + 3)) ? 4 : 0;
    if (c == 0xF4) return (n >= 0x80 && n <= 0x8F && cont(i + 2) && cont(i + 3)) ? 4 : 0;
    return 0;
}

// Valid UTF-8 goes out as it is, so German texts stay readable; control
// characters and stray bytes are escaped so the file stays one value a line.
void appendQuoted(std::string& out, std::string_view s) {
    static const char* hex = "0123456789ABCDEF";
    out += '"';
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            if (size_t n = utf8SequenceLength(s, i); n > 0) {
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
                    out += hex[c >> 4];
                    out += hex[c & 15];
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
        if (!isIdentifier(form_.name)) fail("", "the form's name " + quoteSnippet(form_.name) + " is not a name");
        for (const auto& c : form_.controls)
            if (!names_.insert(folded(c.name)).second) fail("", "duplicate control name " + quoteSnippet(c.name));

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
            fail("", "the class name " + quoteSnippet(c.className) + " is not \"Library.Class\"");
        if (!isIdentifier(c.name))
            fail("", "the control name " + quoteSnippet(c.name) + " is not a name");
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
        if (!isIdentifier(p.key) || isKeyword(p.key)) fail(key, "the key is not a name that a form file can hold");
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
        if (!names_.count(folded(name)))
            fail(key, "the control " + quoteSnippet(name) + " that the value names is not on the form");
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
                    fail(key, "an object of class " + quoteSnippet(obj->className()) +
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

// ---- files -------------------------------------------------------------

std::string systemError(const std::string& step) { return step + ": " + std::strerror(errno); }

std::string temporaryPathFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    static const unsigned salt = std::random_device{}();
    return path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(salt) + "-" +
           std::to_string(counter.fetch_add(1));
}

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

FormFileError::FormFileError(std::string file, int line, std::string key, const std::string& what)
    : std::runtime_error(composeMessage(file, line, key, what)),
      file_(std::move(file)),
      line_(line),
      key_(std::move(key)) {}

FormData parseFormText(std::string_view text, const std::string& fileName) {
    return FormParser(text, fileName).parse();
}

FormData readFormFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw FormFileError(path, 0, "", systemError("cannot open the form file"));
    std::string text;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw FormFileError(path, 0, "", "cannot read the form file: it is a folder");
    }
    if (st.st_size > 0) text.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    while (true) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            std::string problem = systemError("cannot read the form file");
            ::close(fd);
            throw FormFileError(path, 0, "", problem);
        }
        if (n == 0) break;
        text.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return parseFormText(text, path);
}

std::string formatFormText(const FormData& form) { return FormWriter(form, "").write(); }

void saveFormFile(const std::string& path, const FormData& form) {
    const std::string text = FormWriter(form, path).write();

    std::string tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        tmp = temporaryPathFor(path);
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) throw FormFileError(path, 0, "", systemError("cannot save: cannot create " + tmp));

    auto abandon = [&](const std::string& problem) {
        if (fd >= 0) ::close(fd);
        ::unlink(tmp.c_str());
        throw FormFileError(path, 0, "", "cannot save: " + problem + " (the old file is unchanged)");
    };

    // The new file keeps the permissions of the one it replaces.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) abandon(systemError("cannot write " + tmp));
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0) abandon(systemError("cannot flush " + tmp));
    int closed = ::close(fd);
    fd = -1;
    if (closed != 0) abandon(systemError("cannot close " + tmp));
    if (::rename(tmp.c_str(), path.c_str()) != 0) abandon(systemError("cannot rename " + tmp + " over the form file"));

    // Makes the rename itself survive a crash; a folder that cannot be synced
    // still holds a whole file, old or new.
    int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

}  // namespace tavo
