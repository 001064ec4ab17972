#pragma once
// The month grid's widget: MonthRows × MonthColumns months of six weeks each,
// optional week numbers, a today line, arrows in the title of the first and
// last month of the top row, mouse, keyboard and screen readers. It sizes
// itself from its font and its locale (MonthGridLayout), draws its parts in
// colours that stay readable (MonthGridLook) and speaks its locale's language
// and digits (MonthGridLocale).
//
// A day set from outside (setValue) brings its month to the top left, the
// following months after it, as far as the latest date allows; a day the user
// moves to scrolls the months only as far as needed to show it.
#include <QDate>
#include <QWidget>
#include <functional>

#include "backends/qt/month_grid_layout.h"
#include "backends/qt/month_grid_locale.h"
#include "backends/qt/month_grid_look.h"
#include "tavo/qt/qt_export.h"

namespace tavo {

class TAVO_QT_INTERNAL MonthGridWidget : public QWidget {
public:
    explicit MonthGridWidget(QWidget* parent);

    void setLook(const MonthGridLook& look);
    // Worked out when first drawn: a popup is given its six colours one by one.
    const MonthGridInk& ink() const;
    void setMonths(int rows, int columns);
    void setShowWeekNumbers(bool on);
    void setShowToday(bool on);
    void setToday(QDate today);
    QDate today() const { return today_; }
    // The selected day moves into a narrower range.
    void setRange(QDate min, QDate max);
    bool inRange(QDate d) const { return d >= min_ && d <= max_; }
    void setValue(QDate value);
    QDate value() const { return value_; }
    // The month shown top left (its first day).
    QDate firstMonth() const { return first_; }
    void scrollMonths(int months);

    // What stands where: the layout, the words, and the day in each place.
    const MonthGridLayout& layout() const { return layout_; }
    const MonthGridLocale& texts() const { return texts_; }
    int monthCount() const { return layout_.monthCount(); }
    QDate monthAt(int month) const { return first_.addMonths(month); }
    QDate dayAt(int month, int week, int column) const;
    // A month shows its own days; the first month also the days before it,
    // the last month the days after it.
    bool shows(int month, QDate d) const;
    // Where a day stands; nothing when it is not shown.
    std::optional<MonthGridLayout::Cell> cellOf(QDate day) const;
    QRect dayRect(QDate day) const;

    // A day of the range was clicked, or Enter pressed on the selected day.
    std::function<void(QDate)> onDateClick;
    // The user moved the selection with the keyboard.
    std::function<void(QDate)> onSelect;
    // System colours mean other colours now.
    std::function<void()> onPaletteChange;

    QSize sizeHint() const override { return layout_.size(); }

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    QDate dayUnder(QPoint p) const;  // invalid where no day is shown
    void select(QDate d);
    void ensureShown(QDate d);
    void clampFirst();
    void relayout();
    void selectionChanged();

    MonthGridLook look_;
    mutable MonthGridInk ink_;
    mutable bool inkStale_ = true;
    MonthGridLocale texts_;
    MonthGridLayout layout_;
    int rows_ = 1, columns_ = 1;
    bool weekNumbers_ = false, todayLine_ = true;
    QDate today_, min_, max_, value_, first_;
    QDate pressed_;
};

}  // namespace tavo
