#include "tavo/host/form_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/failing_file_system.h"
#include "tavo/host/date.h"
#include "tavo/host/font.h"
#include "tavo/host/image_encoder.h"
#include "tavo/host/memory_file_system.h"
#include "tavo/host/picture.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;

PictureRef smallPicture() {
    IndexedImage img;
    img.width = 3;
    img.height = 2;
    img.palette = {0x000000, 0xFFFFFF};
    img.pixels = {0, 1, 0, 1, 0, 1};
    img.transparent = 1;
    return Picture::fromBytes(encodeGif(img));
}

// Deep equality of what a file holds: fonts by their fields, pictures by
// their bytes, references by name (Variant's own == compares objects by identity).
void expectSameValue(const Variant& a, const Variant& b, const std::string& where) {
    ASSERT_EQ(a.type(), b.type()) << where;
    if (!a.isObject() || a.isNothing() || b.isNothing()) {
        EXPECT_TRUE(a == b) << where;
        if (a.type() == VarType::String) {
            EXPECT_EQ(a.rawString(), b.rawString()) << where;
        }
        return;
    }
    if (auto fa = std::dynamic_pointer_cast<Font>(a.rawObject())) {
        auto fb = std::dynamic_pointer_cast<Font>(b.rawObject());
        ASSERT_TRUE(fb) << where;
        EXPECT_EQ(fa->name, fb->name) << where;
        EXPECT_EQ(fa->size, fb->size) << where;
        EXPECT_EQ(fa->charset, fb->charset) << where;
        EXPECT_EQ(fa->weight, fb->weight) << where;
        EXPECT_EQ(fa->underline, fb->underline) << where;
        EXPECT_EQ(fa->italic, fb->italic) << where;
        EXPECT_EQ(fa->strikethrough, fb->strikethrough) << where;
        return;
    }
    auto pa = std::dynamic_pointer_cast<Picture>(a.rawObject());
    auto pb = std::dynamic_pointer_cast<Picture>(b.rawObject());
    ASSERT_TRUE(pa && pb) << where;
    EXPECT_EQ(pa->bytes(), pb->bytes()) << where;
}

void expectSameForm(const FormData& a, const FormData& b) {
    EXPECT_EQ(a.name, b.name);
    ASSERT_EQ(a.controls.size(), b.controls.size());
    for (size_t i = 0; i < a.controls.size(); ++i) {
        const auto& ca = a.controls[i];
        const auto& cb = b.controls[i];
        EXPECT_EQ(ca.className, cb.className);
        EXPECT_EQ(ca.name, cb.name);
        EXPECT_EQ(ca.place.left, cb.place.left);
        EXPECT_EQ(ca.place.top, cb.place.top);
        EXPECT_EQ(ca.place.width, cb.place.width);
        EXPECT_EQ(ca.place.height, cb.place.height);
        const auto& ea = ca.properties.entries();
        const auto& eb = cb.properties.entries();
        ASSERT_EQ(ea.size(), eb.size()) << ca.name;
        for (size_t k = 0; k < ea.size(); ++k) {
            std::string where = ca.name + "." + ea[k].key;
            EXPECT_EQ(ea[k].key, eb[k].key) << where;
            EXPECT_EQ(ea[k].occurrence, eb[k].occurrence) << where;
            EXPECT_EQ(ea[k].refName, eb[k].refName) << where;
            expectSameValue(ea[k].value, eb[k].value, where);
        }
    }
}

void put(FormControlData& c, const std::string& key, Variant v, int occurrence = 1) {
    c.properties.add({key, occurrence, std::move(v), "", 0});
}

FormData everyValueType() {
    FormData form;
    form.name = "frmMain";
    auto& cal = form.controls.emplace_back();
    cal.className = "TavoCalendar.TavoCalendarDropDown";
    cal.name = "Cal1";
    cal.place = {120, 240.5f, 3015, 0.1f};
    put(cal, "Enabled", Variant::boolean(false));
    put(cal, "Font", Variant::object(std::make_shared<Font>("Courier \"New\"", 9.75, true, true)));
    put(cal, "CalendarMonthBackColor", Variant::longValue(static_cast<int32_t>(0x80000005u)));
    put(cal, "CalendarMonthBackColor", Variant::longValue(255), 2);
    put(cal, "MonthRows", Variant::integer(-32768));
    put(cal, "MonthColumns", Variant::integer(32767));
    put(cal, "Ratio", Variant::number(0.1));
    put(cal, "Whole", Variant::number(3.0));
    put(cal, "Huge", Variant::number(-1e300));
    put(cal, "MinDate", Variant::date(dateSerial(1601, 1, 1)));
    put(cal, "Early", Variant::date(dateTimeSerial({100, 1, 1, 6, 0, 1})));
    put(cal, "Value", Variant::date(dateTimeSerial({2000, 8, 21, 14, 30, 0})));
    put(cal, "MaxDate", Variant::date(dateTimeSerial({9999, 12, 31, 23, 59, 59})));
    put(cal, "CustomFormat", Variant::string("dd.MM.yyyy 'Uhr' \"q\" \\ \n\r\t\x01 \xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F \xE2\x82\xAC \xF0\x9F\x93\x85"));
    put(cal, "Stray", Variant::string("\xFF\xC3(\xE2\x82 end"));
    put(cal, "ToolTip", Variant::string(""));
    put(cal, "Tag", Variant());
    put(cal, "Picture", Variant::object(smallPicture()));
    put(cal, "NoPicture", Variant::object(nullptr));
    put(cal, "Font", Variant::object(std::make_shared<Font>()), 2);

    auto& ctl = form.controls.emplace_back();
    ctl.className = "TavoSSAddOn.TavoSSTreeController";
    ctl.name = "Ctl1";
    ctl.properties.add({"mySSTree", 1, Variant(), "Tree1", 0});
    put(ctl, "ToolTipTextMinus", Variant::string("Aktuelles Element zuklappen – weiß"));

    auto& tree = form.controls.emplace_back();
    tree.className = "SSActiveTreeView.SSTree";
    tree.name = "Tree1";
    tree.place = {-15, 0, 1e7f, 3.25e-3f};
    return form;
}

TEST(FormFile, EveryValueTypeRoundTrips) {
    const FormData form = everyValueType();
    const std::string text = formatFormText(form);
    const FormData back = parseFormText(text, "every.frm");
    expectSameForm(form, back);
    EXPECT_EQ(formatFormText(back), text) << "writing what was read gives the same text";

    // The file keeps colours as signed 32-bit and German text as it is.
    EXPECT_NE(text.find("CalendarMonthBackColor = -2147483643&\n"), std::string::npos) << text;
    EXPECT_NE(text.find("CalendarMonthBackColor(2) = 255&\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Aktuelles Element zuklappen – weiß\""), std::string::npos) << text;
    EXPECT_NE(text.find("Value = #2000-08-21 14:30:00#\n"), std::string::npos) << text;
    EXPECT_NE(text.find("MinDate = #1601-01-01#\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Whole = 3.0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"\\xFF\\xC3(\\xE2\\x82 end\""), std::string::npos) << "stray bytes are escaped: " << text;
}

TEST(FormFile, WritesTheDocumentedLayout) {
    FormData form;
    auto& c = form.controls.emplace_back();
    c.className = "TavoSSAddOn.TavoSSTreeController";
    c.name = "Ctl1";
    c.place = {120, 240, 1080, 225};
    put(c, "BackColor", Variant::longValue(255));
    c.properties.add({"mySSTree", 1, Variant(), "Ctl1", 0});
    EXPECT_EQ(formatFormText(form),
              "VERSION 1.00\n"
              "Begin Form Form1\n"
              "   Begin TavoSSAddOn.TavoSSTreeController Ctl1\n"
              "      Left = 120\n"
              "      Top = 240\n"
              "      Width = 1080\n"
              "      Height = 225\n"
              "      BackColor = 255&\n"
              "      mySSTree = Control Ctl1\n"
              "   End\n"
              "End\n");
}

std::string documentedExample() {
    std::ifstream in(std::string(TAVO_SOURCE_DIR) + "/docs/form-files.md");
    std::stringstream all;
    all << in.rdbuf();
    const std::string doc = all.str();
    const std::string fence = "```text\n";
    size_t start = doc.find(fence);
    if (start == std::string::npos) return {};
    start += fence.size();
    return doc.substr(start, doc.find("```", start) - start);
}

TEST(FormFile, ReadsTheDocumentedExample) {
    const std::string example = documentedExample();
    ASSERT_FALSE(example.empty()) << "docs/form-files.md holds a ```text example";
    const FormData form = parseFormText(example, "form-files.md");
    ASSERT_EQ(form.controls.size(), 3u);
    const auto& cal = form.controls[0];
    EXPECT_EQ(cal.className, "TavoCalendar.TavoCalendarDropDown");
    EXPECT_EQ(cal.place.width, 3015);
    PropertyStore store = cal.properties;
    auto font = std::dynamic_pointer_cast<Font>(store.ReadProperty("Font", Variant()).toObject());
    ASSERT_TRUE(font);
    EXPECT_EQ(font->name, "Arial");
    EXPECT_TRUE(font->bold());
    EXPECT_EQ(store.ReadProperty("CalendarMonthBackColor", Variant()).toColour(), 0x80000005u);
    EXPECT_EQ(store.ReadProperty("CalendarMonthBackColor", Variant()).toColour(), 0xFFu);
    EXPECT_EQ(store.ReadProperty("Value", Variant()).toDate(), dateTimeSerial({2000, 8, 21, 14, 30, 0}));
    EXPECT_TRUE(std::dynamic_pointer_cast<Picture>(store.ReadProperty("Picture", Variant()).toObject()));
    EXPECT_EQ(form.controls[1].properties.entries().at(0).refName, "Tree1");
}

TEST(FormFile, AcceptsCrlfBomCommentsFreeIndentationAndHandWrittenForms) {
    const std::string text =
        "\xEF\xBB\xBF' written by hand\r\n"
        "version 1.00\r\n"
        "\r\n"
        "begin form Form1\r\n"
        "# a comment\r\n"
        "Begin A.B One\r\n"
        "\t\tcolour  =&H80000005&   \r\n"
        "flag=true\r\n"
        "day = #2000-8-1 9:05#\r\n"
        "link = Control two\r\n"
        "beginproperty Font(2)\r\n"
        "size = 12\r\n"
        "endproperty\r\n"
        "end\r\n"
        "   Begin A.B Two\r\n"
        "   End\r\n"
        "end\r\n";
    const FormData form = parseFormText(text, "hand.frm");
    ASSERT_EQ(form.controls.size(), 2u);
    const auto& e = form.controls[0].properties.entries();
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[0].value.type(), VarType::Long);
    EXPECT_EQ(e[0].value.toColour(), 0x80000005u);
    EXPECT_EQ(e[0].line, 7);
    EXPECT_TRUE(e[1].value.isTrue());
    EXPECT_EQ(e[2].value.toDate(), dateTimeSerial({2000, 8, 1, 9, 5, 0}));
    EXPECT_EQ(e[3].refName, "two");
    EXPECT_EQ(e[4].occurrence, 2);
    EXPECT_EQ(std::dynamic_pointer_cast<Font>(e[4].value.rawObject())->size, 12);
    EXPECT_EQ(form.controls[1].line, 15);
}

struct BadCase {
    const char* name;
    std::string body;  // follows "VERSION 1.00\nBegin Form F\n" unless whole
    int line;
    const char* key;
    const char* problem;
    bool whole = false;
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

class BadFormFile : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadFormFile, IsAnErrorNamingFileLineAndKey) {
    const BadCase& c = GetParam();
    const std::string text = c.whole ? c.body : "VERSION 1.00\nBegin Form F\n" + c.body;
    try {
        parseFormText(text, "bad.frm");
        FAIL() << "accepted:\n" << text;
    } catch (const FormFileError& e) {
        const std::string what = e.what();
        EXPECT_EQ(e.file(), "bad.frm");
        EXPECT_EQ(e.line(), c.line) << what;
        EXPECT_EQ(e.key(), c.key) << what;
        std::string prefix = "bad.frm:" + std::to_string(c.line) + ": " + (*c.key ? std::string(c.key) + ": " : "");
        EXPECT_EQ(what.rfind(prefix, 0), 0u) << what;
        EXPECT_NE(what.find(c.problem), std::string::npos) << what;
    }
}

const std::string kCtl = "Begin A.B C\n";  // the control's Begin is line 3

INSTANTIATE_TEST_SUITE_P(
    Reading, BadFormFile,
    ::testing::Values(
        BadCase{"EmptyFile", "", 1, "", "missing VERSION", true},
        BadCase{"NoVersion", "Begin Form F\nEnd\n", 1, "", "missing VERSION", true},
        BadCase{"FutureVersion", "VERSION 2.00\nBegin Form F\nEnd\n", 1, "", "unsupported version", true},
        BadCase{"NoForm", "VERSION 1.00\nBegin A.B C\nEnd\n", 2, "", "missing Begin Form", true},
        BadCase{"OnlyVersion", "VERSION 1.00\n", 1, "", "missing Begin Form", true},
        BadCase{"SecondForm", "End\nBegin Form G\nEnd\n", 4, "", "a second form"},
        BadCase{"FormInsideForm", "Begin Form G\nEnd\nEnd\n", 3, "", "a second form"},
        BadCase{"TextAfterForm", "End\nstray\n", 4, "", "text after the form's End"},
        BadCase{"FormWithoutEnd", kCtl + "End\n", 2, "", "unterminated block"},
        BadCase{"ControlWithoutEnd", kCtl + "X = 1\n", 3, "", "unterminated block"},
        BadCase{"ControlEndsAtNextBegin", kCtl + "Begin A.B D\nEnd\nEnd\n", 4, "", "unterminated block"},
        BadCase{"FontWithoutEndProperty", kCtl + "BeginProperty Font\nSize = 9\nEnd\nEnd\n", 6, "Font", "unterminated block"},
        BadCase{"FontAtEndOfFile", kCtl + "BeginProperty Font(2)\n", 4, "Font(2)", "unterminated block"},
        BadCase{"NoEquals", kCtl + "Caption \"x\"\nEnd\nEnd\n", 4, "Caption", "bad syntax"},
        BadCase{"NoKey", kCtl + "= 5\nEnd\nEnd\n", 4, "", "bad syntax"},
        BadCase{"NoValue", kCtl + "X =\nEnd\nEnd\n", 4, "X", "value is missing"},
        BadCase{"StrayEndProperty", kCtl + "EndProperty\nEnd\nEnd\n", 4, "", "bad syntax"},
        BadCase{"PropertyOnTheForm", "Caption = \"x\"\nEnd\n", 3, "Caption", "only control blocks"},
        BadCase{"BadClassName", "Begin Gadget C\nEnd\nEnd\n", 3, "", "bad class name"},
        BadCase{"BadControlName", "Begin A.B 9C\nEnd\nEnd\n", 3, "", "bad control name"},
        BadCase{"UnknownEscape", kCtl + "Caption = \"a\\qb\"\nEnd\nEnd\n", 4, "Caption", "unknown escape"},
        BadCase{"ShortHexEscape", kCtl + "Caption = \"a\\x4\"\nEnd\nEnd\n", 4, "Caption", "unknown escape"},
        BadCase{"BackslashAtLineEnd", kCtl + "Caption = \"a\\\nEnd\nEnd\n", 4, "Caption", "unterminated string"},
        BadCase{"UnterminatedString", kCtl + "Caption = \"abc\nEnd\nEnd\n", 4, "Caption", "unterminated string"},
        BadCase{"LettersInNumber", kCtl + "Count = 12x\nEnd\nEnd\n", 4, "Count", "bad number"},
        BadCase{"LoneMinus", kCtl + "Count = -\nEnd\nEnd\n", 4, "Count", "bad number"},
        BadCase{"IntegerTooBig", kCtl + "Count = 32768\nEnd\nEnd\n", 4, "Count", "out of range for Integer"},
        BadCase{"LongTooBig", kCtl + "Colour = 2147483648&\nEnd\nEnd\n", 4, "Colour", "out of range for Long"},
        BadCase{"FractionalLong", kCtl + "Colour = 1.5&\nEnd\nEnd\n", 4, "Colour", "bad number"},
        BadCase{"DoubleTooBig", kCtl + "Ratio = 1e999\nEnd\nEnd\n", 4, "Ratio", "out of range for Double"},
        BadCase{"HexTooLong", kCtl + "Colour = &H123456789&\nEnd\nEnd\n", 4, "Colour", "bad number"},
        BadCase{"PlacementTooBig", kCtl + "Width = 1e39\nEnd\nEnd\n", 4, "Width", "out of range"},
        BadCase{"PlacementNotANumber", kCtl + "Left = \"10\"\nEnd\nEnd\n", 4, "Left", "expected a number"},
        BadCase{"NoSuchDay", kCtl + "Value = #2001-02-29#\nEnd\nEnd\n", 4, "Value", "bad date"},
        BadCase{"DayFirstDate", kCtl + "Value = #21/08/2000#\nEnd\nEnd\n", 4, "Value", "bad date"},
        BadCase{"NoSuchTime", kCtl + "Value = #2000-08-21 24:00:00#\nEnd\nEnd\n", 4, "Value", "bad date"},
        BadCase{"DateWithoutClose", kCtl + "Value = #2000-08-21\nEnd\nEnd\n", 4, "Value", "bad date"},
        BadCase{"YearBefore100", kCtl + "Value = #0099-12-31#\nEnd\nEnd\n", 4, "Value", "bad date"},
        BadCase{"BadBase64", kCtl + "Picture = Picture \"R0lG*Dlh\"\nEnd\nEnd\n", 4, "Picture", "bad base64"},
        BadCase{"Base64Length", kCtl + "Picture = Picture \"R0lGO\"\nEnd\nEnd\n", 4, "Picture", "bad base64"},
        BadCase{"NotAnImage", kCtl + "Picture = Picture \"AAAAAAAA\"\nEnd\nEnd\n", 4, "Picture", "not an image"},
        BadCase{"DuplicateControl", kCtl + "End\nBegin A.B c\nEnd\nEnd\n", 5, "", "duplicate control name"},
        BadCase{"MissingReference", kCtl + "mySSTree = Control Tree1\nEnd\nEnd\n", 4, "mySSTree", "no control named Tree1"},
        BadCase{"UnknownWord", kCtl + "Enabled = Yes\nEnd\nEnd\n", 4, "Enabled", "unknown value word"},
        BadCase{"TextAfterValue", kCtl + "Count = 12 13\nEnd\nEnd\n", 4, "Count", "text after the value"},
        BadCase{"TextAfterEnd", kCtl + "End now\nEnd\n", 4, "", "text after End"},
        BadCase{"DuplicateKey", kCtl + "Count = 1\ncount = 2\nEnd\nEnd\n", 5, "count", "duplicate key"},
        BadCase{"DuplicateFirstOccurrence", kCtl + "Count = 1\nCount(1) = 2\nEnd\nEnd\n", 5, "Count(1)", "duplicate key"},
        BadCase{"DuplicatePlacement", kCtl + "Left = 1\nLeft = 2\nEnd\nEnd\n", 5, "Left", "duplicate key"},
        BadCase{"ZeroOccurrence", kCtl + "Count(0) = 1\nEnd\nEnd\n", 4, "Count", "bad syntax"},
        BadCase{"PlacementAsBlock", kCtl + "BeginProperty Left\nSize = 9\nEndProperty\nEnd\nEnd\n", 4, "Left",
                "Left is the control's placement"},
        BadCase{"SecondByteOrderMark", "\xEF\xBB\xBF\xEF\xBB\xBFVERSION 1.00\nBegin Form F\nEnd\n", 1, "",
                "a second byte-order mark (U+FEFF, an invisible character)", true},
        BadCase{"ByteOrderMarkInside", kCtl + "\xEF\xBB\xBF" "Count = 1\nEnd\nEnd\n", 4, "", "a byte-order mark"},
        BadCase{"NoBreakSpaceBeforeValue", kCtl + "Count = \xC2\xA0" "5\nEnd\nEnd\n", 4, "Count",
                "expected a value, found \"<U+00A0>5\""},
        BadCase{"UnknownFontField", kCtl + "BeginProperty Font\nColour = 1\nEndProperty\nEnd\nEnd\n", 5,
                "Font.Colour", "unknown font property"},
        BadCase{"FontNameNotText", kCtl + "BeginProperty Font\nName = 12\nEndProperty\nEnd\nEnd\n", 5, "Font.Name",
                "bad value"}));

TEST(FormFile, ARoundTripOfAFormReadsEveryOccurrenceOfATwiceWrittenKey) {
    const FormData form = parseFormText(
        "VERSION 1.00\nBegin Form F\nBegin A.B C\nK(2) = 5\nK(3) = 6\nK = 4\nEnd\nEnd\n", "occ.frm");
    PropertyStore store = form.controls[0].properties;
    EXPECT_EQ(store.ReadProperty("K", Variant::integer(0)).toInteger(), 4);
    EXPECT_EQ(store.ReadProperty("K", Variant::integer(0)).toInteger(), 5);
    EXPECT_EQ(store.ReadProperty("K", Variant::integer(0)).toInteger(), 6);
}

class Widget : public Object {
public:
    std::string className() const override { return "Widget"; }
};

TEST(FormFile, WritingAValueThatHasNoFormIsAnErrorNamingControlAndKey) {
    auto expectError = [](const FormData& form, const std::string& key, const std::string& problem) {
        try {
            formatFormText(form);
            FAIL() << "written: " << key;
        } catch (const FormFileError& e) {
            EXPECT_EQ(e.key(), key);
            EXPECT_NE(std::string(e.what()).find(problem), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("Cal1"), std::string::npos) << e.what();
        }
    };
    FormData form;
    auto& c = form.controls.emplace_back();
    c.className = "TavoCalendar.TavoCalendarDropDown";
    c.name = "Cal1";

    put(c, "Tag", Variant::object(std::make_shared<Widget>()), 2);
    expectError(form, "Tag(2)", "\"Widget\" cannot be written");

    c.properties = {};
    c.properties.add({"mySSTree", 1, Variant(), "Tree9", 0});
    expectError(form, "mySSTree", "not on the form");

    c.properties = {};
    put(c, "Width", Variant::integer(1));
    expectError(form, "Width", "placement");

    c.properties = {};
    put(c, "Ratio", Variant::number(std::numeric_limits<double>::infinity()));
    expectError(form, "Ratio", "not finite");
}

// ---- files --------------------------------------------------------------

struct FileFailure {
    FileStep step;
    const char* problem;  // the error's text after the file's name
};

class FormFileAccess : public ::testing::TestWithParam<FileFailure> {};

TEST_P(FormFileAccess, AFailingStepIsAnErrorNamingItAndTheOldFileStaysAlone) {
    MemoryFileSystem memory;
    saveFormFile("main.frm", everyValueType(), memory);
    const std::map<std::string, std::string> before = memory.files();
    FailingFileSystem failing(memory, GetParam().step, "Disk full");
    try {
        if (GetParam().step == FileStep::Open || GetParam().step == FileStep::Read)
            readFormFile("main.frm", failing);
        else
            saveFormFile("main.frm", FormData{}, failing);
        FAIL();
    } catch (const FormFileError& e) {
        EXPECT_EQ(e.file(), "main.frm");
        EXPECT_EQ(std::string(e.what()), std::string("main.frm: ") + GetParam().problem);
    }
    EXPECT_EQ(memory.files(), before);
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, FormFileAccess,
    ::testing::Values(
        FileFailure{FileStep::Open, "cannot open the form file: Disk full"},
        FileFailure{FileStep::Read, "cannot read the form file: Disk full"},
        FileFailure{FileStep::Replace, "cannot save over it: Disk full (nothing was written; save under another name)"},
        FileFailure{FileStep::Create, "cannot save: cannot create the new file beside it: Disk full"},
        FileFailure{FileStep::Write, "cannot save: cannot write the new file: Disk full (the old file is unchanged)"},
        FileFailure{FileStep::Sync, "cannot save: cannot flush the new file: Disk full (the old file is unchanged)"},
        FileFailure{FileStep::Close, "cannot save: cannot close the new file: Disk full (the old file is unchanged)"},
        FileFailure{FileStep::Rename,
                    "cannot save: cannot put the new file in its place: Disk full (the old file is unchanged)"}),
    [](const auto& param) { return std::string(fileStepVerb(param.param.step)); });


// Answers every read as too large for the limit it is asked to keep.
class EndlessFiles : public FileSystem {
public:
    std::string readFile(const std::string& path, std::size_t maxBytes) override { throw FileTooLarge(path, maxBytes); }
    std::unique_ptr<FileReplacement> startReplacing(const std::string&) override { return nullptr; }
};

TEST(FormFile, ReadingStopsAtTheLimitAndAnEmptyNameIsSaidToBeOne) {
    EndlessFiles endless;
    try {
        readFormFile("huge.frm", endless);
        FAIL();
    } catch (const FormFileError& e) {
        EXPECT_STREQ(e.what(),
                     "huge.frm: cannot read the form file: it holds more than 256 MiB, the most a form file may hold");
    }
    try {
        saveFormFile("", everyValueType(), endless);
        FAIL();
    } catch (const FormFileError& e) {
        EXPECT_STREQ(e.what(), "cannot save: the file name is empty; name the file to save to");
    }
}

class FormFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tavo-form-file-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "main.frm").string();
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
    std::string contents() const {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    size_t entriesInDir() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }
    fs::path dir;
    std::string path;
};

TEST_F(FormFileOnDisk, SavesAndReadsBack) {
    const FormData form = everyValueType();
    saveFormFile(path, form);
    expectSameForm(form, readFormFile(path));
    EXPECT_EQ(entriesInDir(), 1u) << "no temporary file is left behind";
}

TEST_F(FormFileOnDisk, ReadErrorsNameTheFile) {
    try {
        readFormFile(path);
        FAIL();
    } catch (const FormFileError& e) {
        EXPECT_EQ(e.file(), path);
        EXPECT_NE(std::string(e.what()).find("No such file"), std::string::npos) << e.what();
    }
    EXPECT_THROW(readFormFile(dir.string()), FormFileError);
    std::ofstream(path) << "VERSION 1.00\nBegin Form F\n";
    try {
        readFormFile(path);
        FAIL();
    } catch (const FormFileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind(path + ":2: ", 0), 0u) << e.what();
    }
}

TEST_F(FormFileOnDisk, AFailedSaveLeavesTheOldFileWholeAndNoTemporary) {
    saveFormFile(path, everyValueType());
    const std::string old = contents();
    FormData bigger = everyValueType();
    for (int i = 0; i < 200; ++i) {
        FormControlData copy = bigger.controls[0];
        copy.name = std::string("N").append(std::to_string(i));
        bigger.controls.push_back(std::move(copy));
    }

    // A write that fails halfway through.
    FailingFileSystem failingWrite(diskFileSystem(), FileStep::Write, "File too large");
    EXPECT_THROW(saveFormFile(path, bigger, failingWrite), FormFileError);
    EXPECT_EQ(contents(), old);
    EXPECT_EQ(entriesInDir(), 1u);

    // A value that cannot be written fails before anything touches the disk.
    FormData unwritable = everyValueType();
    put(unwritable.controls[0], "Tag", Variant::object(std::make_shared<Widget>()));
    try {
        saveFormFile(path, unwritable);
        FAIL();
    } catch (const FormFileError& e) {
        EXPECT_EQ(e.file(), path);
        EXPECT_EQ(e.key(), "Tag");
    }
    EXPECT_EQ(contents(), old);

    // The rename fails when the target is a folder.
    fs::create_directories(dir / "sub.frm" / "inner");
    EXPECT_THROW(saveFormFile((dir / "sub.frm").string(), bigger), FormFileError);
    EXPECT_EQ(entriesInDir(), 2u);

    // A read-only file is not replaced.
    ::chmod(path.c_str(), 0444);
    try {
        saveFormFile(path, bigger);
        FAIL();
    } catch (const FormFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  path + ": cannot save over it: it is read-only (nothing was written; save under another name)");
    }
    ::chmod(path.c_str(), 0644);
    EXPECT_EQ(contents(), old);

    // No folder to write in.
    EXPECT_THROW(saveFormFile((dir / "missing" / "x.frm").string(), bigger), FormFileError);

#ifndef _WIN32
    // A folder that cannot be written (root writes anyway; on Windows the
    // read-only mark of a folder does not keep files out).
    if (::geteuid() != 0) {
        fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_THROW(saveFormFile(path, bigger), FormFileError);
        fs::permissions(dir, fs::perms::owner_all);
        EXPECT_EQ(contents(), old);
        EXPECT_EQ(entriesInDir(), 2u);
    }
#endif
}

}  // namespace
}  // namespace tavo
