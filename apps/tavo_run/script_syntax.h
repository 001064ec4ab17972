#pragma once
// The runner's script language below the level of commands: splitting a line
// into tokens, reading paths, values and key names. Everything here is pure
// text work, so a malformed line is caught before anything runs.
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tavo/host/variant.h"

namespace tavo {

// A line the runner cannot read: the script is wrong, not the host.
class ScriptSyntaxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Splits a line at blanks. A double-quoted text and a #date# (which holds a
// blank before its time) stay one token; a token that starts with "#" not
// followed by a digit begins a comment that runs to the end of the line.
std::vector<std::string> splitTokens(std::string_view line);

// Reads a double-quoted token with \" \\ \n \r \t escapes.
std::string unquote(std::string_view token);
std::string quote(std::string_view text);

// One step of a path: a member name, optionally with one argument ("img(2)",
// "node(k1)", "Nodes(\"a\")").
struct PathSegment {
    std::string name;
    bool hasArg = false;
    std::string argText;      // the argument as written inside the parentheses, unquoted
    bool argQuoted = false;
};

struct Path {
    std::vector<PathSegment> segments;
    std::string text;  // as written, for messages
};

Path parsePath(std::string_view token);

// A value as the script writes it. Plain values are ready; the others name
// something that exists only while the script runs (a file, a control, a
// node, an object the runner printed) and are evaluated then.
struct ValueLiteral {
    enum class Kind { Plain, Picture, Font, ControlRef, NodeRef, Printed };
    Kind kind = Kind::Plain;
    Variant plain;
    std::string name;    // picture file, font name, control, tree
    std::string key;     // node key; the class of a printed object
    double fontSize = 0;
    bool bold = false, italic = false;
    int printedId = 0;
    bool hex = false;    // written as &H...&, so read back as a colour
    std::string source;  // the token as written
};

ValueLiteral parseValue(std::string_view token);

// "yyyy-mm-dd" or "yyyy-mm-dd hh:mm[:ss]" to a date serial.
double parseScriptDate(std::string_view text);

// Key names the runner posts; anything else must be a single character.
std::string parseKeyName(std::string_view token);

// Numbers for command arguments (pixels, twips, milliseconds).
long long parseInteger(std::string_view token, std::string_view what);
double parseNumber(std::string_view token, std::string_view what);

// How values are printed, in the syntax parseValue reads back.
std::string formatNumber(double v);
std::string formatColour(uint32_t c);

}  // namespace tavo
