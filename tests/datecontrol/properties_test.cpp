// The date control's properties: range rules, the button's face and enabled
// state, Change on a Value write, and access by name.
#include "date_control_fixture.h"

#include "backends/headless/headless_children.h"
#include "datecontrol/button_pictures.h"
#include "tavo/host/error.h"

namespace tavo {
namespace {

class DateControlProperties : public DateControlTest {
protected:
    std::shared_ptr<TavoCalendarDropDown> c = add("Cal1");
};

TEST_F(DateControlProperties, MonthColumnsAndRowsOutsideOneToThreeFallBackToTheirOwnDefaults) {
    for (int16_t bad : {0, 4, -1}) {
        c->setMonthColumns(2);
        c->setMonthColumns(bad);
        EXPECT_EQ(c->MonthColumns(), 1) << bad;
    }
    c->setMonthColumns(2);
    EXPECT_EQ(c->MonthColumns(), 2);
    for (int16_t bad : {0, 5}) {
        c->setMonthRows(1);
        c->setMonthRows(bad);
        EXPECT_EQ(c->MonthRows(), 3) << bad;
    }
    c->setMonthRows(1);
    EXPECT_EQ(c->MonthRows(), 1);
}

TEST_F(DateControlProperties, PictureTypeChoosesTheButtonFaceAndFallsBackToTheCalendarSheet) {
    EXPECT_EQ(c->cmd()->picture(), calendarSheetPicture());
    const auto& button = dynamic_cast<const HeadlessButton&>(*c->cmd());
    EXPECT_TRUE(button.useMaskColor());
    EXPECT_EQ(button.maskColor(), 0x00C0C0C0u) << "the grey the built-in pictures stand on";

    c->setPictureType(1);
    EXPECT_EQ(c->cmd()->picture(), dropDownArrowPicture());
    c->setPictureType(0);
    EXPECT_EQ(c->cmd()->picture(), nullptr) << "no own picture set yet";
    for (int16_t bad : {-1, 3}) {
        c->setPictureType(1);
        c->setPictureType(bad);
        EXPECT_EQ(c->PictureType(), 2);
        EXPECT_EQ(c->cmd()->picture(), calendarSheetPicture());
    }
}

TEST_F(DateControlProperties, OwnPictureReachesTheButtonOnlyWhileItsTypeIsChosen) {
    auto own = dropDownArrowPicture();
    c->setPicture(own);
    EXPECT_EQ(c->Picture(), own);
    EXPECT_EQ(c->imgDropDown(0)->picture(), own);
    EXPECT_EQ(c->cmd()->picture(), calendarSheetPicture()) << "type 2 keeps the calendar sheet";

    c->setPictureType(0);
    EXPECT_EQ(c->cmd()->picture(), own) << "the same object, not a copy";

    c->setPicture(nullptr);
    EXPECT_EQ(c->cmd()->picture(), nullptr) << "with type 0 a new picture shows at once";
}

TEST_F(DateControlProperties, ButtonIsEnabledOnlyWhenDateBoxAndCanOpenAllowIt) {
    c->setEnabled(false);
    EXPECT_FALSE(c->cmd()->enabled());
    EXPECT_FALSE(c->cal()->enabled());

    c->setCanOpen(false);
    c->setEnabled(true);
    EXPECT_FALSE(c->cmd()->enabled()) << "Enabled True with CanOpen False";

    c->setEnabled(false);
    c->setCanOpen(true);
    EXPECT_TRUE(c->cmd()->enabled()) << "CanOpen alone decides on its own write";
    EXPECT_FALSE(c->Enabled());
}

TEST_F(DateControlProperties, ValueWriteRaisesChangeOnceBeforeItsNotification) {
    log.clear();
    c->setValue(Variant::date(36800));
    EXPECT_EQ(log, (std::vector<std::string>{"event Cal1.Change", "changed Cal1.Value"}));
    EXPECT_EQ(c->Value().toDate(), 36800);

    log.clear();
    c->setMaxDate(36900);
    log.clear();
    try {
        c->setValue(Variant::date(37000));
        FAIL() << "a date after MaxDate is rejected";
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::InvalidPropertyValue);
    }
    EXPECT_TRUE(log.empty()) << "no Change and no notification for a rejected value";
    EXPECT_EQ(c->Value().toDate(), 36800);
}

TEST_F(DateControlProperties, RejectedFormatChangesNothingAndSendsNoNotification) {
    log.clear();
    EXPECT_THROW(c->setFormat(7), HostError);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(c->Format(), 1);
    c->setFormat(3);
    EXPECT_EQ(c->cal()->format(), 3);
}

// Every property is reachable by name (how the popup and scripts reach it),
// and every write ends with a notification carrying that name.
TEST_F(DateControlProperties, EveryPropertyCanBeWrittenBackByNameAndNotifiesWithItsName) {
    const TypeInfo* info = registry.typeInfo(TavoCalendarDropDown::kProgId);
    ASSERT_NE(info, nullptr);
    c->setPicture(calendarSheetPicture());
    for (const auto& m : info->members) {
        Variant v = c->get(m.name);
        log.clear();
        if (m.putByRef)
            c->putRef(m.name, v);
        else
            c->put(m.name, v);
        ASSERT_FALSE(log.empty()) << m.name;
        EXPECT_EQ(log.back(), "changed Cal1." + m.name);
        EXPECT_TRUE(c->get(m.name) == v) << m.name;
    }
}

TEST_F(DateControlProperties, ByNameWritesConvertAndApplyTheSameRules) {
    c->put("monthrows", Variant::string("5"));
    EXPECT_EQ(c->MonthRows(), 3);
    c->put("CanOpen", Variant::integer(0));
    EXPECT_FALSE(c->cmd()->enabled());
    c->put("MinDate", Variant::string("01/01/1900"));
    EXPECT_EQ(c->MinDate(), 2);
    c->put("CalendarBackColor", Variant::longValue(static_cast<int32_t>(0x80000012u)));
    EXPECT_EQ(c->get("CalendarBackColor").toLong(), static_cast<int32_t>(0x80000012u));

    auto expectError = [&](int number, auto&& f) {
        try {
            f();
            ADD_FAILURE() << "expected error " << number;
        } catch (const HostError& e) {
            EXPECT_EQ(e.number(), number) << e.what();
        }
    };
    expectError(err::Overflow, [&] { c->put("MonthColumns", Variant::longValue(70000)); });
    expectError(err::TypeMismatch, [&] { c->putRef("Picture", Variant::object(c->Font())); });
    expectError(err::NoSuchMember, [&] { c->get("MonthCount"); });
    Variant three = Variant::integer(3);
    expectError(err::ControlArrayElementMissing, [&] { c->get("imgDropDown", &three); });
    Variant two = Variant::integer(2);
    EXPECT_EQ(c->get("imgDropDown", &two).toObject(), c->imgDropDown(2));
    EXPECT_EQ(c->get("cal").toObject(), c->cal());
}

}  // namespace
}  // namespace tavo
