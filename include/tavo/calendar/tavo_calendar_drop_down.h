#pragma once
// TavoCalendarDropDown: a date box that fills the control, with a small picture
// button over its right end that drops down the shared month calendar window
// frmCalendar under the control. Most properties live in the date box; the
// settings the date box has no place for live in members here.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "tavo/calendar/calendar_export.h"
#include "tavo/components/date_components.h"
#include "tavo/host/control.h"

namespace tavo {

class SkipOnError;
class frmCalendar;

class TAVO_CALENDAR_EXPORT TavoCalendarDropDown : public Control {
public:
    explicit TavoCalendarDropDown(ControlSite& site);
    ~TavoCalendarDropDown() override;

    static constexpr const char* kProgId = "TavoCalendar.TavoCalendarDropDown";

    // ---- Properties, in interface order --------------------------------
    bool Enabled() const;
    void setEnabled(bool New_Enabled);
    FontRef Font() const;
    void setFont(FontRef New_Font);
    uint32_t CalendarBackColor() const;
    void setCalendarBackColor(uint32_t New_CalendarBackColor);
    uint32_t CalendarForeColor() const;
    void setCalendarForeColor(uint32_t New_CalendarForeColor);
    uint32_t CalendarTitleBackColor() const;
    void setCalendarTitleBackColor(uint32_t New_CalendarTitleBackColor);
    uint32_t CalendarTitleForeColor() const;
    void setCalendarTitleForeColor(uint32_t New_CalendarTitleForeColor);
    uint32_t CalendarTrailingForeColor() const;
    void setCalendarTrailingForeColor(uint32_t New_CalendarTrailingForeColor);
    std::string CustomFormat() const;
    void setCustomFormat(const std::string& New_CustomFormat);
    int16_t Format() const;
    void setFormat(int16_t New_Format);
    double MaxDate() const;
    void setMaxDate(double New_MaxDate);
    double MinDate() const;
    void setMinDate(double New_MinDate);
    PictureRef Picture() const;
    void setPicture(PictureRef New_Picture);
    bool UpDown() const;
    void setUpDown(bool New_UpDown);
    Variant Value() const;
    void setValue(const Variant& New_Value);
    int16_t MonthColumns() const { return monthColumns_; }
    void setMonthColumns(int16_t New_MonthColumns);
    int16_t MonthRows() const { return monthRows_; }
    void setMonthRows(int16_t New_MonthRows);
    bool ShowToday() const { return showToday_; }
    void setShowToday(bool New_ShowToday);
    bool ShowWeek() const { return showWeek_; }
    void setShowWeek(bool New_ShowWeek);
    int16_t PictureType() const { return pictureType_; }
    void setPictureType(int16_t New_PictureType);
    uint32_t CalendarMonthBackColor() const { return calendarMonthBackColor_; }
    void setCalendarMonthBackColor(uint32_t New_CalendarMonthBackColor);
    bool CanOpen() const { return canOpen_; }
    void setCanOpen(bool New_CanOpen);

    // ---- Lifecycle --------------------------------------------------------
    void InitProperties() override;
    void ReadProperties(PropertyStore& store) override;
    void WriteProperties(PropertyStore& store) override;
    void Resize() override;

    // ---- Children -----------------------------------------------------------
    const std::shared_ptr<DateBox>& cal() const { return cal_; }
    const std::shared_ptr<PushButton>& cmd() const { return cmd_; }
    // Element 0 holds the own picture, 1 the drop-down arrow, 2 the calendar
    // sheet. Any other index is HostError 340 naming the element.
    const std::shared_ptr<Image>& imgDropDown(int index) const;

    // ---- Handlers of the children's events ---------------------------------
    void HandleDropButtonDown(int16_t Button, int16_t Shift, float X, float Y);
    void HandleDateBoxDropDown();
    void HandleDateBoxClick();
    void HandleDateBoxDblClick();
    void HandleDateBoxKeyDown(int16_t& KeyCode, int16_t& Shift);
    void HandleDateBoxKeyPress(int16_t& KeyAscii);
    void HandleDateBoxKeyUp(int16_t& KeyCode, int16_t& Shift);
    void HandleDateBoxChange();

    // ---- Late-bound: the 21 properties, and cal, cmd, imgDropDown(i) ---------
    std::string className() const override { return kProgId; }

protected:
    // An open popup that this control opened is closed: it must not write a
    // day into a control whose form has gone.
    void Terminate() override;
    Variant getMember(std::string_view member, const Variant* arg) override;
    void putMember(std::string_view member, const Variant& value) override;
    void putRefMember(std::string_view member, const Variant& value) override;
    Variant callMember(std::string_view member, std::span<Variant> args) override;

private:
    // The three stages of opening the popup, in this order, all under the
    // press handler's one skip-on-error guard.
    void copySettingsToPopup(SkipOnError& guard, frmCalendar& frm);
    // Returns the control's bottom edge on the screen, in twips: where a
    // popup below it starts.
    double placePopup(SkipOnError& guard, frmCalendar& frm, float X, float Y);
    void showPopup(SkipOnError& guard, frmCalendar& frm, double anchorTop);
    void raiseKeyEvent(std::string_view event, int16_t& first, int16_t* second);

    std::shared_ptr<DateBox> cal_;
    std::shared_ptr<PushButton> cmd_;
    std::array<std::shared_ptr<Image>, 3> imgDropDown_;

    // The settings start as on a newly placed control, so that a load which
    // stops early or names no picture element leaves a usable control.
    uint32_t calendarMonthBackColor_ = 0;
    bool canOpen_ = true;
    bool showToday_ = true;
    bool showWeek_ = true;
    int16_t pictureType_ = 2;
    int16_t monthColumns_ = 1;
    int16_t monthRows_ = 3;
};

}  // namespace tavo
