#include "tavo/host/date.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/error_number.h"
#include "tavo/host/error.h"

namespace tavo {
namespace {

void expectParts(const DateParts& p, int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    EXPECT_EQ(p.year, y);
    EXPECT_EQ(p.month, mo);
    EXPECT_EQ(p.day, d);
    EXPECT_EQ(p.hour, h);
    EXPECT_EQ(p.minute, mi);
    EXPECT_EQ(p.second, s);
}

TEST(DateSerial, KnownDaysMapToTheirSerialsAndBack) {
    struct Case {
        int y, m, d;
        double serial;
    };
    for (const Case& c : {Case{100, 1, 1, -657434}, Case{1601, 1, 1, -109205}, Case{1753, 1, 1, -53688},
                          Case{1899, 12, 30, 0}, Case{1900, 1, 1, 2}, Case{1900, 3, 1, 61},
                          Case{2000, 8, 21, 36759}, Case{9999, 12, 31, 2958465}}) {
        SCOPED_TRACE(c.serial);
        EXPECT_EQ(dateSerial(c.y, c.m, c.d), c.serial);
        expectParts(splitDate(c.serial), c.y, c.m, c.d);
    }
}

TEST(DateSerial, DaysOutsideTheRangeOrCalendarOverflow) {
    EXPECT_EQ(errorNumberOf([] { dateSerial(99, 12, 31); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { dateSerial(10000, 1, 1); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { dateSerial(2001, 2, 29); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { dateSerial(1900, 2, 29); }), err::Overflow);
    EXPECT_EQ(dateSerial(2000, 2, 29), 36585);
    EXPECT_EQ(errorNumberOf([] { dateTimeSerial({2000, 1, 1, 24, 0, 0}); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { splitDate(2958466); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([] { splitDate(-657435); }), err::Overflow);
}

TEST(DateSerial, TheRangeEndsWithTheLastSecondOfItsLastDay) {
    EXPECT_TRUE(dateInRange(kMinDateSerial));
    EXPECT_TRUE(dateInRange(-657434 - 86399.0 / 86400));  // 1 Jan 100, 23:59:59
    EXPECT_TRUE(dateInRange(kMaxDateSerial + 86399.0 / 86400));
    // 23:59:59.6 on the last day rounds into the year 10000.
    EXPECT_FALSE(dateInRange(kMaxDateSerial + 86399.6 / 86400));
    EXPECT_FALSE(dateInRange(kMaxDateSerial + 1));
    EXPECT_FALSE(dateInRange(kMinDateSerial - 1));
    EXPECT_FALSE(dateInRange(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(dateInRange(1e300));
}

TEST(DateSerial, LeftoverAboveHalfASecondRoundsUpWithCarries) {
    const double day = dateSerial(2000, 8, 21);
    expectParts(splitDate(day + 86399.6 / 86400), 2000, 8, 22);
    expectParts(splitDate(day + (10 * 3600 + 59 * 60 + 59.7) / 86400), 2000, 8, 21, 11, 0, 0);
    expectParts(splitDate(day + (12 * 3600 + 0.4) / 86400), 2000, 8, 21, 12, 0, 0);
    expectParts(splitDate(dateSerial(1999, 12, 31) + 86399.9 / 86400), 2000, 1, 1);
    // Times whose fraction is not exact in binary still come out whole.
    expectParts(splitDate(dateTimeSerial({2000, 8, 21, 14, 30, 0})), 2000, 8, 21, 14, 30, 0);
}

TEST(DateSerial, BelowZeroTheFractionIsAPositiveTimeOfDay) {
    expectParts(splitDate(-1.25), 1899, 12, 29, 6);
    EXPECT_EQ(dateTimeSerial({1899, 12, 29, 6, 0, 0}), -1.25);
    expectParts(splitDate(-1.75), 1899, 12, 29, 18);
    // Day zero is not negative: its times are plain positive fractions.
    EXPECT_EQ(dateTimeSerial({1899, 12, 30, 6, 0, 0}), 0.25);
    expectParts(splitDate(dateSerial(1601, 1, 1) - 0.5), 1601, 1, 1, 12);
    // One second before midnight of day -2 rounds into day -1 (29 December).
    expectParts(splitDate(-2 - 86399.7 / 86400), 1899, 12, 29);
}

TEST(DateSerial, TheStraightLineScaleSortsNegativeDatesInTimeOrder) {
    // 29 Dec 06:00 (-1.25) comes before 29 Dec 18:00 (-1.75), against raw order.
    EXPECT_LT(dateLinear(-1.25), dateLinear(-1.75));
    EXPECT_LT(dateLinear(-1.75), dateLinear(0));
    EXPECT_LT(dateLinear(-2.0), dateLinear(-1.9));
    EXPECT_EQ(dateLinear(-1.25), -0.75);
    EXPECT_EQ(dateLinear(36759.5), 36759.5);
    for (double serial : {-1.25, -1.75, -2.0, -657434.5, 0.0, 0.25, 36759.5})
        EXPECT_EQ(dateFromLinear(dateLinear(serial)), serial) << serial;
}

TEST(DateSerial, WeekdaysCountFromSunday) {
    EXPECT_EQ(weekday(0), 7);      // 30 Dec 1899, Saturday
    EXPECT_EQ(weekday(1), 1);      // Sunday
    EXPECT_EQ(weekday(36759), 2);  // 21 Aug 2000, Monday
    EXPECT_EQ(weekday(36759.99), 2);
    EXPECT_EQ(weekday(-1.25), 6);  // Friday
    EXPECT_EQ(weekday(kMinDateSerial), weekday(kMinDateSerial - 0.5));
}

class ParseDate : public ::testing::TestWithParam<DateOrder> {};

TEST_P(ParseDate, UnambiguousTextsReadTheSameInEitherOrder) {
    const DateOrder order = GetParam();
    EXPECT_EQ(parseDate("31/12/9999", order), 2958465);
    EXPECT_EQ(parseDate("01/01/1900", order), 2);
    EXPECT_EQ(parseDate("21/08/2000", order), 36759);
    EXPECT_EQ(parseDate("08/21/2000", order), 36759);
    EXPECT_EQ(parseDate("21-08-2000", order), 36759);
    EXPECT_EQ(parseDate("21.8.2000", order), 36759);
    EXPECT_EQ(parseDate("2000-08-21", order), 36759);
    EXPECT_EQ(parseDate("  21/08/2000  ", order), 36759);
    EXPECT_EQ(parseDate("0100-01-01", order), kMinDateSerial);
}

TEST_P(ParseDate, TwoDigitYearsBelowThirtyAreThisCentury) {
    const DateOrder order = GetParam();
    EXPECT_EQ(parseDate("21/08/00", order), 36759);
    EXPECT_EQ(parseDate("31/12/29", order), dateSerial(2029, 12, 31));
    EXPECT_EQ(parseDate("31/12/30", order), dateSerial(1930, 12, 31));
    EXPECT_EQ(parseDate("31/12/99", order), dateSerial(1999, 12, 31));
    EXPECT_EQ(parseDate("31/12/5", order), dateSerial(2005, 12, 31));
    // A year-first text with a two-digit year, when no other order fits.
    EXPECT_EQ(parseDate("99/12/31", order), dateSerial(1999, 12, 31));
}

TEST_P(ParseDate, ATimeMayFollow) {
    const DateOrder order = GetParam();
    EXPECT_EQ(parseDate("21/08/2000 14:30:00", order), dateTimeSerial({2000, 8, 21, 14, 30, 0}));
    EXPECT_EQ(parseDate("21/08/2000 14:30", order), dateTimeSerial({2000, 8, 21, 14, 30, 0}));
    EXPECT_EQ(parseDate("21/08/2000 2:30 PM", order), dateTimeSerial({2000, 8, 21, 14, 30, 0}));
    EXPECT_EQ(parseDate("21/08/2000 12:00:01 am", order), dateTimeSerial({2000, 8, 21, 0, 0, 1}));
    EXPECT_EQ(parseDate("2000-08-21 23:59:59", order), dateTimeSerial({2000, 8, 21, 23, 59, 59}));
    EXPECT_EQ(parseDate("29/12/1899 06:00", order), -1.25);
}

TEST_P(ParseDate, TextThatIsNotADateGivesNothing) {
    const DateOrder order = GetParam();
    for (const char* text :
         {"", "   ", "abc", "21/08", "21/08/", "21/08/2000x", "21/08-2000", "32/13/2000", "29/02/2001",
          "00/01/2000", "21/08/20000", "21/08/2000 25:00", "21/08/2000 14:60", "21/08/2000 13:00 PM",
          "21/08/2000 14:30 XM", "21/08/200014:30", "21/08/2000 14", "-21/08/2000", "21 08 2000",
          "0099-12-31", "14:30"}) {
        EXPECT_EQ(parseDate(text, order), std::nullopt) << '"' << text << '"';
    }
}

INSTANTIATE_TEST_SUITE_P(BothOrders, ParseDate,
                         ::testing::Values(DateOrder::DayMonthYear, DateOrder::MonthDayYear));

TEST(ParseDateOrder, AmbiguousTextsFollowThePreferredOrder) {
    EXPECT_EQ(parseDate("02/03/2000", DateOrder::DayMonthYear), dateSerial(2000, 3, 2));
    EXPECT_EQ(parseDate("02/03/2000", DateOrder::MonthDayYear), dateSerial(2000, 2, 3));
    EXPECT_EQ(parseDate("12/11/10", DateOrder::DayMonthYear), dateSerial(2010, 11, 12));
    EXPECT_EQ(parseDate("12/11/10", DateOrder::MonthDayYear), dateSerial(2010, 12, 11));
}

TEST(ParseDateOrder, ThePreferenceBelongsToTheThreadAndStartsDayFirst) {
    EXPECT_EQ(preferredDateOrder(), DateOrder::DayMonthYear);
    setPreferredDateOrder(DateOrder::MonthDayYear);
    DateOrder seenElsewhere = DateOrder::MonthDayYear;
    std::thread([&] { seenElsewhere = preferredDateOrder(); }).join();
    EXPECT_EQ(seenElsewhere, DateOrder::DayMonthYear);
    EXPECT_EQ(preferredDateOrder(), DateOrder::MonthDayYear);
    setPreferredDateOrder(DateOrder::DayMonthYear);
}

TEST(FormatDate, CanonicalTextShowsTheTimeOnlyWhenThereIsOne) {
    EXPECT_EQ(formatDateCanonical(36759), "2000-08-21");
    EXPECT_EQ(formatDateCanonical(36759.5), "2000-08-21 12:00:00");
    EXPECT_EQ(formatDateCanonical(kMinDateSerial), "0100-01-01");
    EXPECT_EQ(formatDateCanonical(-1.25), "1899-12-29 06:00:00");
    EXPECT_EQ(formatDateCanonical(dateSerial(2000, 8, 21) + 86399.6 / 86400), "2000-08-22");
}

TEST(FormatDate, CanonicalTextReadsBackToTheSameSecond) {
    for (double serial : {-657434.0, -109205.5, -1.25, -1.75, 0.0, 0.999988, 36759.604166, 2958465.99998}) {
        const std::string text = formatDateCanonical(serial);
        for (DateOrder order : {DateOrder::DayMonthYear, DateOrder::MonthDayYear}) {
            const auto back = parseDate(text, order);
            ASSERT_TRUE(back) << text;
            EXPECT_EQ(formatDateCanonical(*back), text);
        }
    }
}

}  // namespace
}  // namespace tavo
