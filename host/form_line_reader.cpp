#include "host/form_line_reader.h"

#include <charconv>
#include <cmath>
#include <type_traits>

#include "host/base64.h"
#include "host/floating_from_chars.h"
#include "tavo/host/ascii_text.h"
#include "tavo/host/date.h"
#include "tavo/host/error.h"
#include "tavo/host/picture.h"

namespace tavo {

using ascii::isDigit;
using ascii::quotedSnippet;

std::string_view FormLineReader::ident() {
    if (atEnd() || !ascii::isIdentStart(s_[i_])) return {};
    const size_t start = i_;
    while (i_ < s_.size() && ascii::isIdentChar(s_[i_])) ++i_;
    return s_.substr(start, i_ - start);
}

std::string_view FormLineReader::word() {
    const size_t start = i_;
    while (i_ < s_.size() && s_[i_] != ' ' && s_[i_] != '\t') ++i_;
    return s_.substr(start, i_ - start);
}

std::string_view FormLineReader::tokenFrom(size_t start) const {
    size_t end = i_;
    while (end < s_.size() && s_[end] != ' ' && s_[end] != '\t') ++end;
    return s_.substr(start, end - start);
}

void FormLineReader::fail(const KeyName& key, const std::string& problem) const {
    throw FormFileError(file_, number_, key.text(), problem);
}

void FormLineReader::expectLineEnd(const KeyName& key, std::string_view after) {
    skipSpace();
    if (!atEnd()) fail(key, "text after " + std::string(after) + ": " + quotedSnippet(rest()));
}

void FormLineReader::expectEquals(const KeyName& key) {
    skipSpace();
    if (peek() != '=') fail(key, "bad syntax: expected \"=\" after the key, found " + quotedSnippet(rest()));
    ++i_;
    skipSpace();
    if (atEnd()) fail(key, "bad syntax: the value is missing");
}

int FormLineReader::readOccurrence(std::string_view key) {
    if (peek() != '(') return 1;
    ++i_;
    const size_t start = i_;
    while (isDigit(peek())) ++i_;
    const std::string_view digits = s_.substr(start, i_ - start);
    int n = 0;
    auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (peek() != ')' || digits.empty() || ec != std::errc() || n < 1)
        fail(key, "bad syntax: an occurrence is a whole number from 1 to 2147483647 in parentheses, as in " +
                      std::string(key) + "(2)");
    ++i_;
    return n;
}

FormLineReader::Value FormLineReader::readValue(const KeyName& key) {
    const char first = peek();
    if (first == '"') return {Variant::string(readString(key)), {}};
    if (first == '#') return {readDate(key), {}};
    if (first == '&') return {Variant::longValue(readHexLong(key)), {}};
    if (isDigit(first) || first == '-') return {readNumber(key), {}};
    if (ascii::isIdentStart(first)) return readWordValue(key);
    fail(key, "bad syntax: expected a value, found " + quotedSnippet(rest()));
}

FormLineReader::Value FormLineReader::readWordValue(const KeyName& key) {
    using ascii::equalsNoCase;
    const std::string_view w = ident();
    if (equalsNoCase(w, "True") || equalsNoCase(w, "False")) return {Variant::boolean(equalsNoCase(w, "True")), {}};
    if (equalsNoCase(w, "Empty")) return {};
    if (equalsNoCase(w, "Nothing")) return {Variant::object(nullptr), {}};
    if (equalsNoCase(w, "Control")) {
        skipSpace();
        const std::string_view name = word();
        if (!ascii::isIdentifier(name))
            fail(key, "bad value: expected a control's name after Control, found " + quotedSnippet(name));
        return {Variant(), std::string(name)};
    }
    if (equalsNoCase(w, "Picture")) {
        skipSpace();
        if (peek() != '"') fail(key, "bad value: expected the picture's base64 text in quotes after Picture");
        return {readPicture(readString(key), key), {}};
    }
    fail(key, "unknown value word " + quotedSnippet(w) +
                  " (values are numbers, \"texts\", #dates#, True, False, Empty, Nothing, Control <name> or "
                  "Picture \"<base64>\")");
}

bool FormLineReader::readBool(const KeyName& key) {
    const Value v = readValue(key);
    if (v.value.type() != VarType::Boolean) fail(key, "bad value: expected True or False");
    return v.value.rawNumber() != 0;
}

FormLineReader::NumberToken FormLineReader::readNumberToken(const KeyName& key) {
    NumberToken t;
    const size_t start = i_;
    if (peek() == '-') ++i_;
    const size_t digitsStart = i_;
    while (isDigit(peek())) ++i_;
    bool ok = i_ > digitsStart;
    if (ok && peek() == '.') {
        t.fractional = true;
        ++i_;
        const size_t fracStart = i_;
        while (isDigit(peek())) ++i_;
        ok = i_ > fracStart;
    }
    if (ok && (peek() == 'e' || peek() == 'E')) {
        t.fractional = true;
        ++i_;
        if (peek() == '+' || peek() == '-') ++i_;
        const size_t expStart = i_;
        while (isDigit(peek())) ++i_;
        ok = i_ > expStart;
    }
    t.text = s_.substr(start, i_ - start);
    if (ok && peek() == '&') {
        t.longSuffix = true;
        ++i_;
    }
    if (!ok || ascii::isIdentChar(peek()) || peek() == '.' || peek() == '&')
        fail(key, "bad number " + quotedSnippet(tokenFrom(start)));
    return t;
}

template <class T>
T FormLineReader::convertNumber(std::string_view text, const KeyName& key, const char* typeName) const {
    T v{};
    std::from_chars_result result;
    if constexpr (std::is_floating_point_v<T>) result = floatingFromChars(text.data(), text.data() + text.size(), v);
    else result = std::from_chars(text.data(), text.data() + text.size(), v);
    const auto [ptr, ec] = result;
    if (ec == std::errc::result_out_of_range || (ec == std::errc() && !std::isfinite(static_cast<double>(v))))
        fail(key, "bad number " + quotedSnippet(text) + ": out of range for " + typeName);
    if (ec != std::errc() || ptr != text.data() + text.size()) fail(key, "bad number " + quotedSnippet(text));
    return v;
}

Variant FormLineReader::readNumber(const KeyName& key) {
    const NumberToken t = readNumberToken(key);
    if (t.longSuffix) {
        if (t.fractional) fail(key, "bad number " + quotedSnippet(t.text) + ": a Long is whole");
        return Variant::longValue(convertNumber<int32_t>(t.text, key, "Long"));
    }
    if (t.fractional) return Variant::number(convertNumber<double>(t.text, key, "Double"));
    return Variant::integer(convertNumber<int16_t>(t.text, key, "Integer (write 40000& for a Long)"));
}

void FormLineReader::requireNumberStart(const KeyName& key, const char* expected) const {
    if (!isDigit(peek()) && peek() != '-') fail(key, std::string("bad value: expected ") + expected);
}

float FormLineReader::readFloat(const KeyName& key) {
    requireNumberStart(key, "a number of twips");
    const NumberToken t = readNumberToken(key);
    if (t.longSuffix) fail(key, "bad number: a placement is written without the & suffix");
    return convertNumber<float>(t.text, key, "a placement");
}

double FormLineReader::readDouble(const KeyName& key) {
    requireNumberStart(key, "a number");
    const NumberToken t = readNumberToken(key);
    if (t.longSuffix) fail(key, "bad number: a font's size is written without the & suffix");
    return convertNumber<double>(t.text, key, "Double");
}

int FormLineReader::readInt(const KeyName& key) {
    requireNumberStart(key, "a whole number");
    const NumberToken t = readNumberToken(key);
    if (t.fractional) fail(key, "bad number " + quotedSnippet(t.text) + ": expected a whole number");
    return convertNumber<int32_t>(t.text, key, "a whole number");
}

std::string FormLineReader::readString(const KeyName& key) {
    std::string out;
    ++i_;  // opening quote
    while (true) {
        size_t run = i_;
        while (run < s_.size() && s_[run] != '"' && s_[run] != '\\') ++run;
        out.append(s_.substr(i_, run - i_));
        i_ = run;
        if (atEnd()) fail(key, "unterminated string: the line ends before the closing quote");
        if (s_[i_] == '"') {
            ++i_;
            return out;
        }
        ++i_;  // backslash
        out += readEscape(key);
    }
}

char FormLineReader::readEscape(const KeyName& key) {
    char out = 0;
    switch (peek()) {
        case '"': out = '"'; break;
        case '\\': out = '\\'; break;
        case 'n': out = '\n'; break;
        case 'r': out = '\r'; break;
        case 't': out = '\t'; break;
        case 'x': {
            const int hi = i_ + 1 < s_.size() ? ascii::hexValue(s_[i_ + 1]) : -1;
            const int lo = i_ + 2 < s_.size() ? ascii::hexValue(s_[i_ + 2]) : -1;
            if (hi < 0 || lo < 0)
                fail(key, "unknown escape " + quotedSnippet(s_.substr(i_ - 1, 4)) + " (\\x takes two hex digits)");
            out = static_cast<char>(hi * 16 + lo);
            i_ += 2;
            break;
        }
        default:
            if (atEnd()) fail(key, "unterminated string: the line ends before the closing quote");
            fail(key, "unknown escape " + quotedSnippet(s_.substr(i_ - 1, 2)) + " (known: \\\" \\\\ \\n \\r \\t \\xHH)");
    }
    ++i_;
    return out;
}

// #yyyy-mm-dd# or #yyyy-mm-dd hh:mm[:ss]#
Variant FormLineReader::readDate(const KeyName& key) {
    const size_t start = i_;
    const size_t close = s_.find('#', start + 1);
    const std::string_view inside =
        close == std::string_view::npos ? s_.substr(start + 1) : s_.substr(start + 1, close - start - 1);
    auto bad = [&](const std::string& why) {
        fail(key, "bad date " +
                      quotedSnippet(s_.substr(start, close == std::string_view::npos ? s_.size() - start
                                                                                      : close - start + 1)) +
                      ": " + why);
    };
    if (close == std::string_view::npos) bad("no closing #");
    i_ = close + 1;

    size_t d = 0;
    const char* const shape = "expected yyyy-mm-dd with an optional hh:mm:ss";
    auto number = [&](size_t minDigits, size_t maxDigits) {
        const size_t from = d;
        while (d < inside.size() && isDigit(inside[d]) && d - from < maxDigits) ++d;
        if (d - from < minDigits) bad(shape);
        int v = 0;
        for (size_t k = from; k < d; ++k) v = v * 10 + (inside[k] - '0');
        return v;
    };
    auto expect = [&](char sep) {
        if (d >= inside.size() || inside[d] != sep) bad(shape);
        ++d;
    };
    DateParts p;
    p.year = number(4, 4);
    expect('-');
    p.month = number(1, 2);
    expect('-');
    p.day = number(1, 2);
    if (d < inside.size()) {
        expect(' ');
        p.hour = number(1, 2);
        expect(':');
        p.minute = number(1, 2);
        if (d < inside.size()) {
            expect(':');
            p.second = number(1, 2);
        }
        if (d < inside.size()) bad(shape);
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
int32_t FormLineReader::readHexLong(const KeyName& key) {
    const size_t start = i_;
    ++i_;
    bool ok = peek() == 'H' || peek() == 'h';
    uint32_t v = 0;
    size_t digits = 0;
    if (ok) {
        ++i_;
        for (int d = ascii::hexValue(peek()); d >= 0; d = ascii::hexValue(peek())) {
            v = (v << 4) | static_cast<uint32_t>(d);
            ++digits;
            ++i_;
        }
        ok = digits >= 1 && digits <= 8 && peek() == '&';
    }
    if (!ok)
        fail(key, "bad number " + quotedSnippet(tokenFrom(start)) +
                      " (a hexadecimal Long is &H followed by 1 to 8 hex digits and &)");
    ++i_;
    return static_cast<int32_t>(v);
}

Variant FormLineReader::readPicture(const std::string& base64, const KeyName& key) const {
    std::vector<uint8_t> bytes;
    if (std::string problem = decodeBase64(base64, bytes); !problem.empty()) fail(key, "bad base64: " + problem);
    if (bytes.size() > Picture::kMaxBytes)
        fail(key, "bad picture: it holds more than " + byteSizeText(Picture::kMaxBytes) + ", the most a picture may hold");
    try {
        return Variant::object(Picture::fromBytes(std::move(bytes)));
    } catch (const HostError& e) {
        fail(key, std::string("the picture is not an image: ") + e.what());
    }
}

}  // namespace tavo
