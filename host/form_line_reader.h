#pragma once
// One line of a form file as the reader scans it: blanks, names, a key's
// occurrence and the values a property may hold. Every problem is a
// FormFileError naming the file, this line and the key.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "tavo/host/form_file.h"
#include "tavo/host/variant.h"

namespace tavo {

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

class FormLineReader {
public:
    // `line` is trimmed and holds something; `file` outlives the reader.
    FormLineReader(std::string_view line, int number, const std::string& file)
        : s_(line), number_(number), file_(file) {}

    std::string_view line() const { return s_; }
    int number() const { return number_; }
    size_t pos() const { return i_; }
    bool atEnd() const { return i_ >= s_.size(); }
    char peek() const { return atEnd() ? '\0' : s_[i_]; }
    std::string_view rest() const { return s_.substr(std::min(i_, s_.size())); }
    void skipSpace() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t')) ++i_;
    }
    // A name at the cursor, or empty.
    std::string_view ident();
    // A run of anything but blanks, for names that a check looks at as a whole.
    std::string_view word();

    [[noreturn]] void fail(const KeyName& key, const std::string& problem) const;
    void expectLineEnd(const KeyName& key, std::string_view after);
    // The "=" after a key, and a value after it.
    void expectEquals(const KeyName& key);
    // "(n)" after a key; 1 when there is none.
    int readOccurrence(std::string_view key);

    struct Value {
        Variant value;
        std::string refName;  // "Control <name>": a control on the same form
    };
    Value readValue(const KeyName& key);
    // Placements, font sizes and font numbers take any number written
    // without a suffix; the field decides the type.
    float readFloat(const KeyName& key);
    double readDouble(const KeyName& key);
    int readInt(const KeyName& key);
    bool readBool(const KeyName& key);

private:
    // The text of a number as written: sign, digits, fraction, exponent and
    // the Long suffix, before it is given a type.
    struct NumberToken {
        std::string_view text;  // without the suffix
        bool fractional = false;
        bool longSuffix = false;
    };
    NumberToken readNumberToken(const KeyName& key);
    Variant readNumber(const KeyName& key);
    template <class T>
    T convertNumber(std::string_view text, const KeyName& key, const char* typeName) const;
    void requireNumberStart(const KeyName& key, const char* expected) const;
    Value readWordValue(const KeyName& key);
    std::string readString(const KeyName& key);
    char readEscape(const KeyName& key);
    Variant readDate(const KeyName& key);
    int32_t readHexLong(const KeyName& key);
    Variant readPicture(const std::string& base64, const KeyName& key) const;
    // The blank-free run from `start`, for an error that quotes a bad token.
    std::string_view tokenFrom(size_t start) const;

    std::string_view s_;
    size_t i_ = 0;
    int number_;
    const std::string& file_;
};

}  // namespace tavo
