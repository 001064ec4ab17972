#include "tavo/host/variant.h"

#include <charconv>
#include <cstdio>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

#include "host/floating_from_chars.h"
#include "tavo/host/ascii_text.h"
#include "tavo/host/date.h"
#include "tavo/host/error.h"
#include "tavo/host/object.h"

namespace tavo {

namespace {

const char* typeName(VarType t) {
    switch (t) {
    case VarType::Empty: return "Empty";
    case VarType::Integer: return "Integer";
    case VarType::Long: return "Long";
    case VarType::Double: return "Double";
    case VarType::Date: return "Date";
    case VarType::String: return "String";
    case VarType::Object: return "Object";
    case VarType::Boolean: return "Boolean";
    }
    return "?";
}

std::string_view trimSpaces(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

// "&H7FFF" is an Integer and wraps like one ("&HFFFF" is -1); a trailing "&"
// or more than four digits makes it a Long.
std::optional<double> parseHex(std::string_view s, const std::string& original) {
    bool isLong = false;
    if (!s.empty() && s.back() == '&') {
        isLong = true;
        s.remove_suffix(1);
    }
    if (s.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : s) {
        const int digit = ascii::hexValue(c);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<uint64_t>(digit);
        if (value > 0xFFFFFFFFu) throwHostError(err::Overflow, quoted(original) + " does not fit in 32 bits");
    }
    if (s.size() > 4) isLong = true;
    if (isLong) return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)));
    return static_cast<double>(static_cast<int16_t>(static_cast<uint16_t>(value)));
}

using ascii::isDigit;

// The power of ten of the leading digit of a well-formed unsigned decimal text
// ("123e5" is 7, "0.004" is -3); tells overflow from underflow.
long decimalMagnitude(std::string_view s) {
    long magnitude = 0;
    size_t i = 0;
    bool seenDigit = false, afterPoint = false;
    for (; i < s.size() && s[i] != 'e' && s[i] != 'E'; ++i) {
        if (s[i] == '.') {
            afterPoint = true;
        } else if (!seenDigit && s[i] == '0') {
            if (afterPoint) --magnitude;
        } else if (!seenDigit) {
            seenDigit = true;
            if (afterPoint) --magnitude;
        } else if (!afterPoint) {
            ++magnitude;
        }
    }
    if (i < s.size()) {
        const char* from = s.data() + i + 1 + (s[i + 1] == '+');
        long exponent = 0;
        if (std::from_chars(from, s.data() + s.size(), exponent).ec != std::errc())
            exponent = *from == '-' ? -100000 : 100000;
        magnitude += exponent;
    }
    return magnitude;
}

// The host's reading of text as a number: optional sign, digits with an
// optional decimal point and exponent, or a "&H" hexadecimal literal.
std::optional<double> parseNumber(const std::string& text) {
    std::string_view s = trimSpaces(text);
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) return parseHex(s.substr(2), text);

    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    // Check the shape ourselves: from_chars also takes "inf", "nan" and hex.
    size_t i = 0, mantissaDigits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++mantissaDigits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) ++i, ++mantissaDigits;
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        const size_t expStart = i;
        while (i < s.size() && isDigit(s[i])) ++i;
        if (i == expStart) return std::nullopt;
    }
    if (i != s.size()) return std::nullopt;

    double value = 0;
    const auto [end, ec] = floatingFromChars(s.data(), s.data() + s.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too small to hold reads as zero; only too large is an overflow.
        if (decimalMagnitude(s) < 0) return negative ? -0.0 : 0.0;
        throwHostError(err::Overflow, quoted(text) + " is too large a number");
    }
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return negative ? -value : value;
}

// Round half to even, as the host rounds every conversion to a whole number.
double roundHalfEven(double d) {
    const double r = std::round(d);
    if (std::fabs(d - std::trunc(d)) == 0.5) return 2.0 * std::round(d / 2.0);
    return r;
}

[[noreturn]] void mismatch(const Variant& v, const char* target) {
    std::string what = v.type() == VarType::String ? quoted(v.rawString()) : std::string(typeName(v.type()));
    throwHostError(err::TypeMismatch, what + " cannot be converted to " + target);
}

double checkedWhole(double d, double lo, double hi, const char* target) {
    if (std::isnan(d)) throwHostError(err::Overflow, std::string("NaN does not fit in ") + target);
    const double r = roundHalfEven(d);
    if (r < lo || r > hi) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.17g does not fit in %s", d, target);
        throwHostError(err::Overflow, buf);
    }
    return r;
}

std::string formatDouble(double d) {
    if (d == 0) return "0";  // also for -0
    char buf[64];
    // Whole numbers below 1E+15 in full, as the host shows them (3000000, not 3E+06).
    const bool whole = std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15;
    const auto [end, ec] = whole ? std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed)
                                 : std::to_chars(buf, buf + sizeof buf, d);
    std::string out(buf, ec == std::errc() ? end : buf);
    // The host writes the exponent with a capital E ("1E+20").
    for (char& c : out)
        if (c == 'e') c = 'E';
    return out;
}

}  // namespace

Variant Variant::integer(int16_t v) {
    Variant r;
    r.type_ = VarType::Integer;
    r.num_ = v;
    return r;
}

Variant Variant::longValue(int32_t v) {
    Variant r;
    r.type_ = VarType::Long;
    r.num_ = v;
    return r;
}

Variant Variant::number(double v) {
    Variant r;
    r.type_ = VarType::Double;
    r.num_ = v;
    return r;
}

Variant Variant::date(double serial) {
    if (!dateInRange(serial))
        throwHostError(err::Overflow, formatDouble(serial) + " is outside the date range 100-01-01 .. 9999-12-31");
    Variant r;
    r.type_ = VarType::Date;
    r.num_ = serial;
    return r;
}

Variant Variant::string(std::string v) {
    Variant r;
    r.type_ = VarType::String;
    r.str_ = std::move(v);
    return r;
}

Variant Variant::object(ObjectRef v) {
    Variant r;
    r.type_ = VarType::Object;
    r.obj_ = std::move(v);
    return r;
}

Variant Variant::boolean(bool v) {
    Variant r;
    r.type_ = VarType::Boolean;
    r.num_ = toTruth(v);
    return r;
}

bool Variant::isNumeric() const {
    switch (type_) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Double:
    case VarType::Date:
    case VarType::Boolean: return true;
    default: return false;
    }
}

double Variant::toDouble() const {
    if (isNumeric()) return num_;
    switch (type_) {
    case VarType::Empty: return 0;
    case VarType::String:
        if (auto n = parseNumber(str_)) return *n;
        mismatch(*this, "a number");
    default: mismatch(*this, "a number");
    }
}

int16_t Variant::toInteger() const {
    if (type_ == VarType::Integer || type_ == VarType::Boolean) return static_cast<int16_t>(num_);
    return static_cast<int16_t>(checkedWhole(toDouble(), -32768, 32767, "an Integer"));
}

int32_t Variant::toLong() const {
    if (type_ == VarType::Integer || type_ == VarType::Long || type_ == VarType::Boolean)
        return static_cast<int32_t>(num_);
    return static_cast<int32_t>(checkedWhole(toDouble(), -2147483648.0, 2147483647.0, "a Long"));
}

float Variant::toSingle() const {
    const double d = toDouble();
    if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max())
        throwHostError(err::Overflow, formatDouble(d) + " does not fit in a Single");
    return static_cast<float>(d);
}

double Variant::toDate() const {
    switch (type_) {
    case VarType::Date: return num_;
    case VarType::Integer:
    case VarType::Long:
    case VarType::Double:
    case VarType::Boolean:
        if (!dateInRange(num_))
            throwHostError(err::Overflow,
                           formatDouble(num_) + " is outside the date range 100-01-01 .. 9999-12-31");
        return num_;
    case VarType::String:
        if (auto d = parseDate(str_, preferredDateOrder())) return *d;
        throwHostError(err::TypeMismatch, quoted(str_) + " is not a date");
    case VarType::Empty: throwHostError(err::TypeMismatch, "an empty value is not a date");
    default: mismatch(*this, "a date");
    }
}

int16_t Variant::toBoolean() const {
    switch (type_) {
    case VarType::Empty: return vbFalse;
    case VarType::String: {
        const std::string_view s = trimSpaces(str_);
        if (ascii::equalsNoCase(s, "True")) return vbTrue;
        if (ascii::equalsNoCase(s, "False")) return vbFalse;
        if (auto n = parseNumber(str_)) return toTruth(*n != 0);
        mismatch(*this, "a truth value");
    }
    case VarType::Object: mismatch(*this, "a truth value");
    default: return toTruth(num_ != 0);
    }
}

std::string Variant::toString() const {
    switch (type_) {
    case VarType::Empty: return {};
    case VarType::Integer:
    case VarType::Long: return std::to_string(static_cast<int32_t>(num_));
    case VarType::Double: return formatDouble(num_);
    case VarType::Date: return formatDateCanonical(num_);
    case VarType::Boolean: return num_ != 0 ? "True" : "False";
    case VarType::String: return str_;
    case VarType::Object: mismatch(*this, "text");
    }
    return {};
}

ObjectRef Variant::toObject() const {
    if (type_ != VarType::Object) mismatch(*this, "an object");
    return obj_;
}

bool operator==(const Variant& a, const Variant& b) {
    if (a.isNumeric() && b.isNumeric()) return a.num_ == b.num_;
    if (a.type_ != b.type_) return false;
    switch (a.type_) {
    case VarType::Empty: return true;
    case VarType::String: return a.str_ == b.str_;
    case VarType::Object: return a.obj_ == b.obj_;
    default: return false;
    }
}

int Variant::compare(const Variant& a, const Variant& b) {
    // Empty stands for 0 beside a number and for "" beside a text.
    const bool aNum = a.isNumeric() || (a.isEmpty() && b.isNumeric());
    const bool bNum = b.isNumeric() || (b.isEmpty() && a.isNumeric());
    if (a.isEmpty() && b.isEmpty()) return 0;
    if (aNum && bNum) {
        double x = a.num_, y = b.num_;
        if (a.type_ == VarType::Date || b.type_ == VarType::Date) {
            x = dateLinear(x);
            y = dateLinear(y);
        }
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const bool aText = a.type_ == VarType::String || a.isEmpty();
    const bool bText = b.type_ == VarType::String || b.isEmpty();
    if (aText && bText) {
        const int c = a.str_.compare(b.str_);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    throwHostError(err::TypeMismatch,
                   std::string("cannot compare ") + typeName(a.type_) + " with " + typeName(b.type_));
}

}  // namespace tavo
