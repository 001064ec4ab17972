#pragma once
// Where the month grid's parts stand, in the widget's pixels. With h the
// font's line height and w the day column width, the wider of the widest
// weekday name + 2 and 2 × the width of "00" in the locale's digits + 4:
//
//   a month is 7 columns (8 with week numbers) of w, and 1.5 h (title) +
//   h (weekday names) + 6 h (six weeks) high; months stand MonthColumns wide
//   and MonthRows high, 6 pixels apart, inside a one-pixel border; the today
//   line adds h below them all.
//
// A right-to-left grid is the mirror image: the first month stands top
// right, a week runs from right to left with its number on the right, and the
// arrow to earlier months is on the right.
#include <QFont>
#include <QRect>
#include <optional>

#include "tavo/qt/qt_export.h"

namespace tavo {

class MonthGridLocale;

class TAVO_QT_INTERNAL MonthGridLayout {
public:
    MonthGridLayout() = default;
    MonthGridLayout(const QFont& font, const MonthGridLocale& locale, int rows, int columns, bool weekNumbers,
                    bool todayLine, bool rightToLeft);

    QSize size() const;
    int monthCount() const { return rows_ * columns_; }
    int columns() const { return columns_; }
    int lineHeight() const { return h_; }
    bool rightToLeft() const { return rtl_; }
    bool weekNumbers() const { return weekNumbers_; }

    QRect monthRect(int month) const;
    QRect titleRect(int month) const;
    // `column` counts the days of a week in reading order: 0 is the first.
    QRect weekdayRect(int month, int column) const;
    QRect dayRect(int month, int week, int column) const;
    QRect weekNumberRect(int month, int week) const;
    QRect headingRule(int month) const;  // one pixel high, under the weekday names
    QRect weekRule(int month) const;     // one pixel wide, between week numbers and days
    QRect previousArrowRect() const;
    QRect nextArrowRect() const;
    QRect todayRect() const;  // empty without the today line
    QRect todayRingRect() const;
    QRect todayTextRect() const;

    struct Cell {
        int month, week, column;
    };
    std::optional<Cell> cellAt(QPoint p) const;

private:
    QRect ltrMonthRect(int month) const;
    int ltrDaysLeft(int month) const;
    QRect placed(const QRect& ltr) const;

    int h_ = 0, w_ = 0, title_ = 0, monthW_ = 0, monthH_ = 0;
    int rows_ = 1, columns_ = 1;
    bool weekNumbers_ = false, todayLine_ = true, rtl_ = false;
};

}  // namespace tavo
