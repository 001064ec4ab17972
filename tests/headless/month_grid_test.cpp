// The headless month grid: its range and month rules, its size model, the
// months it shows, clicks on days, and its members by name.
#include "backends/headless/headless_month_grid.h"
#include "backends/headless/key_stroke.h"
#include "support/dates.h"
#include "tavo/host/date.h"
#include "tests/headless/headless_fixture.h"

namespace tavo {
namespace {

class MonthGridTest : public HeadlessTest {
protected:
    std::shared_ptr<Window> popup = host.createWindow(windowDesign("frmCalendar"));
    std::shared_ptr<HeadlessMonthGrid> grid = std::dynamic_pointer_cast<HeadlessMonthGrid>(
        popup->addComponent("MSComCtl2.MonthView", childDesign("cal", 0, 0, 2565, 6600)));
};

TEST_F(MonthGridTest, StartsWithItsDesignValues) {
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->minDate(), k1Jan1753);
    EXPECT_EQ(grid->maxDate(), k31Dec9999);
    EXPECT_EQ(grid->value(), k21Aug2000);
    EXPECT_EQ(grid->monthColumns(), 1);
    EXPECT_EQ(grid->monthRows(), 1);
    EXPECT_TRUE(grid->showToday());
    EXPECT_FALSE(grid->showWeekNumbers());
    EXPECT_EQ(grid->backColor(), 0x80000005u);
    EXPECT_EQ(grid->monthBackColor(), 0x80000005u);
    EXPECT_EQ(grid->trailingForeColor(), 0x80000011u);
    EXPECT_EQ(grid->font()->name, "MS Sans Serif");
}

TEST_F(MonthGridTest, RangeValueAndMonthCountsOutsideTheRulesAre380) {
    EXPECT_EQ(errorNumberOf([&] { grid->setMinDate(k1Jan1753 - 1); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { grid->setMaxDate(k31Dec9999 + 1); }), err::InvalidPropertyValue);
    grid->setMaxDate(36770);
    EXPECT_EQ(errorNumberOf([&] { grid->setMinDate(36771); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { grid->setValue(36771); }), err::InvalidPropertyValue);
    grid->setMinDate(36765);
    EXPECT_EQ(grid->value(), 36765) << "a narrower range moves the selected day into it";
    grid->setValue(36766.75);
    EXPECT_EQ(grid->value(), 36766) << "the grid selects days";

    EXPECT_EQ(errorNumberOf([&] { grid->setMonthRows(0); }), err::InvalidPropertyValue);
    grid->setMonthColumns(3);
    grid->setMonthRows(4);
    EXPECT_EQ(errorNumberOf([&] { grid->setMonthRows(5); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { grid->setMonthColumns(4); }), err::InvalidPropertyValue);
    EXPECT_EQ(grid->monthRows(), 4);
    EXPECT_EQ(grid->monthColumns(), 3);
}

TEST_F(MonthGridTest, ItsSizeFollowsMonthsWeekNumbersTodayLineAndFont) {
    // MS Sans Serif 8.25 at 96 DPI: lines 14 pixels, day columns 28 pixels.
    EXPECT_EQ(grid->pixelWidth(), 7 * 28 + 2);
    EXPECT_EQ(grid->pixelHeight(), 21 + 14 + 6 * 14 + 14 + 2);
    EXPECT_EQ(grid->width(), 198 * 15);
    EXPECT_EQ(grid->height(), 135 * 15);

    grid->setMonthColumns(2);
    grid->setMonthRows(3);
    EXPECT_EQ(grid->pixelWidth(), 2 * 196 + 6 + 2);
    EXPECT_EQ(grid->pixelHeight(), 3 * 133 + 2 * 6 + 2);
    grid->setShowWeekNumbers(true);
    EXPECT_EQ(grid->pixelWidth(), 2 * 224 + 6 + 2);
    grid->setShowToday(false);
    EXPECT_EQ(grid->pixelHeight(), 3 * 133 + 2 * 6 + 2 - 14);

    grid->setMonthColumns(1);
    grid->setMonthRows(1);
    grid->setShowWeekNumbers(false);
    grid->setShowToday(true);
    auto font = std::make_shared<Font>("Arial", 12);
    grid->setFont(font);
    EXPECT_EQ(grid->pixelWidth(), 7 * 36 + 2);
    EXPECT_EQ(grid->pixelHeight(), 30 + 20 + 6 * 20 + 20 + 2);
    font->weight = 700;  // the grid shares the font object: a change shows at once
    EXPECT_EQ(grid->pixelWidth(), 7 * 40 + 2);

    host.setScreen(1024, 768, 120);
    EXPECT_EQ(grid->width(), static_cast<float>(grid->pixelWidth() * 12));
    grid->setWidth(100);
    EXPECT_EQ(grid->width(), static_cast<float>(grid->pixelWidth() * 12)) << "the grid keeps its own size";
    EXPECT_EQ(errorNumberOf([&] { grid->setHeight(-1); }), err::InvalidPropertyValue);
}

TEST_F(MonthGridTest, ItsSizeHoldsAtTheLargestDensityFontAndMonthCounts) {
    // At 1440 DPI a 2048-point bold font has lines of 51200 pixels and day
    // columns of 81928; a font made larger in code measures the same.
    host.setScreen(HeadlessHost::kMaxScreenPixels, HeadlessHost::kMaxScreenPixels, HeadlessHost::kMaxDpi);
    grid->setShowWeekNumbers(true);
    for (double size : {Font::kMaxSize, 1e300}) {
        grid->setFont(std::make_shared<Font>("Arial", size, true));
        grid->setMonthRows(1);
        grid->setMonthColumns(12);
        EXPECT_EQ(grid->pixelWidth(), 12 * 8 * 81928 + 11 * 6 + 2) << size;
        grid->setMonthColumns(1);
        grid->setMonthRows(12);
        EXPECT_EQ(grid->pixelHeight(), 12 * (76800 + 51200 + 6 * 51200 + 51200) + 11 * 6 + 2) << size;
        EXPECT_EQ(grid->height(), static_cast<float>(grid->pixelHeight()));
    }
}

TEST_F(MonthGridTest, ADayClickArrivesThroughTheLoopOnlyForDaysInRange) {
    std::vector<double> clicked;
    grid->onDateClick = [&](double d) { clicked.push_back(d); };
    grid->setMaxDate(36770);
    grid->dateClick(36771);
    grid->dateClick(36762);
    EXPECT_TRUE(clicked.empty());
    host.runUntilIdle();
    EXPECT_EQ(clicked, std::vector<double>{36762});
    EXPECT_EQ(grid->value(), 36762);
    EXPECT_EQ(host.getActiveWindow(), popup->hWnd()) << "a click activates the grid's window";
}

TEST_F(MonthGridTest, EveryMemberIsReachableByItsName) {
    grid->put("ShowToday", Variant::boolean(false));
    grid->put("ShowWeekNumbers", Variant::integer(-1));
    EXPECT_EQ(grid->get("ShowToday").toBoolean(), vbFalse);
    EXPECT_EQ(grid->get("ShowWeekNumbers").toBoolean(), vbTrue);
    for (const char* colour :
         {"BackColor", "ForeColor", "MonthBackColor", "TitleBackColor", "TitleForeColor", "TrailingForeColor"}) {
        grid->put(colour, Variant::longValue(static_cast<int32_t>(0x80000008u)));
        EXPECT_EQ(grid->get(colour).toColour(), 0x80000008u) << colour;
    }
    grid->put("MaxDate", Variant::date(36891));
    grid->put("MinDate", Variant::string("01/01/2000"));
    grid->put("MonthColumns", Variant::integer(3));
    grid->put("MonthRows", Variant::longValue(2));
    grid->put("Value", Variant::string("15/03/2000"));
    EXPECT_EQ(grid->get("MinDate").toDate(), 36526);
    EXPECT_EQ(grid->get("MaxDate").toDate(), 36891);
    EXPECT_EQ(grid->get("MonthColumns").toInteger(), 3);
    EXPECT_EQ(grid->get("MonthRows").toInteger(), 2);
    EXPECT_EQ(grid->get("Value").toDate(), 36600);
    EXPECT_EQ(grid->get("Width").toSingle(), grid->width());
    EXPECT_EQ(errorNumberOf([&] { grid->put("MonthRows", Variant::longValue(70000)); }), err::Overflow);
    auto font = std::make_shared<Font>();
    grid->put("Font", Variant::object(font));
    EXPECT_EQ(grid->font(), font);
}

// The months a put of Value shows: its month top left, the following months
// after it, as far forward as MaxDate allows, never before MinDate's month.
struct ShownCase {
    const char* what;
    int16_t rows, columns;
    double min, max, value, first;
};

TEST_F(MonthGridTest, APutOfValueShowsItsMonthFirstAsFarAsTheRangeAllows) {
    const double dec5 = dateSerial(2024, 12, 5);
    const ShownCase cases[] = {
        {"a December day, three rows", 3, 1, k1Jan1753, k31Dec9999, dec5, dateSerial(2024, 12, 1)},
        {"MaxDate in the chosen month", 3, 1, k1Jan1753, dateSerial(2024, 12, 15), dec5, dateSerial(2024, 10, 1)},
        {"MaxDate a month on", 3, 1, k1Jan1753, dateSerial(2025, 1, 10), dec5, dateSerial(2024, 11, 1)},
        {"six months, MaxDate two months on", 2, 3, k1Jan1753, dateSerial(2025, 2, 10), dec5, dateSerial(2024, 9, 1)},
        {"the last day of all", 3, 1, k1Jan1753, k31Dec9999, k31Dec9999, dateSerial(9999, 10, 1)},
        {"twelve months in the last year", 3, 4, k1Jan1753, k31Dec9999, dateSerial(9999, 2, 14), dateSerial(9999, 1, 1)},
        {"the first day of all", 3, 1, k1Jan1753, k31Dec9999, k1Jan1753, k1Jan1753},
        {"a range shorter than the months", 3, 2, dateSerial(2000, 3, 1), dateSerial(2000, 4, 20),
         dateSerial(2000, 4, 15), dateSerial(2000, 3, 1)},
        {"two months of range, three columns", 1, 3, dateSerial(9999, 11, 5), k31Dec9999, dateSerial(9999, 11, 20),
         dateSerial(9999, 11, 1)},
    };
    for (const ShownCase& c : cases) {
        grid->setMonthRows(1);
        grid->setMonthColumns(c.columns);
        grid->setMonthRows(c.rows);
        grid->setMinDate(k1Jan1753);
        grid->setMaxDate(c.max);
        grid->setMinDate(c.min);
        grid->setValue(c.value);
        EXPECT_EQ(grid->firstMonth(), c.first) << c.what;
    }
}

TEST_F(MonthGridTest, TheUserScrollsTheMonthsOnlyAsFarAsNeeded) {
    grid->setMonthRows(3);
    grid->setValue(dateSerial(2024, 12, 5));
    grid->navigate(key::PageDown);
    grid->navigate(key::PageDown);
    EXPECT_EQ(grid->firstMonth(), dateSerial(2024, 12, 1)) << "February is shown already";
    grid->navigate(key::PageDown);
    EXPECT_EQ(grid->firstMonth(), dateSerial(2025, 1, 1));
    grid->navigate(key::Up);
    EXPECT_EQ(grid->firstMonth(), dateSerial(2025, 1, 1));
    grid->setMonthRows(1);
    EXPECT_EQ(grid->firstMonth(), dateSerial(2025, 2, 1)) << "fewer months still show the selected day";
    grid->clickDay(dateSerial(2025, 3, 2));
    EXPECT_EQ(grid->firstMonth(), dateSerial(2025, 3, 1)) << "a clicked trailing day brings its month in";
}

}  // namespace
}  // namespace tavo
