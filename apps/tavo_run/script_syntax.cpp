#include "apps/tavo_run/script_syntax.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "host/floating_from_chars.h"
#include "tavo/host/ascii_text.h"
#include "tavo/host/date.h"
#include "tavo/host/error.h"
#include "tavo/host/font.h"

namespace tavo {

namespace {

using ascii::equalsNoCase;
using ascii::isDigit;
using ascii::isIdentChar;
using ascii::isIdentifier;
using ascii::startsWithNoCase;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Index just past the closing quote of the quoted text starting at `open`.
std::size_t skipQuoted(std::string_view text, std::size_t open) {
    std::size_t i = open + 1;
    while (i < text.size()) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            i += 2;
            continue;
        }
        if (text[i] == '"') return i + 1;
        ++i;
    }
    throw ScriptSyntaxError("unterminated text: " + std::string(text.substr(open)));
}

bool allDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!isDigit(c)) return false;
    return true;
}

// A quoted token or a bare one, as file names and node keys may be written.
std::string quotedOrBare(std::string_view text, std::string_view what) {
    if (!text.empty() && text[0] == '"') return unquote(text);
    if (text.empty()) throw ScriptSyntaxError("missing " + std::string(what));
    return std::string(text);
}

Variant integerVariant(long long v) {
    if (v >= std::numeric_limits<int16_t>::min() && v <= std::numeric_limits<int16_t>::max())
        return Variant::integer(static_cast<int16_t>(v));
    if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
        return Variant::longValue(static_cast<int32_t>(v));
    return Variant::number(static_cast<double>(v));
}

std::optional<Variant> parseNumberValue(std::string_view t) {
    std::string_view body = t;
    if (!body.empty() && body[0] == '-') body.remove_prefix(1);
    const std::size_t dot = body.find('.');
    const std::string_view whole = body.substr(0, dot);
    if (!allDigits(whole)) return std::nullopt;
    if (dot != std::string_view::npos && !allDigits(body.substr(dot + 1))) return std::nullopt;
    if (dot == std::string_view::npos && whole.size() <= 18) {
        long long v = 0;
        std::from_chars(t.data(), t.data() + t.size(), v);
        return integerVariant(v);
    }
    double d = 0;
    floatingFromChars(t.data(), t.data() + t.size(), d);
    return Variant::number(d);
}

// &H80000005& is a 32-bit value; without the trailing & up to four digits
// make a 16-bit one, as the host's own literals do.
Variant parseHex(std::string_view t) {
    std::string_view digits = t.substr(2);
    const bool longSuffix = !digits.empty() && digits.back() == '&';
    if (longSuffix) digits.remove_suffix(1);
    uint32_t v = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, 16);
    if (digits.empty() || digits.size() > 8 || ec != std::errc() || end != digits.data() + digits.size())
        throw ScriptSyntaxError("bad hexadecimal value " + std::string(t));
    if (!longSuffix && digits.size() <= 4) return Variant::integer(static_cast<int16_t>(static_cast<uint16_t>(v)));
    return Variant::longValue(static_cast<int32_t>(v));
}

ValueLiteral parseFont(std::string_view fontText, std::string_view source) {
    ValueLiteral lit;
    lit.kind = ValueLiteral::Kind::Font;
    if (fontText.empty() || fontText[0] != '"')
        throw ScriptSyntaxError("a font is font:\"Name\",<size>[,bold][,italic], not " + std::string(source));
    const std::size_t nameEnd = skipQuoted(fontText, 0);
    lit.name = unquote(fontText.substr(0, nameEnd));
    std::string_view rest = fontText.substr(nameEnd);
    if (rest.empty() || rest[0] != ',') throw ScriptSyntaxError("a font needs a size: " + std::string(source));
    rest.remove_prefix(1);
    std::vector<std::string_view> parts;
    for (std::size_t comma; (comma = rest.find(',')) != std::string_view::npos; rest.remove_prefix(comma + 1))
        parts.push_back(rest.substr(0, comma));
    parts.push_back(rest);
    lit.fontSize = parseNumber(parts[0], "font size");
    if (!(lit.fontSize > 0 && lit.fontSize <= Font::kMaxSize))
        throw ScriptSyntaxError("font size must be above 0 and at most 2048 points: " + std::string(source));
    for (std::size_t i = 1; i < parts.size(); ++i) {
        if (equalsNoCase(parts[i], "bold")) lit.bold = true;
        else if (equalsNoCase(parts[i], "italic")) lit.italic = true;
        else throw ScriptSyntaxError("unknown font style \"" + std::string(parts[i]) + "\" (bold or italic)");
    }
    return lit;
}

}  // namespace

std::vector<std::string> splitTokens(std::string_view line) {
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        if (isBlank(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#' && !(i + 1 < line.size() && isDigit(line[i + 1]))) break;
        const std::size_t start = i;
        if (line[i] == '#') {
            const std::size_t close = line.find('#', i + 1);
            if (close == std::string_view::npos)
                throw ScriptSyntaxError("unterminated date: " + std::string(line.substr(i)));
            i = close + 1;
        }
        while (i < line.size() && !isBlank(line[i])) {
            if (line[i] == '"') i = skipQuoted(line, i);
            else ++i;
        }
        tokens.emplace_back(line.substr(start, i - start));
    }
    return tokens;
}

std::string unquote(std::string_view token) {
    if (token.size() < 2 || token.front() != '"' || skipQuoted(token, 0) != token.size())
        throw ScriptSyntaxError("bad text " + std::string(token) + " (texts are in double quotes)");
    std::string out;
    for (std::size_t i = 1; i + 1 < token.size(); ++i) {
        char c = token[i];
        if (c == '\\') {
            const char e = token[++i];
            switch (e) {
                case 'n': c = '\n'; break;
                case 'r': c = '\r'; break;
                case 't': c = '\t'; break;
                case '"': c = '"'; break;
                case '\\': c = '\\'; break;
                default:
                    throw ScriptSyntaxError(std::string("unknown escape \\") + e + " in " + std::string(token));
            }
        }
        out += c;
    }
    return out;
}

std::string quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default: out += c;
        }
    }
    return out + '"';
}

Path parsePath(std::string_view token) {
    Path path;
    path.text = std::string(token);
    std::size_t i = 0;
    while (true) {
        PathSegment seg;
        const std::size_t start = i;
        while (i < token.size() && isIdentChar(token[i])) ++i;
        seg.name = std::string(token.substr(start, i - start));
        if (!isIdentifier(seg.name))
            throw ScriptSyntaxError("bad path " + path.text + " (a path is Name.Member, Name.child(i).Member, ...)");
        if (i < token.size() && token[i] == '(') {
            seg.hasArg = true;
            std::size_t close;
            if (i + 1 < token.size() && token[i + 1] == '"') {
                const std::size_t end = skipQuoted(token, i + 1);
                seg.argText = unquote(token.substr(i + 1, end - i - 1));
                seg.argQuoted = true;
                close = end;
            } else {
                close = token.find(')', i + 1);
                if (close == std::string_view::npos) close = token.size();
                seg.argText = std::string(token.substr(i + 1, close - i - 1));
                if (seg.argText.empty()) throw ScriptSyntaxError("empty index in path " + path.text);
            }
            if (close >= token.size() || token[close] != ')')
                throw ScriptSyntaxError("missing ) in path " + path.text);
            i = close + 1;
        }
        path.segments.push_back(std::move(seg));
        if (i == token.size()) break;
        if (token[i] != '.') throw ScriptSyntaxError("bad path " + path.text);
        ++i;
    }
    return path;
}

double parseScriptDate(std::string_view text) {
    auto fail = [&]() -> double {
        throw ScriptSyntaxError("bad date " + std::string(text) + " (yyyy-mm-dd, optionally hh:mm:ss)");
    };
    std::array<int, 6> parts{0, 0, 0, 0, 0, 0};
    std::size_t i = 0;
    const char seps[] = {'-', '-', ' ', ':', ':'};
    int count = 0;
    while (count < 6) {
        const std::size_t start = i;
        while (i < text.size() && isDigit(text[i])) ++i;
        if (i == start || i - start > 4) return fail();
        std::from_chars(text.data() + start, text.data() + i, parts[count]);
        ++count;
        if (i == text.size()) break;
        if (count == 6 || text[i] != seps[count - 1]) return fail();
        ++i;
    }
    if (count != 3 && count != 5 && count != 6) return fail();
    if (!isValidDate(parts[0], parts[1], parts[2]) || parts[3] > 23 || parts[4] > 59 || parts[5] > 59) return fail();
    try {
        return dateTimeSerial(DateParts{parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]});
    } catch (const HostError&) {
        return fail();
    }
}

ValueLiteral parseValue(std::string_view t) {
    ValueLiteral lit;
    lit.source = std::string(t);
    if (t.empty()) throw ScriptSyntaxError("missing value");
    if (equalsNoCase(t, "True") || equalsNoCase(t, "False")) {
        lit.plain = Variant::boolean(equalsNoCase(t, "True"));
    } else if (equalsNoCase(t, "Nothing")) {
        lit.plain = Variant::object(nullptr);
    } else if (equalsNoCase(t, "Empty")) {
        lit.plain = Variant();
    } else if (t[0] == '"') {
        lit.plain = Variant::string(unquote(t));
    } else if (t[0] == '#') {
        if (t.size() < 3 || t.back() != '#') throw ScriptSyntaxError("bad date " + lit.source);
        lit.plain = Variant::date(parseScriptDate(t.substr(1, t.size() - 2)));
    } else if (startsWithNoCase(t, "&H")) {
        lit.plain = parseHex(t);
        lit.hex = true;
    } else if (auto n = parseNumberValue(t)) {
        lit.plain = *n;
    } else if (startsWithNoCase(t, "picture:")) {
        lit.kind = ValueLiteral::Kind::Picture;
        lit.name = quotedOrBare(t.substr(8), "picture file");
    } else if (startsWithNoCase(t, "font:")) {
        lit = parseFont(t.substr(5), t);
        lit.source = std::string(t);
    } else if (startsWithNoCase(t, "ref:")) {
        lit.kind = ValueLiteral::Kind::ControlRef;
        lit.name = std::string(t.substr(4));
        if (!isIdentifier(lit.name)) throw ScriptSyntaxError("ref: needs a control name, not " + lit.source);
    } else if (startsWithNoCase(t, "node:")) {
        lit.kind = ValueLiteral::Kind::NodeRef;
        const std::string_view rest = t.substr(5);
        const std::size_t dot = rest.find('.');
        lit.name = std::string(rest.substr(0, dot));
        if (dot == std::string_view::npos || !isIdentifier(lit.name))
            throw ScriptSyntaxError("a node is node:<Tree>.<key>, not " + lit.source);
        lit.key = quotedOrBare(rest.substr(dot + 1), "node key");
    } else if (const std::size_t hash = t.rfind('#'); hash != std::string_view::npos && hash > 0 &&
                                                      allDigits(t.substr(hash + 1))) {
        // An object the runner printed earlier, named by its identity.
        lit.kind = ValueLiteral::Kind::Printed;
        lit.key = std::string(t.substr(0, hash));
        std::from_chars(t.data() + hash + 1, t.data() + t.size(), lit.printedId);
    } else {
        throw ScriptSyntaxError("bad value " + lit.source);
    }
    return lit;
}

std::string parseKeyName(std::string_view token) {
    static constexpr std::array<std::string_view, 12> kNames = {"ESC", "ENTER", "TAB", "F4", "UP", "DOWN",
                                                               "LEFT", "RIGHT", "PGUP", "PGDN", "HOME", "END"};
    auto printable = [](std::string_view s) { return s.size() == 1 && s[0] >= 0x20 && s[0] <= 0x7E; };
    if (!token.empty() && token[0] == '"') {
        std::string text = unquote(token);
        if (!printable(text))
            throw ScriptSyntaxError("a key is one printable character or a key name, not " + std::string(token));
        return text;
    }
    if (printable(token)) return std::string(token);
    for (std::string_view n : kNames)
        if (equalsNoCase(token, n)) return std::string(n);
    throw ScriptSyntaxError("unknown key " + std::string(token) +
                            " (ESC, ENTER, TAB, F4, UP, DOWN, LEFT, RIGHT, PGUP, PGDN, HOME, END or one character)");
}

long long parseInteger(std::string_view token, std::string_view what) {
    long long v = 0;
    auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), v);
    if (token.empty() || ec != std::errc() || end != token.data() + token.size())
        throw ScriptSyntaxError(std::string(what) + " must be a whole number, not \"" + std::string(token) + "\"");
    return v;
}

double parseNumber(std::string_view token, std::string_view what) {
    if (auto n = parseNumberValue(token)) return n->toDouble();
    throw ScriptSyntaxError(std::string(what) + " must be a number, not \"" + std::string(token) + "\"");
}

std::string formatNumber(double v) {
    if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 1e15) return std::to_string(static_cast<long long>(v));
    char buf[64];
    // Twips are single precision: print the short form when the value is one.
    const float f = static_cast<float>(v);
    auto res = static_cast<double>(f) == v ? std::to_chars(buf, buf + sizeof buf, f) : std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

std::string formatColour(uint32_t c) {
    char buf[16];
    auto res = std::to_chars(buf, buf + sizeof buf, c, 16);
    std::string hex(buf, res.ptr);
    for (char& ch : hex) ch = ascii::upper(ch);
    return "&H" + hex + "&";
}

}  // namespace tavo
