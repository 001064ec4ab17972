// The headless date box: design values, range and format rules, its text, and
// its members by name.
#include "backends/headless/headless_date_box.h"
#include "support/dates.h"
#include "tests/headless/headless_fixture.h"

namespace tavo {
namespace {

class DateBoxTest : public HeadlessTest {
protected:
    std::unique_ptr<ControlSite> site = host.createSite(*form, "ctl", {});
    std::shared_ptr<HeadlessDateBox> box =
        std::dynamic_pointer_cast<HeadlessDateBox>(site->addComponent("MSComCtl2.DTPicker", childDesign("cal")));
    void SetUp() override {
        HeadlessTest::SetUp();
        box->onChange = [this] { log.push_back("change"); };
    }
};

TEST_F(DateBoxTest, StartsWithThePlatformsDesignValues) {
    ASSERT_TRUE(box);
    EXPECT_EQ(box->value().toDate(), k21Aug2000);
    EXPECT_EQ(box->minDate(), k1Jan1601);
    EXPECT_EQ(box->maxDate(), k31Dec9999);
    EXPECT_EQ(box->format(), 1);
    EXPECT_EQ(box->customFormat(), "");
    EXPECT_FALSE(box->upDown());
    EXPECT_EQ(box->calendarBackColor(), 0x80000005u);
    EXPECT_EQ(box->calendarForeColor(), 0x80000012u);
    EXPECT_EQ(box->calendarTitleBackColor(), 0x80000014u);
    EXPECT_EQ(box->calendarTitleForeColor(), 0x80000012u);
    EXPECT_EQ(box->calendarTrailingForeColor(), 0x80000011u);
    EXPECT_EQ(box->font(), site->ambientFont());
    EXPECT_TRUE(box->enabled());
}

TEST_F(DateBoxTest, ValuePutsConvertCheckTheRangeKeepTheTimeAndRaiseNoChange) {
    box->setValue(Variant::string("31/12/1999"));
    EXPECT_EQ(box->value().toDate(), 36525);
    box->setValue(Variant::number(36759.75));
    EXPECT_EQ(box->value().toDate(), 36759.75);
    box->setValue(Variant());
    EXPECT_TRUE(box->value().isEmpty());
    EXPECT_EQ(box->text(), "");
    EXPECT_EQ(errorNumberOf([&] { box->setValue(Variant::string("kein Datum")); }), err::TypeMismatch);

    box->setValue(Variant::number(k21Aug2000));
    box->setMaxDate(36770);
    box->setValue(Variant::number(36770.5));  // a time on the last day is inside
    EXPECT_EQ(errorNumberOf([&] { box->setValue(Variant::number(36771)); }), err::InvalidPropertyValue);
    EXPECT_EQ(box->value().toDate(), 36770.5) << "a refused value leaves the old one";
    host.runUntilIdle();
    EXPECT_TRUE(log.empty());
}

TEST_F(DateBoxTest, TheRangeStaysInsideItsOwnLimitsAndClampsTheValue) {
    EXPECT_EQ(errorNumberOf([&] { box->setMinDate(k1Jan1601 - 1); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { box->setMaxDate(k31Dec9999 + 1); }), err::InvalidPropertyValue);
    box->setMaxDate(k1Jan1900);
    EXPECT_EQ(box->value().toDate(), k1Jan1900);
    EXPECT_EQ(errorNumberOf([&] { box->setMinDate(k1Jan1900 + 1); }), err::InvalidPropertyValue);
    EXPECT_EQ(box->minDate(), k1Jan1601);
    box->setMaxDate(k31Dec9999);
    box->setMinDate(k21Aug2000);
    EXPECT_EQ(box->value().toDate(), k21Aug2000);
    EXPECT_EQ(errorNumberOf([&] { box->setMaxDate(k21Aug2000 - 1); }), err::InvalidPropertyValue);
}

TEST_F(DateBoxTest, ShowsItsValueInEachFormatInGerman) {
    box->setValue(Variant::number(36759 + (14 * 3600 + 5 * 60 + 9) / 86400.0));
    box->setFormat(0);
    EXPECT_EQ(box->text(), "Montag, 21. August 2000");
    box->setFormat(1);
    EXPECT_EQ(box->text(), "21.08.2000");
    box->setFormat(2);
    EXPECT_EQ(box->text(), "14:05:09");
    box->setFormat(3);
    box->setCustomFormat("ddd d.M.yy 'um' h:mm tt, dddd MMM MMMM yyyy y H ''x'' s t");
    EXPECT_EQ(box->text(), "Mo 21.8.00 um 2:05 PM, Montag Aug August 2000 0 14 'x' 9 P");
    EXPECT_EQ(errorNumberOf([&] { box->setFormat(4); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { box->setFormat(-1); }), err::InvalidPropertyValue);
    EXPECT_EQ(box->format(), 3);
}

TEST_F(DateBoxTest, EveryMemberIsReachableByItsName) {
    box->put("Value", Variant::string("01/01/1900"));
    EXPECT_EQ(box->get("value").toDate(), k1Jan1900);
    box->put("MaxDate", Variant::string("31/12/2000"));
    box->put("MinDate", Variant::number(k1Jan1900));
    EXPECT_EQ(box->get("MaxDate").toDate(), 36891);
    EXPECT_EQ(box->get("MinDate").toDate(), k1Jan1900);
    box->put("Format", Variant::integer(3));
    box->put("CustomFormat", Variant::string("yyyy"));
    box->put("UpDown", Variant::boolean(true));
    EXPECT_EQ(box->get("Format").toLong(), 3);
    EXPECT_EQ(box->get("CustomFormat").toString(), "yyyy");
    EXPECT_EQ(box->get("UpDown").toBoolean(), vbTrue);
    for (const char* colour : {"CalendarBackColor", "CalendarForeColor", "CalendarTitleBackColor",
                               "CalendarTitleForeColor", "CalendarTrailingForeColor"}) {
        box->put(colour, Variant::longValue(0x00FF8040));
        EXPECT_EQ(box->get(colour).toColour(), 0x00FF8040u) << colour;
    }
    auto font = std::make_shared<Font>("Arial", 10);
    box->putRef("Font", Variant::object(font));
    EXPECT_EQ(box->get("Font").toObject(), font);
    EXPECT_EQ(errorNumberOf([&] { box->putRef("Font", Variant::object(nullptr)); }), err::TypeMismatch);
    box->put("Left", Variant::number(120));
    EXPECT_EQ(box->left(), 120);
    EXPECT_EQ(errorNumberOf([&] { box->get("Caption"); }), err::NoSuchMember);
}

TEST_F(DateBoxTest, AUsersChangeArrivesThroughTheLoopUnlessTheBoxIsDisabled) {
    box->userChange(36800);
    EXPECT_EQ(box->value().toDate(), k21Aug2000);
    host.runUntilIdle();
    EXPECT_EQ(box->value().toDate(), 36800);
    EXPECT_EQ(log, std::vector<std::string>{"change"});

    box->setEnabled(false);
    box->userChange(36801);
    host.runUntilIdle();
    box->setEnabled(true);
    box->setMaxDate(36810);
    box->userChange(36811);
    host.runUntilIdle();
    EXPECT_EQ(box->value().toDate(), 36800);
    EXPECT_EQ(log.size(), 1u);

    box->onClick = [&] { log.push_back("click"); };
    box->onDblClick = [&] { log.push_back("dblclick"); };
    box->click();
    box->dblClick();
    host.runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"change", "click", "click", "dblclick"}));
}

}  // namespace
}  // namespace tavo
