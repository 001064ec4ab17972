#pragma once
// The platform's date components as the date control sees them: the date box
// (class "MSComCtl2.DTPicker") and the month grid ("MSComCtl2.MonthView").
// A backend creates them through Container::addComponent.
#include <cstdint>
#include <functional>
#include <string>

#include "tavo/components/components_export.h"
#include "tavo/host/children.h"
#include "tavo/host/font.h"

namespace tavo {

class TAVO_COMPONENTS_EXPORT DateBox : public Child {
public:
    using Child::Child;

    // A date, or Empty when the box holds none. A put converts text to a date
    // and fails with 380 outside MinDate..MaxDate; it raises no Change.
    virtual Variant value() const = 0;
    virtual void setValue(const Variant& v) = 0;
    // Within the box's own range, 1 January 1601 to 31 December 9999 (else 380).
    virtual double minDate() const = 0;
    virtual void setMinDate(double d) = 0;
    virtual double maxDate() const = 0;
    virtual void setMaxDate(double d) = 0;
    virtual int32_t format() const = 0;
    virtual void setFormat(int32_t f) = 0;  // 0..3, else 380
    virtual std::string customFormat() const = 0;
    virtual void setCustomFormat(const std::string& f) = 0;
    virtual bool upDown() const = 0;
    virtual void setUpDown(bool u) = 0;
    virtual uint32_t calendarBackColor() const = 0;
    virtual void setCalendarBackColor(uint32_t c) = 0;
    virtual uint32_t calendarForeColor() const = 0;
    virtual void setCalendarForeColor(uint32_t c) = 0;
    virtual uint32_t calendarTitleBackColor() const = 0;
    virtual void setCalendarTitleBackColor(uint32_t c) = 0;
    virtual uint32_t calendarTitleForeColor() const = 0;
    virtual void setCalendarTitleForeColor(uint32_t c) = 0;
    virtual uint32_t calendarTrailingForeColor() const = 0;
    virtual void setCalendarTrailingForeColor(uint32_t c) = 0;
    virtual FontRef font() const = 0;
    virtual void setFont(FontRef f) = 0;  // by reference

    std::function<void()> onChange;
    std::function<void()> onClick;
    std::function<void()> onDblClick;
    std::function<void(int16_t& keyCode, int16_t& shift)> onKeyDown;
    std::function<void(int16_t& keyAscii)> onKeyPress;
    std::function<void(int16_t& keyCode, int16_t& shift)> onKeyUp;
    std::function<void()> onDropDown;  // the box's own calendar has just dropped down

    std::string className() const override { return "MSComCtl2.DTPicker"; }
    // Late-bound access to every member above by its name.
    Variant get(std::string_view member, const Variant* arg = nullptr) override;
    std::vector<std::string> propertyNames() const override;
    void put(std::string_view member, const Variant& value) override;
    void putRef(std::string_view member, const Variant& value) override;
};

class TAVO_COMPONENTS_EXPORT MonthGrid : public Child {
public:
    using Child::Child;

    virtual bool showToday() const = 0;
    virtual void setShowToday(bool v) = 0;
    virtual bool showWeekNumbers() const = 0;
    virtual void setShowWeekNumbers(bool v) = 0;
    virtual uint32_t backColor() const = 0;
    virtual void setBackColor(uint32_t c) = 0;
    virtual uint32_t foreColor() const = 0;
    virtual void setForeColor(uint32_t c) = 0;
    virtual uint32_t monthBackColor() const = 0;
    virtual void setMonthBackColor(uint32_t c) = 0;
    virtual uint32_t titleBackColor() const = 0;
    virtual void setTitleBackColor(uint32_t c) = 0;
    virtual uint32_t titleForeColor() const = 0;
    virtual void setTitleForeColor(uint32_t c) = 0;
    virtual uint32_t trailingForeColor() const = 0;
    virtual void setTrailingForeColor(uint32_t c) = 0;
    virtual FontRef font() const = 0;
    virtual void setFont(FontRef f) = 0;
    // Own range 1 January 1753 to 31 December 9999; outside it 380.
    virtual double minDate() const = 0;
    virtual void setMinDate(double d) = 0;
    virtual double maxDate() const = 0;
    virtual void setMaxDate(double d) = 0;
    // Rows × columns over 12 (or below 1) is 380. The grid resizes itself at
    // once, so Width and Height are right before anyone reads them.
    virtual int16_t monthColumns() const = 0;
    virtual void setMonthColumns(int16_t n) = 0;
    virtual int16_t monthRows() const = 0;
    virtual void setMonthRows(int16_t n) = 0;
    virtual double value() const = 0;
    virtual void setValue(double d) = 0;  // outside MinDate..MaxDate is 380

    std::function<void(double date)> onDateClick;

    std::string className() const override { return "MSComCtl2.MonthView"; }
    Variant get(std::string_view member, const Variant* arg = nullptr) override;
    std::vector<std::string> propertyNames() const override;
    void put(std::string_view member, const Variant& value) override;
    void putRef(std::string_view member, const Variant& value) override;
};

}  // namespace tavo
