#pragma once
// The headless date box ("MSComCtl2.DTPicker"). It holds a date (with its
// time of day) or nothing, within its own range of 1 January 1601 to
// 31 December 9999, and shows it in German, the controls' own language:
// "Montag, 21. August 2000" (long date), "21.08.2000" (short date),
// "00:00:00" (time), or the custom format.
//
// Its keys: F4 (or Alt+Down) drops its own calendar down unless it is in
// up-down mode; while that calendar is down it takes every key, Escape and
// Enter close it. The box's own editing keys are not simulated.
#include <optional>
#include <string>

#include "backends/headless/headless_child.h"
#include "tavo/components/date_components.h"

namespace tavo {

class HeadlessDateBox : public HeadlessChild<DateBox> {
public:
    static constexpr double kOwnMinDate = -109205.0;  // 1 January 1601
    static constexpr double kOwnMaxDate = 2958465.0;  // 31 December 9999

    HeadlessDateBox(const ChildDesign& d, Placing p);

    Variant value() const override;
    void setValue(const Variant& v) override;
    double minDate() const override { return minDate_; }
    void setMinDate(double d) override;
    double maxDate() const override { return maxDate_; }
    void setMaxDate(double d) override;
    int32_t format() const override { return format_; }
    void setFormat(int32_t f) override;
    std::string customFormat() const override { return customFormat_; }
    void setCustomFormat(const std::string& f) override { customFormat_ = f; }
    bool upDown() const override { return upDown_; }
    void setUpDown(bool u) override;
    uint32_t calendarBackColor() const override { return calendarBackColor_; }
    void setCalendarBackColor(uint32_t c) override { calendarBackColor_ = c; }
    uint32_t calendarForeColor() const override { return calendarForeColor_; }
    void setCalendarForeColor(uint32_t c) override { calendarForeColor_ = c; }
    uint32_t calendarTitleBackColor() const override { return calendarTitleBackColor_; }
    void setCalendarTitleBackColor(uint32_t c) override { calendarTitleBackColor_ = c; }
    uint32_t calendarTitleForeColor() const override { return calendarTitleForeColor_; }
    void setCalendarTitleForeColor(uint32_t c) override { calendarTitleForeColor_ = c; }
    uint32_t calendarTrailingForeColor() const override { return calendarTrailingForeColor_; }
    void setCalendarTrailingForeColor(uint32_t c) override { calendarTrailingForeColor_ = c; }
    FontRef font() const override { return font_; }
    void setFont(FontRef f) override;

    // What the box shows for its value in its format; "" when it holds no date.
    std::string text() const;

    // ---- What a user does (queued; the host's loop delivers it) ----------
    // Picks a date: the box takes it (a date outside its range is refused, as
    // the box's own editing refuses it), closes its own calendar and raises Change.
    void userChange(double date);
    // Opens the box's own calendar, as its arrow button does.
    void dropDown();
    void click();
    void dblClick();

    // Whether the box's own calendar is down.
    bool droppedDown() const { return droppedDown_; }

    // ---- Used by the host's input delivery -------------------------------
    // Focus, marks the calendar down, raises DropDown; nothing in up-down mode.
    void openOwnCalendar();
    void closeOwnCalendar() { droppedDown_ = false; }

private:
    std::optional<double> value_;
    double minDate_ = kOwnMinDate, maxDate_ = kOwnMaxDate;
    int32_t format_ = 1;
    std::string customFormat_;
    bool upDown_ = false;
    uint32_t calendarBackColor_ = 0x80000005u;
    uint32_t calendarForeColor_ = 0x80000012u;
    uint32_t calendarTitleBackColor_ = 0x80000014u;
    uint32_t calendarTitleForeColor_ = 0x80000012u;
    uint32_t calendarTrailingForeColor_ = 0x80000011u;
    FontRef font_;
    bool droppedDown_ = false;
};

}  // namespace tavo
