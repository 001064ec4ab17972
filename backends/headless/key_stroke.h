#pragma once
// Keys as the headless host delivers them: key names and SendKeys texts
// turned into key codes, character codes and shift states.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavo {

namespace key {
inline constexpr int16_t Tab = 9;
inline constexpr int16_t Enter = 13;
inline constexpr int16_t Escape = 27;
inline constexpr int16_t Space = 32;
inline constexpr int16_t PageUp = 33;
inline constexpr int16_t PageDown = 34;
inline constexpr int16_t End = 35;
inline constexpr int16_t Home = 36;
inline constexpr int16_t Left = 37;
inline constexpr int16_t Up = 38;
inline constexpr int16_t Right = 39;
inline constexpr int16_t Down = 40;
inline constexpr int16_t F4 = 115;
}  // namespace key

// Shift state bits as key events carry them.
inline constexpr int16_t kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;

struct KeyStroke {
    int16_t keyCode = 0;
    int16_t keyAscii = 0;  // 0: the key raises no KeyPress
    int16_t shift = 0;
    bool operator==(const KeyStroke&) const = default;
};

// "ESC", "ENTER", "TAB", "F4", "UP", "DOWN", "LEFT", "RIGHT", "PGUP", "PGDN",
// "HOME", "END" (any letter case), or one printable ASCII character: letters
// and digits have their upper-case code as key code, other characters their
// own code. nullopt for anything else.
std::optional<KeyStroke> keyFromName(std::string_view name);

// A SendKeys text: plain characters, named keys in braces ("{ESC}", also
// "{ESCAPE}", "{RETURN}", "{PGUP}"...), a brace-quoted special character
// ("{+}", "{{}"), "~" for Enter, and "+", "^", "%" holding Shift, Ctrl or Alt
// for the key after them. Throws HostError 5 naming the position of what it
// cannot read.
std::vector<KeyStroke> parseSendKeys(std::string_view text);

}  // namespace tavo
