#include "tavo/components/date_components.h"

#include "tavo/host/value_conversions.h"

namespace tavo {

namespace {

// A colour member of a component: read and written as a 32-bit colour value.
template <class T>
void colourProperty(MemberTable<T>& t, std::string name, uint32_t (T::*get)() const, void (T::*set)(uint32_t)) {
    t.property(
        std::move(name), [get](T& c, const Variant*) { return colourValue((c.*get)()); },
        [set](T& c, const Variant& v) { (c.*set)(v.toColour()); });
}

template <class T>
void fontProperty(MemberTable<T>& t) {
    const auto setFont = [](T& c, const Variant& v) { c.setFont(toRequiredFont(v)); };
    t.property(
        "Font", [](T& c, const Variant*) { return Variant::object(c.font()); }, setFont, setFont);
}

template <class T>
void dateRangeProperties(MemberTable<T>& t) {
    t.property(
        "MinDate", [](T& c, const Variant*) { return Variant::date(c.minDate()); },
        [](T& c, const Variant& v) { c.setMinDate(v.toDate()); });
    t.property(
        "MaxDate", [](T& c, const Variant*) { return Variant::date(c.maxDate()); },
        [](T& c, const Variant& v) { c.setMaxDate(v.toDate()); });
}

const MemberTable<DateBox>& dateBoxMembers() {
    static const MemberTable<DateBox> table = [] {
        MemberTable<DateBox> t;
        t.property(
            "Value", [](DateBox& b, const Variant*) { return b.value(); },
            [](DateBox& b, const Variant& v) { b.setValue(v); });
        dateRangeProperties(t);
        t.property(
            "Format", [](DateBox& b, const Variant*) { return Variant::longValue(b.format()); },
            [](DateBox& b, const Variant& v) { b.setFormat(v.toLong()); });
        t.property(
            "CustomFormat", [](DateBox& b, const Variant*) { return Variant::string(b.customFormat()); },
            [](DateBox& b, const Variant& v) { b.setCustomFormat(v.toString()); });
        t.property(
            "UpDown", [](DateBox& b, const Variant*) { return Variant::boolean(b.upDown()); },
            [](DateBox& b, const Variant& v) { b.setUpDown(v.isTrue()); });
        colourProperty(t, "CalendarBackColor", &DateBox::calendarBackColor, &DateBox::setCalendarBackColor);
        colourProperty(t, "CalendarForeColor", &DateBox::calendarForeColor, &DateBox::setCalendarForeColor);
        colourProperty(t, "CalendarTitleBackColor", &DateBox::calendarTitleBackColor,
                       &DateBox::setCalendarTitleBackColor);
        colourProperty(t, "CalendarTitleForeColor", &DateBox::calendarTitleForeColor,
                       &DateBox::setCalendarTitleForeColor);
        colourProperty(t, "CalendarTrailingForeColor", &DateBox::calendarTrailingForeColor,
                       &DateBox::setCalendarTrailingForeColor);
        fontProperty(t);
        return t;
    }();
    return table;
}

const MemberTable<MonthGrid>& monthGridMembers() {
    static const MemberTable<MonthGrid> table = [] {
        MemberTable<MonthGrid> t;
        t.property(
            "ShowToday", [](MonthGrid& g, const Variant*) { return Variant::boolean(g.showToday()); },
            [](MonthGrid& g, const Variant& v) { g.setShowToday(v.isTrue()); });
        t.property(
            "ShowWeekNumbers", [](MonthGrid& g, const Variant*) { return Variant::boolean(g.showWeekNumbers()); },
            [](MonthGrid& g, const Variant& v) { g.setShowWeekNumbers(v.isTrue()); });
        colourProperty(t, "BackColor", &MonthGrid::backColor, &MonthGrid::setBackColor);
        colourProperty(t, "ForeColor", &MonthGrid::foreColor, &MonthGrid::setForeColor);
        colourProperty(t, "MonthBackColor", &MonthGrid::monthBackColor, &MonthGrid::setMonthBackColor);
        colourProperty(t, "TitleBackColor", &MonthGrid::titleBackColor, &MonthGrid::setTitleBackColor);
        colourProperty(t, "TitleForeColor", &MonthGrid::titleForeColor, &MonthGrid::setTitleForeColor);
        colourProperty(t, "TrailingForeColor", &MonthGrid::trailingForeColor, &MonthGrid::setTrailingForeColor);
        fontProperty(t);
        dateRangeProperties(t);
        t.property(
            "MonthColumns", [](MonthGrid& g, const Variant*) { return Variant::integer(g.monthColumns()); },
            [](MonthGrid& g, const Variant& v) { g.setMonthColumns(v.toInteger()); });
        t.property(
            "MonthRows", [](MonthGrid& g, const Variant*) { return Variant::integer(g.monthRows()); },
            [](MonthGrid& g, const Variant& v) { g.setMonthRows(v.toInteger()); });
        t.property(
            "Value", [](MonthGrid& g, const Variant*) { return Variant::date(g.value()); },
            [](MonthGrid& g, const Variant& v) { g.setValue(v.toDate()); });
        return t;
    }();
    return table;
}

}  // namespace

Variant DateBox::get(std::string_view member, const Variant* arg) {
    if (dateBoxMembers().has(member)) return dateBoxMembers().get(*this, member, arg);
    return Child::get(member, arg);
}

std::vector<std::string> DateBox::propertyNames() const {
    return dateBoxMembers().propertyNames(Child::propertyNames());
}

void DateBox::put(std::string_view member, const Variant& value) {
    if (dateBoxMembers().has(member)) return dateBoxMembers().put(*this, member, value);
    Child::put(member, value);
}

void DateBox::putRef(std::string_view member, const Variant& value) {
    if (dateBoxMembers().has(member)) return dateBoxMembers().putRef(*this, member, value);
    Child::putRef(member, value);
}

Variant MonthGrid::get(std::string_view member, const Variant* arg) {
    if (monthGridMembers().has(member)) return monthGridMembers().get(*this, member, arg);
    return Child::get(member, arg);
}

std::vector<std::string> MonthGrid::propertyNames() const {
    return monthGridMembers().propertyNames(Child::propertyNames());
}

void MonthGrid::put(std::string_view member, const Variant& value) {
    if (monthGridMembers().has(member)) return monthGridMembers().put(*this, member, value);
    Child::put(member, value);
}

void MonthGrid::putRef(std::string_view member, const Variant& value) {
    if (monthGridMembers().has(member)) return monthGridMembers().putRef(*this, member, value);
    Child::putRef(member, value);
}

}  // namespace tavo
