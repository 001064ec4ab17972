// The form file reader: lines, blocks and keys. The values on a line are
// FormLineReader's; what the file's words and keys are, form_syntax's.
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host/form_file_syntax.h"
#include "host/form_line_reader.h"
#include "tavo/host/ascii_text.h"
#include "tavo/host/font.h"
#include "tavo/host/form_file.h"

namespace tavo {

namespace {

using ascii::equalsNoCase;
using ascii::quotedSnippet;
using namespace form_syntax;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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
        startsWithMark_ = text_.starts_with(kByteOrderMark);
        if (startsWithMark_) text_.remove_prefix(kByteOrderMark.size());
    }

    FormData parse() {
        if (!nextLine()) fail(1, "", "missing VERSION line: the file holds no form");
        readVersion();
        if (!nextLine()) fail(lineNo_, "", "missing Begin Form: the file ends after its VERSION line");
        form_.file = file_;
        readFormBegin();
        readFormBody();
        while (nextLine()) {
            FormLineReader c = current();
            if (equalsNoCase(c.ident(), "Begin")) {
                c.skipSpace();
                if (equalsNoCase(c.ident(), "Form")) c.fail("", "a second form: a file holds one form");
            }
            c.fail("", "text after the form's End: " + quotedSnippet(line_));
        }
        checkReferences();
        return std::move(form_);
    }

private:
    [[noreturn]] void fail(int line, const KeyName& key, const std::string& problem) const {
        throw FormFileError(file_, line, key.text(), problem);
    }

    FormLineReader current() const { return FormLineReader(line_, lineNo_, file_); }

    // The mark is invisible in an editor, so the error names it, where a
    // quote of the line would show nothing wrong.
    [[noreturn]] void refuseByteOrderMark() const {
        if (lineNo_ == 1 && startsWithMark_)
            fail(1, "", "a second byte-order mark (U+FEFF, an invisible character) at the start of the file: remove it");
        fail(lineNo_, "", "a byte-order mark (U+FEFF, an invisible character) at the start of the line: only the "
                          "file's very beginning may hold one; remove it");
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
            if (raw.starts_with(kByteOrderMark)) refuseByteOrderMark();
            line_ = raw;
            return true;
        }
        return false;
    }

    void readVersion() {
        FormLineReader c = current();
        if (!equalsNoCase(c.ident(), "VERSION"))
            c.fail("", "missing VERSION line: the file must begin with \"VERSION " + std::string(kVersion) +
                           "\", found " + quotedSnippet(line_));
        c.skipSpace();
        std::string_view v = c.word();
        // Readers of 1.x read every 1.y: minor versions only add.
        const bool known = v.size() >= 3 && v[0] == '1' && v[1] == '.' &&
                           v.substr(2).find_first_not_of("0123456789") == std::string_view::npos;
        if (!known)
            c.fail("", "unsupported version " + quotedSnippet(v) + " (this reader reads " + std::string(kVersion) +
                           ")");
        c.expectLineEnd("", "the version");
    }

    void readFormBegin() {
        FormLineReader c = current();
        std::string_view w = c.ident();
        c.skipSpace();
        std::string_view kind = c.word();
        if (!equalsNoCase(w, "Begin") || !equalsNoCase(kind, "Form"))
            c.fail("", "missing Begin Form: expected \"Begin Form <name>\", found " + quotedSnippet(line_));
        c.skipSpace();
        std::string_view name = c.word();
        if (!ascii::isIdentifier(name)) c.fail("", "bad form name " + quotedSnippet(name) + ": expected a name");
        c.expectLineEnd("", "the form's name");
        form_.name = std::string(name);
        formLine_ = lineNo_;
    }

    void readFormBody() {
        while (nextLine()) {
            FormLineReader c = current();
            std::string_view w = c.ident();
            if (equalsNoCase(w, "End")) {
                c.expectLineEnd("", "End");
                return;
            }
            if (equalsNoCase(w, "Begin")) {
                readControl(c);
                continue;
            }
            c.fail(isKeyword(w) ? "" : std::string(w),
                   "bad syntax: the form holds only control blocks (Begin <Library.Class> <name>) and its End, "
                   "found " +
                       quotedSnippet(line_));
        }
        fail(formLine_, "", "unterminated block: Begin Form " + form_.name + " has no End");
    }

    void readControl(FormLineReader& c) {
        c.skipSpace();
        std::string_view cls = c.word();
        if (equalsNoCase(cls, "Form")) c.fail("", "a second form: forms do not stand inside forms");
        if (!isClassName(cls)) c.fail("", "bad class name " + quotedSnippet(cls) + ": expected \"Library.Class\"");
        c.skipSpace();
        std::string_view name = c.word();
        if (!ascii::isIdentifier(name)) c.fail("", "bad control name " + quotedSnippet(name) + ": expected a name");
        c.expectLineEnd("", "the control's name");

        auto [at, fresh] = controlLines_.emplace(ascii::folded(name), lineNo_);
        if (!fresh)
            c.fail("", "duplicate control name " + std::string(name) + " (first at line " +
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
            FormLineReader c = current();
            const std::string_view w = c.ident();
            if (equalsNoCase(w, "End")) {
                c.expectLineEnd("", "End");
                return;
            }
            refuseInControl(c, w, control);
            readKeyLine(c, w, control);
        }
        fail(control.line, "", "unterminated block: control " + control.name + " has no End");
    }

    // What cannot stand where a control's key is expected.
    static void refuseInControl(const FormLineReader& c, std::string_view w, const FormControlData& control) {
        if (w.empty())
            c.fail("", "bad syntax: expected a key, BeginProperty or End, found " + quotedSnippet(c.line()));
        if (equalsNoCase(w, "Begin"))
            c.fail("", "unterminated block: control " + control.name + " (line " + std::to_string(control.line) +
                           ") has no End before this Begin");
        if (equalsNoCase(w, "EndProperty")) c.fail("", "bad syntax: EndProperty without BeginProperty");
        if (equalsNoCase(w, "VERSION")) c.fail("", "bad syntax: VERSION belongs on the first line only");
    }

    // "Key = value", "Key(n) = value", a placement, or "BeginProperty Key" and its font.
    void readKeyLine(FormLineReader& c, std::string_view w, FormControlData& control) {
        const bool block = equalsNoCase(w, "BeginProperty");
        size_t keyStart = 0;
        if (block) {
            c.skipSpace();
            keyStart = c.pos();
            w = c.ident();
            if (w.empty() || isKeyword(w))
                c.fail("", "bad syntax: expected a key after BeginProperty, found " + quotedSnippet(c.rest()));
        }
        const int occurrence = c.readOccurrence(w);
        const KeyName key(c.line().substr(keyStart, c.pos() - keyStart));
        if (block && placementIndex(w) >= 0)
            c.fail(key, "bad syntax: " + std::string(w) + " is the control's placement, a number of twips (" +
                            std::string(w) + " = 120), not a BeginProperty block");
        if (!seen_.insert({w, occurrence}).second) c.fail(key, "duplicate key (write Key(2) for a second occurrence)");

        StoredProperty p{std::string(w), occurrence, Variant(), std::string(), c.number()};
        if (block) {
            c.expectLineEnd(key, "the BeginProperty key");
            p.value = Variant::object(readFont(key, c.number()));
        } else {
            c.expectEquals(key);
            if (const int place = placementIndex(w); place >= 0)
                return readPlacement(c, w, key, occurrence, placeField(control.place, place));
            FormLineReader::Value v = c.readValue(key);
            c.expectLineEnd(key, "the value");
            p.value = std::move(v.value);
            if (!v.refName.empty()) {
                references_.push_back({v.refName, key.text(), c.number()});
                p.refName = std::move(v.refName);
            }
        }
        control.properties.add(std::move(p));
    }

    static float& placeField(Placement& place, int index) {
        float* fields[] = {&place.left, &place.top, &place.width, &place.height};
        return *fields[index];
    }

    static void readPlacement(FormLineReader& c, std::string_view w, const KeyName& key, int occurrence,
                              float& field) {
        if (occurrence != 1) c.fail(key, "bad syntax: the placement " + std::string(w) + " occurs once");
        field = c.readFloat(key);
        c.expectLineEnd(key, "the value");
    }

    FontRef readFont(const KeyName& key, int beginLine) {
        auto font = std::make_shared<Font>();
        unsigned seen = 0;
        while (nextLine()) {
            FormLineReader c = current();
            std::string_view w = c.ident();
            if (equalsNoCase(w, "EndProperty")) {
                c.expectLineEnd(key, "EndProperty");
                return font;
            }
            if (w.empty())
                c.fail(key, "bad syntax: expected a font's field or EndProperty, found " + quotedSnippet(line_));
            if (isKeyword(w))
                c.fail(key, "unterminated block: BeginProperty " + key.text() + " (line " + std::to_string(beginLine) +
                                ") has no EndProperty before " + quotedSnippet(line_));
            const KeyName fieldKey(key.key, w);
            size_t field = 0;
            while (field < kFontFields.size() && !equalsNoCase(w, kFontFields[field])) ++field;
            if (field == kFontFields.size())
                c.fail(fieldKey,
                       "unknown font property (a font holds Name, Size, Charset, Weight, Underline, Italic, "
                       "Strikethrough)");
            if (c.peek() == '(') c.fail(fieldKey, "bad syntax: a font's fields occur once");
            if (seen & (1u << field)) c.fail(fieldKey, "duplicate key");
            seen |= 1u << field;
            c.expectEquals(fieldKey);
            readFontField(c, fieldKey, field, *font);
            c.expectLineEnd(fieldKey, "the value");
        }
        fail(beginLine, key, "unterminated block: BeginProperty " + key.text() + " has no EndProperty");
    }

    // The field at kFontFields[field].
    static void readFontField(FormLineReader& c, const KeyName& key, size_t field, Font& font) {
        switch (field) {
            case 0: {
                FormLineReader::Value v = c.readValue(key);
                if (v.value.type() != VarType::String) c.fail(key, "bad value: a font's Name is a text in quotes");
                font.name = v.value.rawString();
                break;
            }
            case 1: font.size = c.readDouble(key); break;
            case 2: font.charset = c.readInt(key); break;
            case 3: font.weight = c.readInt(key); break;
            case 4: font.underline = c.readBool(key); break;
            case 5: font.italic = c.readBool(key); break;
            default: font.strikethrough = c.readBool(key); break;
        }
    }

    // Run once the whole file is read: a reference may name a later control.
    void checkReferences() const {
        for (const auto& r : references_)
            if (!controlLines_.count(ascii::folded(r.name)))
                fail(r.line, r.key, "no control named " + r.name + " on the form");
    }

    std::string_view text_;
    bool startsWithMark_ = false;
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

}  // namespace

FormData parseFormText(std::string_view text, const std::string& fileName) {
    return FormParser(text, fileName).parse();
}

}  // namespace tavo
