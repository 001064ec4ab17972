// Initialising, loading and saving the date control's property set.
#include "date_control_fixture.h"

#include "datecontrol/button_pictures.h"
#include "support/refused_value.h"
#include "tavo/host/colour.h"
#include "tavo/host/date.h"
#include "tavo/host/error.h"
#include "tavo/host/form_file.h"

namespace tavo {
namespace {

std::vector<std::string> keysOf(const PropertyStore& store) {
    std::vector<std::string> keys;
    for (const auto& e : store.entries())
        keys.push_back(e.occurrence == 1 ? e.key : e.key + "(" + std::to_string(e.occurrence) + ")");
    return keys;
}

StoredProperty stored(std::string key, Variant value, int occurrence = 1) {
    StoredProperty p;
    p.key = std::move(key);
    p.value = std::move(value);
    p.occurrence = occurrence;
    return p;
}

class DateControlPersistence : public DateControlTest {
protected:
    PropertyStore save(TavoCalendarDropDown& c) {
        PropertyStore store;
        c.WriteProperties(store);
        return store;
    }
    // A fresh control loaded from the store, as a form load does it.
    std::shared_ptr<TavoCalendarDropDown> load(PropertyStore store, const std::string& name = "Loaded") {
        auto c = add(name);
        store.rewind();
        c->ReadProperties(store);
        return c;
    }
};

TEST_F(DateControlPersistence, NewControlSavesOnlyItsEarliestDate) {
    auto c = add("Cal1");
    PropertyStore store = save(*c);
    // The date box's own earliest date, 1 January 1601, differs from the
    // stored default of 1 January 1900; everything else equals its default,
    // the surface colour and the CalendarMonthBackColor setting included.
    EXPECT_EQ(keysOf(store), (std::vector<std::string>{"MinDate"}));
    EXPECT_EQ(store.entries()[0].value.toDate(), -109205);
}

TEST_F(DateControlPersistence, EmptyStoreGivesEveryDefault) {
    auto c = load(PropertyStore{});
    EXPECT_TRUE(c->Enabled());
    EXPECT_EQ(c->Font(), c->site().ambientFont());
    EXPECT_EQ(c->CalendarBackColor(), 0x80000005u);
    EXPECT_EQ(c->CalendarForeColor(), 0x80000012u);
    EXPECT_EQ(c->CalendarTitleBackColor(), 0x80000014u);
    EXPECT_EQ(c->CalendarTitleForeColor(), 0x80000012u);
    EXPECT_EQ(c->CalendarTrailingForeColor(), 0x80000011u);
    EXPECT_EQ(c->site().backColor(), vbWindowBackground);
    EXPECT_EQ(c->CustomFormat(), "");
    EXPECT_EQ(c->Format(), 1);
    EXPECT_EQ(c->MaxDate(), 2958465);
    EXPECT_EQ(c->MinDate(), 2) << "1 January 1900 when the store has no MinDate";
    EXPECT_EQ(c->Picture(), nullptr);
    EXPECT_FALSE(c->UpDown());
    EXPECT_EQ(c->Value().toDate(), 36759);
    EXPECT_TRUE(c->ShowToday());
    EXPECT_TRUE(c->ShowWeek());
    EXPECT_EQ(c->PictureType(), 2);
    EXPECT_EQ(c->cmd()->picture(), calendarSheetPicture());
    EXPECT_EQ(c->MonthColumns(), 1);
    EXPECT_EQ(c->MonthRows(), 3);
    EXPECT_EQ(c->CalendarMonthBackColor(), 0u);
    EXPECT_TRUE(c->CanOpen());
    EXPECT_TRUE(c->cmd()->enabled());
}

TEST_F(DateControlPersistence, DefaultDateTextsReadTheSameInEitherDayMonthOrder) {
    for (DateOrder order : {DateOrder::MonthDayYear, DateOrder::DayMonthYear}) {
        setPreferredDateOrder(order);
        auto c = load(PropertyStore{}, order == DateOrder::MonthDayYear ? "Mdy" : "Dmy");
        EXPECT_EQ(c->MinDate(), 2);
        EXPECT_EQ(c->MaxDate(), 2958465);
        EXPECT_EQ(c->Value().toDate(), 36759);
    }
    setPreferredDateOrder(DateOrder::DayMonthYear);
}

TEST_F(DateControlPersistence, StoredSettingsOutsideTheirRangesAreKeptWithoutError) {
    PropertyStore store;
    store.add(stored("PictureType", Variant::integer(7)));
    store.add(stored("MonthColumns", Variant::integer(0)));
    store.add(stored("MonthRows", Variant::integer(9)));
    std::shared_ptr<TavoCalendarDropDown> c;
    ASSERT_NO_THROW(c = load(store));
    EXPECT_EQ(c->PictureType(), 7);
    EXPECT_EQ(c->MonthColumns(), 0);
    EXPECT_EQ(c->MonthRows(), 9);
    EXPECT_EQ(c->cmd()->picture(), calendarSheetPicture()) << "no element 7: the button keeps its picture";
    EXPECT_TRUE(c->CanOpen()) << "the steps after the failing one still run";
    EXPECT_TRUE(c->cmd()->enabled());
}

TEST_F(DateControlPersistence, StoredOwnPictureWithItsTypeShowsOnTheButton) {
    PropertyStore store;
    store.add(stored("Picture", Variant::object(dropDownArrowPicture())));
    store.add(stored("PictureType", Variant::integer(0)));
    log.clear();
    auto c = load(store);
    EXPECT_EQ(c->cmd()->picture(), dropDownArrowPicture());
    EXPECT_EQ(count("changed Loaded.Picture"), 1) << "the picture goes through its property write";
}

TEST_F(DateControlPersistence, LoadStopsAtAValueThatDoesNotConvertAndLeavesTheRestAlone) {
    PropertyStore store;
    store.add(stored("CustomFormat", Variant::string("dd.MM.yyyy")));
    store.add(stored("Format", Variant::string("lang")));
    store.add(stored("MaxDate", Variant::date(40000)));
    store.add(stored("MonthRows", Variant::integer(1)));
    auto c = add("Cal1");
    store.rewind();
    try {
        c->ReadProperties(store);
        FAIL() << "a Format that is no number ends the load";
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::TypeMismatch);
    }
    EXPECT_EQ(c->CustomFormat(), "dd.MM.yyyy");
    EXPECT_EQ(c->MaxDate(), 2958465);
    EXPECT_EQ(c->MonthRows(), 3);
}

// Cal1 (its Begin on line 3, its keys from line 4) refuses a value; Cal2
// after it must load in full, and a save must give the refused value back.
class RefusedDateValue : public DateControlTest, public ::testing::WithParamInterface<RefusedValue> {};

TEST_P(RefusedDateValue, NamesFileLineAndKeyLoadsTheOtherControlsAndIsSavedBack) {
    const RefusedValue& c = GetParam();
    const std::string text = "VERSION 1.00\nBegin Form Form1\nBegin TavoCalendar.TavoCalendarDropDown Cal1\n" + c.lines +
                             "\nEnd\nBegin TavoCalendar.TavoCalendarDropDown Cal2\nMonthRows = 2\n"
                             "CustomFormat = \"yyyy\"\nEnd\nEnd\n";
    expectRefused(*form, text, "Cal1", c);
    auto cal2 = std::dynamic_pointer_cast<TavoCalendarDropDown>(form->find("Cal2"));
    ASSERT_TRUE(cal2);
    EXPECT_EQ(cal2->MonthRows(), 2);
    EXPECT_EQ(cal2->CustomFormat(), "yyyy");
}

constexpr int kMismatch = err::TypeMismatch, kOverflow = err::Overflow, kRange = err::InvalidPropertyValue;

INSTANTIATE_TEST_SUITE_P(
    EveryKey, RefusedDateValue,
    ::testing::Values(
        RefusedValue{"EnabledText", "Enabled = \"oops\"", "Enabled", 4, kMismatch, "\"oops\" cannot be converted to a truth value", "Enabled = \"oops\""},
        RefusedValue{"FontNumber", "Font = 3", "Font", 4, kMismatch, "Integer cannot be converted", "Font = 3"},
        RefusedValue{"FontNothing", "Font = Nothing", "Font", 4, kRange, "Font needs a font object", "Font = Nothing"},
        RefusedValue{"BackColorText", "CalendarBackColor = \"rot\"", "CalendarBackColor", 4, kMismatch, "\"rot\"", "CalendarBackColor = \"rot\""},
        RefusedValue{"ForeColorHuge", "CalendarForeColor = 10000000000.0", "CalendarForeColor", 4, kOverflow,
                     "10000000000 does not fit", "CalendarForeColor = 1e+10"},
        RefusedValue{"TitleBackColorText", "CalendarTitleBackColor = \"x\"", "CalendarTitleBackColor", 4, kMismatch, "\"x\"",
                     "CalendarTitleBackColor = \"x\""},
        RefusedValue{"TitleForeColorHuge", "CalendarTitleForeColor = -3000000000.0", "CalendarTitleForeColor", 4, kOverflow,
                     "-3000000000 does not fit", "CalendarTitleForeColor = -3e+09"},
        RefusedValue{"TrailingForeColorObject", "CalendarTrailingForeColor = Nothing", "CalendarTrailingForeColor", 4,
                     kMismatch, "Object", "CalendarTrailingForeColor = Nothing"},
        RefusedValue{"SurfaceColourText", "CalendarMonthBackColor = \"blau\"", "CalendarMonthBackColor", 4, kMismatch,
                     "\"blau\"", "CalendarMonthBackColor = \"blau\""},
        RefusedValue{"CustomFormatObject", "CustomFormat = Nothing", "CustomFormat", 4, kMismatch, "Object cannot be converted to text",
                     "CustomFormat = Nothing"},
        RefusedValue{"FormatText", "Format = \"lang\"", "Format", 4, kMismatch, "\"lang\"", "Format = \"lang\""},
        RefusedValue{"FormatHuge", "Format = 3000000000.0", "Format", 4, kOverflow, "3000000000 does not fit", "Format = 3e+09"},
        RefusedValue{"FormatUnknown", "Format = 7&", "Format", 4, kRange, "Format 7 is not a format", "Format = 7&"},
        RefusedValue{"MaxDateText", "MaxDate = \"bald\"", "MaxDate", 4, kMismatch, "\"bald\" is not a date", "MaxDate = \"bald\""},
        RefusedValue{"MaxDateBeforeTheBoxsFirst", "MaxDate = #1500-01-01#", "MaxDate", 4, kRange,
                     "MaxDate 1500-01-01 is outside the dates a date box holds, 1601-01-01 .. 9999-12-31",
                     "MaxDate = #1500-01-01#"},
        RefusedValue{"MaxDateNumberTooBig", "MaxDate = 3000000&", "MaxDate", 4, kOverflow,
                     "3000000 is outside the date range 100-01-01 .. 9999-12-31", "MaxDate = 3000000&"},
        RefusedValue{"MinDateAfterMaxDate", "MaxDate = #1999-12-31#\nMinDate = #2000-01-01#", "MinDate", 5, kRange,
                     "MinDate 2000-01-01 is after MaxDate 1999-12-31", "MinDate = #2000-01-01#"},
        RefusedValue{"MinDateBeforeTheBoxsFirst", "MinDate = #0100-01-01#", "MinDate", 4, kRange,
                     "MinDate 0100-01-01 is outside the dates a date box holds", "MinDate = #0100-01-01#"},
        RefusedValue{"PictureNumber", "Picture = 5", "Picture", 4, kMismatch, "Integer cannot be converted", "Picture = 5"},
        RefusedValue{"UpDownText", "UpDown = \"x\"", "UpDown", 4, kMismatch, "\"x\"", "UpDown = \"x\""},
        RefusedValue{"ValueOutsideRange", "Value = #1500-01-01#", "Value", 4, kRange,
                     "Value 1500-01-01 is outside MinDate 1900-01-01 .. MaxDate 9999-12-31", "Value = #1500-01-01#"},
        RefusedValue{"ValueText", "Value = \"morgen\"", "Value", 4, kMismatch, "\"morgen\" is not a date", "Value = \"morgen\""},
        RefusedValue{"DefaultValueBeforeMinDate", "MinDate = #2005-01-01#", "Value", 3, kRange,
                     "Value 2000-08-21 is outside MinDate 2005-01-01 .. MaxDate 9999-12-31 (control Cal1; the file does "
                     "not hold Value, so it took its default)",
                     "MinDate = #2005-01-01#"},
        RefusedValue{"ShowTodayText", "ShowToday = \"ja\"", "ShowToday", 4, kMismatch, "\"ja\"", "ShowToday = \"ja\""},
        RefusedValue{"ShowWeekObject", "ShowWeek = Nothing", "ShowWeek", 4, kMismatch, "Object", "ShowWeek = Nothing"},
        RefusedValue{"PictureTypeHuge", "PictureType = 40000&", "PictureType", 4, kOverflow, "40000 does not fit in an Integer",
                     "PictureType = 40000&"},
        RefusedValue{"MonthColumnsText", "MonthColumns = \"zwei\"", "MonthColumns", 4, kMismatch, "\"zwei\"",
                     "MonthColumns = \"zwei\""},
        RefusedValue{"MonthRowsHuge", "MonthRows = -40000&", "MonthRows", 4, kOverflow, "-40000 does not fit in an Integer",
                     "MonthRows = -40000&"}),
    [](const auto& param) { return std::string(param.param.name); });

// The surface colour and the setting share CalendarMonthBackColor: setting
// the property changes the second occurrence only, and the first stays as
// the file had it; a value that changed without its property stands too.
TEST_F(DateControlPersistence, AfterAFailedLoadWhatChangedIsSavedAsItIsAndTheRestAsTheFileHadIt) {
    const std::string text =
        "VERSION 1.00\nBegin Form Form1\nBegin TavoCalendar.TavoCalendarDropDown Cal1\nEnabled = \"oops\"\n"
        "CalendarMonthBackColor = 255&\nMinDate = #2001-01-01#\nCalendarMonthBackColor(2) = 65280&\nEnd\nEnd\n";
    EXPECT_THROW(form->load(parseFormText(text, "bad.frm")), FormLoadError);
    auto c = std::dynamic_pointer_cast<TavoCalendarDropDown>(form->find("Cal1"));
    c->setEnabled(true);  // as it stands after the failed load, but set: the file's "oops" gives way
    c->setCalendarMonthBackColor(0xFF0000);
    auto saved = [&] { return form->save().controls.at(0).properties; };
    PropertyStore store = saved();
    EXPECT_EQ(keysOf(store), (std::vector<std::string>{"CalendarMonthBackColor", "MinDate", "CalendarMonthBackColor(2)"}));
    EXPECT_EQ(store.entries()[0].value.toColour(), 255u);
    EXPECT_EQ(store.entries()[1].value.toDate(), dateSerial(2001, 1, 1));
    EXPECT_EQ(store.entries()[2].value.toColour(), 0xFF0000u);

    c->site().setBackColor(0x123);
    EXPECT_EQ(saved().entries()[0].value.toColour(), 0x123u);
}

TEST_F(DateControlPersistence, LateStepsIgnoreValuesThatDoNotConvert) {
    PropertyStore store;
    store.add(stored("CalendarMonthBackColor", Variant::string("blau"), 2));
    store.add(stored("CanOpen", Variant::boolean(false)));
    std::shared_ptr<TavoCalendarDropDown> c;
    ASSERT_NO_THROW(c = load(store));
    EXPECT_EQ(c->CalendarMonthBackColor(), 0u);
    EXPECT_FALSE(c->CanOpen());
    EXPECT_FALSE(c->cmd()->enabled());
}

// The surface colour (the popup's month area) and the CalendarMonthBackColor
// setting share one key; each is its own occurrence and round-trips alone.
TEST_F(DateControlPersistence, SurfaceColourAndCalendarMonthBackColorRoundTripIndependently) {
    auto a = add("A");
    a->setCalendarMonthBackColor(0xFF);
    PropertyStore onlySetting = save(*a);
    EXPECT_EQ(keysOf(onlySetting), (std::vector<std::string>{"MinDate", "CalendarMonthBackColor(2)"}));
    auto a2 = load(onlySetting, "A2");
    EXPECT_EQ(a2->CalendarMonthBackColor(), 0xFFu);
    EXPECT_EQ(a2->site().backColor(), vbWindowBackground);

    auto b = add("B");
    b->site().setBackColor(0xFF00);
    PropertyStore onlySurface = save(*b);
    EXPECT_EQ(keysOf(onlySurface), (std::vector<std::string>{"CalendarMonthBackColor", "MinDate"}));
    auto b2 = load(onlySurface, "B2");
    EXPECT_EQ(b2->site().backColor(), 0xFF00u);
    EXPECT_EQ(b2->CalendarMonthBackColor(), 0u);

    b2->setCalendarMonthBackColor(0xFF);
    auto b3 = load(save(*b2), "B3");
    EXPECT_EQ(b3->site().backColor(), 0xFF00u);
    EXPECT_EQ(b3->CalendarMonthBackColor(), 0xFFu);
}

TEST_F(DateControlPersistence, ChangedControlSavesEveryKeyInOrderAndLoadsBackTheSame) {
    auto c = add("Cal1");
    auto font = std::make_shared<tavo::Font>("Arial", 10, true);
    c->setEnabled(false);
    c->setFont(font);
    c->setCalendarBackColor(0x010203);
    c->setCalendarForeColor(0x020304);
    c->setCalendarTitleBackColor(0x030405);
    c->setCalendarTitleForeColor(0x040506);
    c->setCalendarTrailingForeColor(0x050607);
    c->site().setBackColor(0x060708);
    c->setCustomFormat("dd.MM.yyyy");
    c->setFormat(3);
    c->setMaxDate(40000);
    c->setMinDate(30000);
    c->setPicture(dropDownArrowPicture());
    c->setUpDown(true);
    c->setValue(Variant::date(36000.5));
    c->setShowToday(false);
    c->setShowWeek(false);
    c->setPictureType(1);
    c->setMonthColumns(3);
    c->setMonthRows(2);
    c->setCalendarMonthBackColor(0x070809);
    c->setCanOpen(false);

    PropertyStore store = save(*c);
    EXPECT_EQ(keysOf(store),
              (std::vector<std::string>{"Enabled", "Font", "CalendarBackColor", "CalendarForeColor",
                                        "CalendarTitleBackColor", "CalendarTitleForeColor",
                                        "CalendarTrailingForeColor", "CalendarMonthBackColor", "CustomFormat",
                                        "Format", "MaxDate", "MinDate", "Picture", "UpDown", "Value", "ShowToday",
                                        "ShowWeek", "PictureType", "MonthColumns", "MonthRows",
                                        "CalendarMonthBackColor(2)", "CanOpen"}));

    auto d = load(store);
    const TypeInfo* info = registry.typeInfo(TavoCalendarDropDown::kProgId);
    for (const auto& m : info->members) EXPECT_TRUE(d->get(m.name) == c->get(m.name)) << m.name;
    EXPECT_EQ(d->site().backColor(), 0x060708u);
    EXPECT_EQ(d->cmd()->picture(), dropDownArrowPicture());
    EXPECT_FALSE(d->cmd()->enabled());
}

TEST_F(DateControlPersistence, InitPropertiesTouchesNoChild) {
    auto c = add("Cal1");
    c->setPictureType(1);
    c->setCanOpen(false);
    c->site().setBackColor(0xFF);
    c->InitProperties();
    EXPECT_EQ(c->PictureType(), 2);
    EXPECT_TRUE(c->CanOpen());
    EXPECT_EQ(c->cmd()->picture(), dropDownArrowPicture());
    EXPECT_FALSE(c->cmd()->enabled());
    EXPECT_EQ(c->site().backColor(), 0xFFu);
}

}  // namespace
}  // namespace tavo
