#pragma once
// The month grid's widget: MonthRows × MonthColumns months of six weeks each,
// optional week numbers, a today line, arrows in the title of the first and
// last month of the top row, mouse and keyboard. It sizes itself from its font:
//
//   h = the font's line height; day column width w = max(widest weekday
//   name + 2, 2 × width of "00" + 4); a month is 7 columns (8 with week
//   numbers) wide and 8.5 h high (title 1.5 h, weekday row h, six weeks 6 h);
//   months stand 6 pixels apart, the grid has a one-pixel border, and the
//   today line adds h below all months.
#include <QDate>
#include <QWidget>
#include <functional>

namespace tavo {

struct MonthGridLook {
    QColor back, fore, monthBack, titleBack, titleFore, trailingFore;
};

class MonthGridWidget : public QWidget {
public:
    explicit MonthGridWidget(QWidget* parent);

    // The size the grid takes for these settings, in pixels.
    static QSize sizeFor(const QFont& font, int rows, int columns, bool weekNumbers, bool todayLine);

    void setLook(const MonthGridLook& look);
    void setMonths(int rows, int columns);
    void setShowWeekNumbers(bool on);
    void setShowToday(bool on);
    void setToday(QDate today);
    void setRange(QDate min, QDate max);
    // Selects the day and scrolls so that it is shown.
    void setValue(QDate value);
    QDate value() const { return value_; }
    // The month shown top left (its first day).
    QDate firstMonth() const { return first_; }
    void scrollMonths(int months);

    // A day of the range was clicked, or Enter pressed on the selected day.
    std::function<void(QDate)> onDateClick;
    // The user moved the selection with the keyboard.
    std::function<void(QDate)> onSelect;

    QSize sizeHint() const override { return sizeFor(font(), rows_, columns_, weekNumbers_, todayLine_); }

    // Where things are, for painting, hit tests and tests.
    QRect monthRect(int index) const;
    QRect dayRect(QDate day) const;  // empty when the day is not shown
    QRect previousArrowRect() const;
    QRect nextArrowRect() const;
    QRect todayRect() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    struct Metrics {
        int h, w, title, monthW, monthH;
    };
    Metrics metrics() const;
    int monthCount() const { return rows_ * columns_; }
    QDate gridStart(int index) const;  // first day shown in month `index`'s six weeks
    QDate dayAt(QPoint p) const;       // invalid where no clickable day is
    bool inRange(QDate d) const { return d >= min_ && d <= max_; }
    void ensureShown(QDate d);
    void clampFirst();
    void relayout();
    void paintMonth(class QPainter& p, int index, const Metrics& m);

    MonthGridLook look_;
    int rows_ = 1, columns_ = 1;
    bool weekNumbers_ = false, todayLine_ = true;
    QDate today_, min_, max_, value_, first_;
    QDate pressed_;
};

}  // namespace tavo
