#pragma once
// The headless month grid ("MSComCtl2.MonthView"). It sizes itself to its
// months: with h the font's line height and w the day column width (the
// wider of the widest weekday name + 2 and 2 × the width of "00" + 4, German
// two-letter weekday names, FontMetrics), one month is 7 columns of w (8 with
// week numbers) and round(1.5 h) + h + 6 h + h high (title, weekday row, six
// weeks, today line); months stand MonthColumns wide and MonthRows high with
// 6 pixels between them, plus a one-pixel border all round; without the today
// line the grid is h shorter. Pixels turn into twips with the host's twips per
// pixel. Its Width and Height are always this size: puts of them are ignored.
//
// Keys: the arrows move the selected day by a day or a week, PgUp and PgDn by
// a month, Home and End to the first and last day of the month, always within
// MinDate..MaxDate; Enter raises DateClick with the selected day.
//
// The months it shows: a put of Value brings the day's month to the top left,
// the following months after it, as far as MaxDate allows (the last month
// shown is MaxDate's at the latest, the first MinDate's at the earliest); a
// day the user moves to scrolls the months only as far as needed.
#include <cstdint>

#include "backends/headless/headless_child.h"
#include "tavo/components/date_components.h"

namespace tavo {

class HeadlessMonthGrid : public HeadlessChild<MonthGrid> {
public:
    static constexpr double kOwnMinDate = -53688.0;   // 1 January 1753
    static constexpr double kOwnMaxDate = 2958465.0;  // 31 December 9999

    HeadlessMonthGrid(const ChildDesign& d, Placing p);

    bool showToday() const override { return showToday_; }
    void setShowToday(bool v) override { showToday_ = v; }
    bool showWeekNumbers() const override { return showWeekNumbers_; }
    void setShowWeekNumbers(bool v) override { showWeekNumbers_ = v; }
    uint32_t backColor() const override { return backColor_; }
    void setBackColor(uint32_t c) override { backColor_ = c; }
    uint32_t foreColor() const override { return foreColor_; }
    void setForeColor(uint32_t c) override { foreColor_ = c; }
    uint32_t monthBackColor() const override { return monthBackColor_; }
    void setMonthBackColor(uint32_t c) override { monthBackColor_ = c; }
    uint32_t titleBackColor() const override { return titleBackColor_; }
    void setTitleBackColor(uint32_t c) override { titleBackColor_ = c; }
    uint32_t titleForeColor() const override { return titleForeColor_; }
    void setTitleForeColor(uint32_t c) override { titleForeColor_ = c; }
    uint32_t trailingForeColor() const override { return trailingForeColor_; }
    void setTrailingForeColor(uint32_t c) override { trailingForeColor_ = c; }
    FontRef font() const override { return font_; }
    void setFont(FontRef f) override;
    double minDate() const override { return minDate_; }
    void setMinDate(double d) override;
    double maxDate() const override { return maxDate_; }
    void setMaxDate(double d) override;
    int16_t monthColumns() const override { return columns_; }
    void setMonthColumns(int16_t n) override;
    int16_t monthRows() const override { return rows_; }
    void setMonthRows(int16_t n) override;
    double value() const override { return value_; }
    void setValue(double d) override;

    float width() const override;
    float height() const override;
    void setWidth(float v) override;
    void setHeight(float v) override;
    int pixelWidth() const;
    int pixelHeight() const;
    // The first day of the month shown top left.
    double firstMonth() const;

    // ---- What a user does (queued; the host's loop delivers it) ----------
    // A click on a day: the grid selects it and raises DateClick. A day
    // outside MinDate..MaxDate cannot be clicked: nothing happens.
    void dateClick(double date);

    // ---- Used by the host's input delivery -------------------------------
    void clickDay(double date);
    void navigate(int16_t keyCode);

private:
    bool inRange(double day) const;
    void ensureShown(double day);
    void clampFirst();
    void checkMonths(int16_t rows, int16_t columns, const char* member, int16_t value) const;

    bool showToday_ = true, showWeekNumbers_ = false;
    uint32_t backColor_ = 0x80000005u;
    uint32_t foreColor_ = 0x80000012u;
    uint32_t monthBackColor_ = 0x80000005u;
    uint32_t titleBackColor_ = 0x80000014u;
    uint32_t titleForeColor_ = 0x80000012u;
    uint32_t trailingForeColor_ = 0x80000011u;
    FontRef font_;
    double minDate_ = kOwnMinDate, maxDate_ = kOwnMaxDate;
    int16_t columns_ = 1, rows_ = 1;
    double value_ = 36759.0;  // 21 August 2000
    int first_ = 2000 * 12 + 7;  // the top left month as year × 12 + month - 1
};

}  // namespace tavo
