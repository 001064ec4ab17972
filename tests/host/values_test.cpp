#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <set>

#include "support/error_number.h"
#include "tavo/host/colour.h"
#include "tavo/host/date.h"
#include "tavo/host/error.h"
#include "tavo/host/font.h"
#include "tavo/host/picture.h"
#include "tavo/host/value_conversions.h"
#include "tavo/host/variant.h"

namespace tavo {
namespace {

Variant text(const char* s) { return Variant::string(s); }

TEST(HostError, TextIsTheStandardTextWithTheDetailAfterIt) {
    try {
        throwHostError(err::Overflow, "70000 does not fit");
        FAIL();
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::Overflow);
        EXPECT_STREQ(e.what(), "Overflow: 70000 does not fit");
    }
    try {
        throwHostError(err::TypeMismatch);
        FAIL();
    } catch (const HostError& e) {
        EXPECT_STREQ(e.what(), "Type mismatch");
    }
}

TEST(HostError, EveryNumberTheCodeRaisesHasAStandardTextOfItsOwn) {
    const std::string unknown = standardErrorText(0);
    std::set<std::string> texts;
    for (int n : {err::InvalidProcedureCall, err::Overflow, err::TypeMismatch, err::InternalError, err::FileNotFound,
                  err::PathFileAccessError, err::ObjectNotSet, err::InvalidFileFormat, err::ControlArrayElementMissing,
                  err::InvalidPropertyValue, err::ReadOnlyProperty, err::FormAlreadyDisplayed, err::CantShowModeless,
                  err::ObjectRequired, err::CantCreateObject, err::NoSuchMember, err::InvalidPicture,
                  err::IndexOutOfBounds, err::ElementNotFound}) {
        EXPECT_NE(standardErrorText(n), unknown) << n;
        EXPECT_TRUE(texts.insert(standardErrorText(n)).second) << n;
    }
}

TEST(VariantToInteger, RoundsHalfToEven) {
    EXPECT_EQ(Variant::number(0.5).toInteger(), 0);
    EXPECT_EQ(Variant::number(1.5).toInteger(), 2);
    EXPECT_EQ(Variant::number(2.5).toInteger(), 2);
    EXPECT_EQ(Variant::number(-2.5).toInteger(), -2);
    EXPECT_EQ(Variant::number(-0.5).toInteger(), 0);
    EXPECT_EQ(Variant::number(2.5000001).toInteger(), 3);
    EXPECT_EQ(Variant::number(-1.7).toInteger(), -2);
    EXPECT_EQ(Variant::number(2.5).toLong(), 2);
    EXPECT_EQ(Variant::number(3.5).toLong(), 4);
    EXPECT_EQ(Variant::date(36759.5).toLong(), 36760);
}

TEST(VariantToInteger, OverflowsOutsideSixteenBits) {
    EXPECT_EQ(Variant::number(32767).toInteger(), 32767);
    EXPECT_EQ(Variant::number(32767.4).toInteger(), 32767);
    EXPECT_EQ(Variant::number(-32768).toInteger(), -32768);
    EXPECT_EQ(Variant::number(-32768.5).toInteger(), -32768);  // rounds to even, inside
    EXPECT_EQ(errorNumberOf([] { Variant::number(32767.5).toInteger(); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { Variant::number(32768).toInteger(); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { Variant::longValue(-32769).toInteger(); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { text("40000").toInteger(); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { Variant::number(std::nan("")).toInteger(); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { Variant::number(2147483647.5).toLong(); }), err::Overflow);
    EXPECT_EQ(Variant::number(-2147483648.0).toLong(), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(errorNumberOf([] { Variant::number(1e39).toSingle(); }), err::Overflow);
}

TEST(VariantFromText, ReadsDecimalAndHexNumbers) {
    EXPECT_EQ(text(" 12 ").toInteger(), 12);
    EXPECT_EQ(text("+7").toInteger(), 7);
    EXPECT_EQ(text("-2.5").toInteger(), -2);
    EXPECT_EQ(text("1.5e3").toDouble(), 1500);
    EXPECT_EQ(text("-.5").toDouble(), -0.5);
    EXPECT_EQ(text("5.").toDouble(), 5);
    EXPECT_EQ(text("2E-2").toDouble(), 0.02);
    EXPECT_EQ(text("&HFF").toInteger(), 255);
    EXPECT_EQ(text("&hffff").toInteger(), -1);
    EXPECT_EQ(text("&H8000").toInteger(), -32768);
    EXPECT_EQ(text("&HFFFF&").toLong(), 65535);
    EXPECT_EQ(text("&H80000005").toLong(), static_cast<int32_t>(0x80000005u));
    EXPECT_EQ(text("&H80000005").toColour(), vbWindowBackground);
    EXPECT_EQ(errorNumberOf([] { text("&HFFFF&").toInteger(); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { text("&H100000000").toLong(); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { text("1e999").toDouble(); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { text("0.001e99999999999999999999").toDouble(); }), err::Overflow);
    EXPECT_EQ(text("1e-999").toDouble(), 0);
    EXPECT_EQ(text("1000e-99999999999999999999").toDouble(), 0);
}

TEST(VariantFromText, TextThatIsNotANumberIsATypeMismatch) {
    for (const char* s : {"", " ", "abc", "1e", "e5", ".", "+", "1.2.3", "inf", "nan", "0x10", "1,5", "12abc",
                          "&H", "&HG", "&H&", "1 2", "--1"}) {
        EXPECT_EQ(errorNumberOf([&] { text(s).toDouble(); }), err::TypeMismatch) << '"' << s << '"';
    }
    try {
        text("abc").toInteger();
        FAIL();
    } catch (const HostError& e) {
        EXPECT_NE(std::string(e.what()).find("\"abc\""), std::string::npos) << e.what();
    }
}

TEST(VariantToBoolean, NumbersAndTextsGiveHostTruthValues) {
    EXPECT_EQ(Variant::number(0).toBoolean(), vbFalse);
    EXPECT_EQ(Variant::number(0.1).toBoolean(), vbTrue);
    EXPECT_EQ(Variant::integer(5).toBoolean(), vbTrue);
    EXPECT_EQ(Variant::boolean(true).toInteger(), -1);
    EXPECT_EQ(text("True").toBoolean(), vbTrue);
    EXPECT_EQ(text("tRuE").toBoolean(), vbTrue);
    EXPECT_EQ(text(" FALSE ").toBoolean(), vbFalse);
    EXPECT_EQ(text("0").toBoolean(), vbFalse);
    EXPECT_EQ(text("0.0").toBoolean(), vbFalse);
    EXPECT_EQ(text("-3").toBoolean(), vbTrue);
    EXPECT_EQ(text("&H0").toBoolean(), vbFalse);
    for (const char* s : {"", "yes", "Truth", "T", "#TRUE#"})
        EXPECT_EQ(errorNumberOf([&] { text(s).toBoolean(); }), err::TypeMismatch) << '"' << s << '"';
}

TEST(VariantToDate, AcceptsDatesNumbersInRangeAndDateTexts) {
    setPreferredDateOrder(DateOrder::DayMonthYear);
    EXPECT_EQ(text("21/08/2000").toDate(), 36759);
    EXPECT_EQ(text("02/03/2000").toDate(), dateSerial(2000, 3, 2));
    setPreferredDateOrder(DateOrder::MonthDayYear);
    EXPECT_EQ(text("02/03/2000").toDate(), dateSerial(2000, 2, 3));
    setPreferredDateOrder(DateOrder::DayMonthYear);
    EXPECT_EQ(Variant::integer(2).toDate(), 2);
    EXPECT_EQ(Variant::number(-1.25).toDate(), -1.25);
    EXPECT_EQ(Variant::date(kMaxDateSerial).toDate(), kMaxDateSerial);

    EXPECT_EQ(errorNumberOf([] { Variant::number(kMaxDateSerial + 1).toDate(); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { Variant::longValue(-700000).toDate(); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { Variant::date(kMinDateSerial - 1); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { text("hello").toDate(); }), err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([] { text("36759").toDate(); }), err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([] { text("31/02/2000").toDate(); }), err::TypeMismatch);
}

TEST(VariantToString, WritesTheHostsTextForms) {
    EXPECT_EQ(Variant::integer(-5).toString(), "-5");
    EXPECT_EQ(Variant::longValue(-2147483647 - 1).toString(), "-2147483648");
    EXPECT_EQ(Variant::number(0.1).toString(), "0.1");
    EXPECT_EQ(Variant::number(1440).toString(), "1440");
    EXPECT_EQ(Variant::number(-0.0).toString(), "0");
    EXPECT_EQ(Variant::number(1e20).toString(), "1E+20");
    EXPECT_EQ(Variant::number(3e6).toString(), "3000000") << "whole numbers below 1E+15 in full";
    EXPECT_EQ(Variant::number(-1e14).toString(), "-100000000000000");
    EXPECT_EQ(Variant::boolean(true).toString(), "True");
    EXPECT_EQ(Variant::boolean(false).toString(), "False");
    EXPECT_EQ(Variant::date(36759.5).toString(), "2000-08-21 12:00:00");
    // A double's text is the shortest that reads back as the same double.
    for (double d : {1.0 / 3, 2.0 / 3 * 1e-7, 123456789.125, -8.25, 5e-324, 1.7976931348623157e308})
        EXPECT_EQ(Variant::string(Variant::number(d).toString()).toDouble(), d) << d;
    // A date's text reads back as the same date.
    EXPECT_EQ(Variant::string(Variant::date(-1.25).toString()).toDate(), -1.25);
}

TEST(VariantEmpty, IsZeroEmptyTextAndFalseButNotADateOrObject) {
    const Variant empty;
    EXPECT_EQ(empty.toInteger(), 0);
    EXPECT_EQ(empty.toLong(), 0);
    EXPECT_EQ(empty.toDouble(), 0);
    EXPECT_EQ(empty.toString(), "");
    EXPECT_EQ(empty.toBoolean(), vbFalse);
    EXPECT_EQ(errorNumberOf([&] { empty.toDate(); }), err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([&] { empty.toObject(); }), err::TypeMismatch);
}

TEST(VariantObject, ConvertsToNothingButAnObject) {
    auto font = std::make_shared<Font>();
    const Variant obj = Variant::object(font);
    EXPECT_EQ(obj.toObject(), font);
    EXPECT_EQ(Variant::object(nullptr).toObject(), nullptr);
    EXPECT_TRUE(Variant::object(nullptr).isNothing());
    EXPECT_EQ(errorNumberOf([&] { obj.toInteger(); }), err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([&] { obj.toString(); }), err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([&] { obj.toBoolean(); }), err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([&] { obj.toDate(); }), err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([] { text("x").toObject(); }), err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([] { Variant::integer(0).toObject(); }), err::TypeMismatch);
}

TEST(VariantEquality, FollowsTheStoresDefaultRule) {
    EXPECT_EQ(Variant::integer(1), Variant::number(1.0));
    EXPECT_EQ(Variant::boolean(true), Variant::integer(-1));
    EXPECT_EQ(Variant::date(36759), Variant::longValue(36759));
    EXPECT_EQ(text("abc"), text("abc"));
    EXPECT_EQ(Variant(), Variant());
    EXPECT_NE(text("abc"), text("ABC"));
    EXPECT_NE(text("1"), Variant::integer(1));
    EXPECT_NE(Variant(), Variant::integer(0));
    EXPECT_NE(Variant(), text(""));
    EXPECT_NE(Variant(), Variant::object(nullptr));

    auto a = std::make_shared<Font>();
    auto b = std::make_shared<Font>();
    EXPECT_EQ(Variant::object(a), Variant::object(a));
    EXPECT_NE(Variant::object(a), Variant::object(b));  // same contents, other object
    EXPECT_EQ(Variant::object(nullptr), Variant::object(nullptr));
}

TEST(VariantCompare, DatesCompareOnTheTimeLine) {
    // 29 Dec 1899 18:00 (-1.75) is later than 06:00 (-1.25).
    EXPECT_GT(Variant::compare(Variant::date(-1.75), Variant::date(-1.25)), 0);
    EXPECT_LT(Variant::compare(Variant::date(-1.75), Variant::date(0)), 0);
    EXPECT_GT(Variant::compare(Variant::date(-1.75), Variant::number(-1.25)), 0);
    // Plain numbers keep their own order.
    EXPECT_LT(Variant::compare(Variant::number(-1.75), Variant::number(-1.25)), 0);
    EXPECT_EQ(Variant::compare(Variant::date(36759), Variant::integer(2)), 1);
    EXPECT_EQ(Variant::compare(Variant::boolean(true), Variant::integer(-1)), 0);
}

TEST(VariantCompare, TextsByBytesEmptyAsZeroOrNothingElse) {
    EXPECT_LT(Variant::compare(text("B"), text("a")), 0);
    EXPECT_LT(Variant::compare(text("z"), text("\xC3\xA9")), 0);  // bytes above 127 sort last
    EXPECT_LT(Variant::compare(text("ab"), text("abc")), 0);
    EXPECT_EQ(Variant::compare(Variant(), Variant::integer(0)), 0);
    EXPECT_LT(Variant::compare(Variant(), Variant::number(0.5)), 0);
    EXPECT_EQ(Variant::compare(Variant(), text("")), 0);
    EXPECT_EQ(Variant::compare(Variant(), Variant()), 0);
    EXPECT_EQ(errorNumberOf([] { Variant::compare(text("1"), Variant::integer(1)); }), err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([] { Variant::compare(Variant::object(nullptr), Variant::integer(0)); }),
              err::TypeMismatch);
}

struct ObjectConversion {
    const char* what;
    std::function<ObjectRef(const Variant&)> convert;
    Variant value;
    bool givesTheObject;    // else no object, or the error below
    const char* error;      // nullptr when it converts
};

TEST(ValueConversions, APictureOrAFontIsTheObjectItselfAndAnythingElseOneTypeMismatch) {
    const auto picture = Picture::fromBytes({'G', 'I', 'F', '8', '9', 'a', 2, 0, 3, 0, 0, 0, 0});
    const auto font = std::make_shared<Font>();
    const auto toPictureObject = [](const Variant& v) -> ObjectRef { return toPicture(v); };
    const auto toFontObject = [](const Variant& v) -> ObjectRef { return toFont(v); };
    const auto toRequiredFontObject = [](const Variant& v) -> ObjectRef { return toRequiredFont(v); };
    const Variant nothing = Variant::object(nullptr);
    for (const ObjectConversion& c : {
             ObjectConversion{"picture", toPictureObject, Variant::object(picture), true, nullptr},
             ObjectConversion{"no picture", toPictureObject, nothing, false, nullptr},
             ObjectConversion{"font as picture", toPictureObject, Variant::object(font), false,
                              "Type mismatch: Font object is not a picture"},
             ObjectConversion{"text as picture", toPictureObject, text("up.gif"), false,
                              "Type mismatch: \"up.gif\" cannot be converted to an object"},
             ObjectConversion{"font", toFontObject, Variant::object(font), true, nullptr},
             ObjectConversion{"no font", toFontObject, nothing, false, nullptr},
             ObjectConversion{"picture as font", toFontObject, Variant::object(picture), false,
                              "Type mismatch: Picture object is not a font"},
             ObjectConversion{"required font", toRequiredFontObject, Variant::object(font), true, nullptr},
             ObjectConversion{"required font missing", toRequiredFontObject, nothing, false,
                              "Type mismatch: Nothing is not a font"},
         }) {
        try {
            const ObjectRef converted = c.convert(c.value);
            EXPECT_EQ(c.error, nullptr) << c.what;
            EXPECT_EQ(converted, c.givesTheObject ? c.value.rawObject() : nullptr) << c.what;
        } catch (const HostError& e) {
            EXPECT_EQ(e.number(), err::TypeMismatch) << c.what;
            EXPECT_STREQ(e.what(), c.error ? c.error : "(converts)") << c.what;
        }
    }
}

TEST(ValueConversions, AColourIsALongOfTheSameBits) {
    for (uint32_t colour : {vbButtonFace, rgbColour(255, 128, 0), 0u}) {
        const Variant v = colourValue(colour);
        EXPECT_EQ(v.type(), VarType::Long);
        EXPECT_EQ(v.toColour(), colour);
    }
    EXPECT_LT(colourValue(vbButtonFace).toLong(), 0);
}

}  // namespace
}  // namespace tavo
