#pragma once
// A value that a control refuses when its form loads: where the error must
// point, what it must say, and what a save afterwards must write back.
#include <ostream>
#include <string>

#include "tavo/host/form.h"

namespace tavo {

struct RefusedValue {
    const char* name;
    std::string lines;  // the control's key lines; the refused one is `line`
    const char* key;
    int line;
    int number;
    const char* problem;  // a part of the message
    const char* kept;     // a line a save afterwards writes, as the file had it
};

inline void PrintTo(const RefusedValue& c, std::ostream* os) { *os << c.name; }

// Loads `text` (as "bad.frm") onto the form and checks its one failure, in
// `control`, against `c`: file, line and key first, the problem, no child's
// name. Then saves the form and checks the kept line; returns the saved text.
std::string expectRefused(Form& form, const std::string& text, const std::string& control, const RefusedValue& c);

}  // namespace tavo
