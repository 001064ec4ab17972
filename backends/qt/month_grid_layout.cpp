#include "backends/qt/month_grid_layout.h"

#include <QFontMetrics>
#include <algorithm>
#include <vector>

#include "backends/qt/month_grid_locale.h"

namespace tavo {

namespace {

constexpr int kGap = 6;
constexpr int kBorder = 1;

// Measuring text shapes it, which costs more than all the rest of opening a
// popup; what one font's day names measure does not change while the program
// runs, so each font and language is measured once.
// A program uses a handful of fonts; comparing fonts is cheaper than naming them.
int dayColumnWidth(const QFont& font, const MonthGridLocale& texts) {
    struct Measured {
        QFont font;
        QLocale locale;
        int width;
    };
    static std::vector<Measured> measured;
    const QLocale& locale = texts.locale();
    for (const Measured& m : measured)
        if (m.font == font && m.locale == locale) return m.width;
    const QFontMetrics fm(font);
    int widest = 0;
    for (int d = 1; d <= 7; ++d) widest = std::max(widest, fm.horizontalAdvance(texts.weekdayName(d)));
    const int width = std::max(widest + 2, 2 * fm.horizontalAdvance(texts.number(0).repeated(2)) + 4);
    if (measured.size() == 16) measured.erase(measured.begin());
    measured.push_back({font, locale, width});
    return width;
}

}  // namespace

MonthGridLayout::MonthGridLayout(const QFont& font, const MonthGridLocale& locale, int rows, int columns,
                                 bool weekNumbers, bool todayLine, bool rightToLeft)
    : h_(QFontMetrics(font).height()), w_(dayColumnWidth(font, locale)), title_((3 * h_ + 1) / 2),
      monthW_((weekNumbers ? 8 : 7) * w_), monthH_(title_ + 7 * h_), rows_(rows), columns_(columns),
      weekNumbers_(weekNumbers), todayLine_(todayLine), rtl_(rightToLeft) {}

QSize MonthGridLayout::size() const {
    return {columns_ * monthW_ + (columns_ - 1) * kGap + 2 * kBorder,
            rows_ * monthH_ + (rows_ - 1) * kGap + (todayLine_ ? h_ : 0) + 2 * kBorder};
}

QRect MonthGridLayout::placed(const QRect& ltr) const {
    if (!rtl_ || ltr.isNull()) return ltr;
    return {size().width() - ltr.left() - ltr.width(), ltr.top(), ltr.width(), ltr.height()};
}

QRect MonthGridLayout::ltrMonthRect(int month) const {
    const int r = month / columns_, c = month % columns_;
    return {kBorder + c * (monthW_ + kGap), kBorder + r * (monthH_ + kGap), monthW_, monthH_};
}

int MonthGridLayout::ltrDaysLeft(int month) const { return ltrMonthRect(month).left() + (weekNumbers_ ? w_ : 0); }

QRect MonthGridLayout::monthRect(int month) const { return placed(ltrMonthRect(month)); }

QRect MonthGridLayout::titleRect(int month) const {
    const QRect m = monthRect(month);
    return {m.left(), m.top(), m.width(), title_};
}

QRect MonthGridLayout::weekdayRect(int month, int column) const {
    return placed({ltrDaysLeft(month) + column * w_, ltrMonthRect(month).top() + title_, w_, h_});
}

QRect MonthGridLayout::dayRect(int month, int week, int column) const {
    return placed({ltrDaysLeft(month) + column * w_, ltrMonthRect(month).top() + title_ + h_ * (week + 1), w_, h_});
}

QRect MonthGridLayout::weekNumberRect(int month, int week) const {
    if (!weekNumbers_) return {};
    const QRect m = ltrMonthRect(month);
    return placed({m.left(), m.top() + title_ + h_ * (week + 1), w_, h_});
}

QRect MonthGridLayout::headingRule(int month) const {
    return placed({ltrDaysLeft(month) + 2, ltrMonthRect(month).top() + title_ + h_ - 1, 7 * w_ - 4, 1});
}

QRect MonthGridLayout::weekRule(int month) const {
    if (!weekNumbers_) return {};
    return placed({ltrDaysLeft(month) - 1, ltrMonthRect(month).top() + title_ + h_ + 2, 1, 6 * h_ - 4});
}

QRect MonthGridLayout::previousArrowRect() const {
    const QRect m = ltrMonthRect(0);
    return placed({m.left() + 4, m.top() + (title_ - h_) / 2, h_, h_});
}

QRect MonthGridLayout::nextArrowRect() const {
    const QRect m = ltrMonthRect(columns_ - 1);
    return placed({m.right() - 4 - h_ + 1, m.top() + (title_ - h_) / 2, h_, h_});
}

QRect MonthGridLayout::todayRect() const {
    if (!todayLine_) return {};
    return {kBorder, kBorder + rows_ * monthH_ + (rows_ - 1) * kGap, size().width() - 2 * kBorder, h_};
}

QRect MonthGridLayout::todayRingRect() const {
    const QRect line = todayRect();
    return placed({line.left() + 6, line.top() + 2, w_ - 4, h_ - 4});
}

QRect MonthGridLayout::todayTextRect() const {
    const QRect line = todayRect();
    const int left = line.left() + 6 + w_ - 4 + 6;
    return placed({left, line.top(), line.right() + 1 - left, h_});
}

std::optional<MonthGridLayout::Cell> MonthGridLayout::cellAt(QPoint p) const {
    if (rtl_) p.setX(size().width() - 1 - p.x());
    for (int i = 0; i < monthCount(); ++i) {
        const QRect days(ltrDaysLeft(i), ltrMonthRect(i).top() + title_ + h_, 7 * w_, 6 * h_);
        if (days.contains(p)) return Cell{i, (p.y() - days.top()) / h_, (p.x() - days.left()) / w_};
    }
    return std::nullopt;
}

}  // namespace tavo
