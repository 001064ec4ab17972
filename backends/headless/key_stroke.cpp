#include "backends/headless/key_stroke.h"

#include <array>
#include <utility>

#include "tavo/host/ascii_text.h"
#include "tavo/host/error.h"
#include "tavo/host/object.h"

namespace tavo {

namespace {

struct NamedKey {
    const char* name;
    int16_t keyCode;
    int16_t keyAscii;
};

// Escape and Enter type a character as well; the other named keys only move.
constexpr std::array<NamedKey, 16> kNamedKeys{{
    {"ESC", key::Escape, key::Escape},
    {"ESCAPE", key::Escape, key::Escape},
    {"ENTER", key::Enter, key::Enter},
    {"RETURN", key::Enter, key::Enter},
    {"TAB", key::Tab, 0},
    {"F4", key::F4, 0},
    {"UP", key::Up, 0},
    {"DOWN", key::Down, 0},
    {"LEFT", key::Left, 0},
    {"RIGHT", key::Right, 0},
    {"PGUP", key::PageUp, 0},
    {"PGDN", key::PageDown, 0},
    {"HOME", key::Home, 0},
    {"END", key::End, 0},
    {"SPACE", key::Space, key::Space},
    {"BACKSPACE", 8, 8},
}};

std::optional<KeyStroke> characterKey(char ch) {
    const auto u = static_cast<unsigned char>(ch);
    if (u < 32 || u > 126) return std::nullopt;
    return KeyStroke{static_cast<int16_t>(ascii::upper(ch)), static_cast<int16_t>(u), 0};
}

[[noreturn]] void badSendKeys(std::string_view text, std::size_t pos, const std::string& what) {
    throwHostError(err::InvalidProcedureCall,
                   "SendKeys \"" + std::string(text) + "\" at position " + std::to_string(pos + 1) + ": " + what);
}

}  // namespace

std::optional<KeyStroke> keyFromName(std::string_view name) {
    for (const auto& k : kNamedKeys)
        if (ascii::equalsNoCase(name, k.name)) return KeyStroke{k.keyCode, k.keyAscii, 0};
    if (name.size() == 1) return characterKey(name[0]);
    return std::nullopt;
}

std::vector<KeyStroke> parseSendKeys(std::string_view text) {
    std::vector<KeyStroke> keys;
    int16_t held = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '+' || ch == '^' || ch == '%') {
            held |= ch == '+' ? kShiftMask : ch == '^' ? kCtrlMask : kAltMask;
            continue;
        }
        std::optional<KeyStroke> k;
        if (ch == '~') {
            k = keyFromName("ENTER");
        } else if (ch == '{') {
            // "{}}" quotes a closing brace, so the name may itself be "}".
            const std::size_t close = text.find('}', i + 2);
            if (close == std::string_view::npos) badSendKeys(text, i, "'{' without its '}'");
            const std::string_view name = text.substr(i + 1, close - i - 1);
            k = keyFromName(name);
            if (!k) badSendKeys(text, i, "unknown key {" + std::string(name) + "}");
            i = close;
        } else if (ch == '}' || ch == '(' || ch == ')') {
            badSendKeys(text, i, std::string("'") + ch + "' must be quoted in braces");
        } else {
            k = characterKey(ch);
            if (!k) badSendKeys(text, i, "not a printable character");
        }
        k->shift = held;
        held = 0;
        keys.push_back(*k);
    }
    if (held) badSendKeys(text, text.size() - 1, "a shift key with no key after it");
    return keys;
}

}  // namespace tavo
