#pragma once
// The month grid on Qt, on our own MonthGridWidget (Qt's calendar shows one
// month only). Its Width and Height are the size it takes for its months,
// font, week numbers and today line, right after every change.
#include "backends/qt/month_grid_widget.h"
#include "backends/qt/qt_child.h"
#include "tavo/components/date_components.h"
#include "tavo/qt/qt_export.h"

namespace tavo {

class TAVO_QT_INTERNAL QtMonthGrid : public QtChild<MonthGrid> {
public:
    QtMonthGrid(const ChildDesign& d, QtHost& host, QWidget* parent);
    ~QtMonthGrid() override;

    float width() const override;
    float height() const override;
    // The grid decides its own size; a put is checked and otherwise ignored.
    void setWidth(float v) override { checkSize(v, "Width"); }
    void setHeight(float v) override { checkSize(v, "Height"); }

    bool showToday() const override { return showToday_; }
    void setShowToday(bool v) override;
    bool showWeekNumbers() const override { return showWeekNumbers_; }
    void setShowWeekNumbers(bool v) override;
    uint32_t backColor() const override { return colours_[Back]; }
    void setBackColor(uint32_t c) override { setColour(Back, c); }
    uint32_t foreColor() const override { return colours_[Fore]; }
    void setForeColor(uint32_t c) override { setColour(Fore, c); }
    uint32_t monthBackColor() const override { return colours_[MonthBack]; }
    void setMonthBackColor(uint32_t c) override { setColour(MonthBack, c); }
    uint32_t titleBackColor() const override { return colours_[TitleBack]; }
    void setTitleBackColor(uint32_t c) override { setColour(TitleBack, c); }
    uint32_t titleForeColor() const override { return colours_[TitleFore]; }
    void setTitleForeColor(uint32_t c) override { setColour(TitleFore, c); }
    uint32_t trailingForeColor() const override { return colours_[TrailingFore]; }
    void setTrailingForeColor(uint32_t c) override { setColour(TrailingFore, c); }
    FontRef font() const override { return font_; }
    void setFont(FontRef f) override;
    double minDate() const override { return min_; }
    void setMinDate(double d) override;
    double maxDate() const override { return max_; }
    void setMaxDate(double d) override;
    int16_t monthColumns() const override { return columns_; }
    void setMonthColumns(int16_t n) override;
    int16_t monthRows() const override { return rows_; }
    void setMonthRows(int16_t n) override;
    double value() const override { return value_; }
    void setValue(double d) override;

    MonthGridWidget* grid() const { return static_cast<MonthGridWidget*>(widget_.data()); }

protected:
    void place() override;

private:
    enum ColourRole { Back, Fore, MonthBack, TitleBack, TitleFore, TrailingFore, ColourCount };
    void setColour(ColourRole role, uint32_t c);
    void applyLook();
    void applyMonths();
    void dateClicked(QDate d);

    bool showToday_ = true, showWeekNumbers_ = false;
    uint32_t colours_[ColourCount];
    FontRef font_;
    double min_, max_, value_;
    int16_t rows_ = 1, columns_ = 1;
    QSize size_;
};

}  // namespace tavo
