// What the registry tells a property browser and a form runner about the
// date control.
#include <gtest/gtest.h>

#include "tavo/calendar/register.h"
#include "tavo/calendar/tavo_calendar_drop_down.h"
#include "tavo/host/registry.h"

namespace tavo {
namespace {

TEST(DateControlRegistration, InterfaceListsTwentyOnePropertiesAndSixEventsInOrder) {
    ComponentRegistry registry;
    registerTavoCalendar(registry);
    const TypeInfo* info = registry.typeInfo("TavoCalendar.TavoCalendarDropDown");
    ASSERT_NE(info, nullptr);

    std::vector<std::string> names;
    for (const auto& m : info->members) {
        names.push_back(m.name);
        EXPECT_EQ(m.putByRef, m.name == "Font" || m.name == "Picture") << m.name;
        EXPECT_TRUE(m.canGet && m.canPut) << m.name;
        EXPECT_EQ(m.description.empty(),
                  m.name == "ShowToday" || m.name == "ShowWeek" || m.name == "CalendarMonthBackColor")
            << m.name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Enabled", "Font", "CalendarBackColor", "CalendarForeColor",
                                               "CalendarTitleBackColor", "CalendarTitleForeColor",
                                               "CalendarTrailingForeColor", "CustomFormat", "Format", "MaxDate",
                                               "MinDate", "Picture", "UpDown", "Value", "MonthColumns",
                                               "MonthRows", "ShowToday", "ShowWeek", "PictureType",
                                               "CalendarMonthBackColor", "CanOpen"}));
    EXPECT_EQ(info->member("MonthRows")->description, "Monats Zeilen für aufgeklappte Auswahl.\r\nMaximalwert ist 3.");

    std::vector<std::string> events;
    for (const auto& e : info->events) {
        events.push_back(std::to_string(e.number) + " " + e.name);
        for (const auto& p : e.params) {
            EXPECT_EQ(p.type, "Integer");
            EXPECT_TRUE(p.byRef) << e.name << " " << p.name;
        }
    }
    EXPECT_EQ(events, (std::vector<std::string>{"1 Click", "2 DblClick", "3 KeyDown", "4 KeyPress", "5 KeyUp",
                                                "6 Change"}));
    EXPECT_EQ(info->event("KeyDown")->params.size(), 2u);
    EXPECT_EQ(info->event("KeyPress")->params[0].name, "KeyAscii");
}

}  // namespace
}  // namespace tavo
