#include "backends/qt/month_grid_widget.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <vector>

namespace tavo {

namespace {

constexpr int kGap = 6;
constexpr int kBorder = 1;

// Measuring text shapes it, which costs more than all the rest of opening a
// popup; what one font's day names measure does not change while the program
// runs, so each font and language is measured once.
// A program uses a handful of fonts; comparing fonts is cheaper than naming them.
int dayColumnWidth(const QFont& font) {
    struct Measured {
        QFont font;
        QLocale locale;
        int width;
    };
    static std::vector<Measured> measured;
    const QLocale locale;
    for (const Measured& m : measured)
        if (m.font == font && m.locale == locale) return m.width;
    const QFontMetrics fm(font);
    int widest = 0;
    for (int d = 1; d <= 7; ++d) widest = std::max(widest, fm.horizontalAdvance(locale.dayName(d, QLocale::ShortFormat)));
    const int width = std::max(widest + 2, 2 * fm.horizontalAdvance(QStringLiteral("00")) + 4);
    if (measured.size() == 16) measured.erase(measured.begin());
    measured.push_back({font, locale, width});
    return width;
}

QDate monthStart(QDate d) { return QDate(d.year(), d.month(), 1); }

QString todayLabel() { return QLocale().language() == QLocale::German ? QStringLiteral("Heute:") : QStringLiteral("Today:"); }

}  // namespace

MonthGridWidget::MonthGridWidget(QWidget* parent)
    : QWidget(parent), today_(QDate::currentDate()), min_(1753, 1, 1), max_(9999, 12, 31), value_(2000, 8, 21),
      first_(2000, 8, 1) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    look_ = {palette().color(QPalette::Button), palette().color(QPalette::Text),  palette().color(QPalette::Base),
             palette().color(QPalette::Highlight), palette().color(QPalette::HighlightedText),
             palette().color(QPalette::Disabled, QPalette::Text)};
    relayout();
}

QSize MonthGridWidget::sizeFor(const QFont& font, int rows, int columns, bool weekNumbers, bool todayLine) {
    const QFontMetrics fm(font);
    const int h = fm.height(), w = dayColumnWidth(font);
    const int monthW = (weekNumbers ? 8 : 7) * w;
    const int monthH = (3 * h + 1) / 2 + 7 * h;
    return {columns * monthW + (columns - 1) * kGap + 2 * kBorder,
            rows * monthH + (rows - 1) * kGap + (todayLine ? h : 0) + 2 * kBorder};
}

MonthGridWidget::Metrics MonthGridWidget::metrics() const {
    const QFontMetrics fm(font());
    Metrics m;
    m.h = fm.height();
    m.w = dayColumnWidth(font());
    m.title = (3 * m.h + 1) / 2;
    m.monthW = (weekNumbers_ ? 8 : 7) * m.w;
    m.monthH = m.title + 7 * m.h;
    return m;
}

void MonthGridWidget::relayout() {
    setFixedSize(sizeHint());
    update();
}

void MonthGridWidget::changeEvent(QEvent* e) {
    if (e->type() == QEvent::FontChange) relayout();
    QWidget::changeEvent(e);
}

void MonthGridWidget::setLook(const MonthGridLook& look) {
    look_ = look;
    update();
}

void MonthGridWidget::setMonths(int rows, int columns) {
    rows_ = rows;
    columns_ = columns;
    clampFirst();
    ensureShown(value_);
    relayout();
}

void MonthGridWidget::setShowWeekNumbers(bool on) {
    weekNumbers_ = on;
    relayout();
}

void MonthGridWidget::setShowToday(bool on) {
    todayLine_ = on;
    relayout();
}

void MonthGridWidget::setToday(QDate today) {
    today_ = today;
    update();
}

void MonthGridWidget::setRange(QDate min, QDate max) {
    min_ = min;
    max_ = max;
    clampFirst();
    update();
}

void MonthGridWidget::setValue(QDate value) {
    value_ = value;
    ensureShown(value);
    update();
}

void MonthGridWidget::scrollMonths(int months) {
    first_ = first_.addMonths(months);
    clampFirst();
    update();
}

void MonthGridWidget::ensureShown(QDate d) {
    if (!d.isValid()) return;
    const QDate m = monthStart(d);
    if (m < first_) first_ = m;
    else if (m > first_.addMonths(monthCount() - 1)) first_ = m.addMonths(-(monthCount() - 1));
    clampFirst();
}

void MonthGridWidget::clampFirst() {
    const QDate lowest = monthStart(min_);
    const QDate highest = monthStart(max_).addMonths(-(monthCount() - 1));
    if (first_ > highest) first_ = highest;
    if (first_ < lowest) first_ = lowest;
}

QRect MonthGridWidget::monthRect(int index) const {
    const Metrics m = metrics();
    const int r = index / columns_, c = index % columns_;
    return {kBorder + c * (m.monthW + kGap), kBorder + r * (m.monthH + kGap), m.monthW, m.monthH};
}

QRect MonthGridWidget::previousArrowRect() const {
    const Metrics m = metrics();
    const QRect month = monthRect(0);
    return {month.left() + 4, month.top() + (m.title - m.h) / 2, m.h, m.h};
}

QRect MonthGridWidget::nextArrowRect() const {
    const Metrics m = metrics();
    const QRect month = monthRect(columns_ - 1);
    return {month.right() - 4 - m.h + 1, month.top() + (m.title - m.h) / 2, m.h, m.h};
}

QRect MonthGridWidget::todayRect() const {
    if (!todayLine_) return {};
    const Metrics m = metrics();
    return {kBorder, kBorder + rows_ * m.monthH + (rows_ - 1) * kGap, width() - 2 * kBorder, m.h};
}

QDate MonthGridWidget::gridStart(int index) const {
    const QDate first = first_.addMonths(index);
    const int lead = (first.dayOfWeek() - int(QLocale().firstDayOfWeek()) + 7) % 7;
    return first.addDays(-lead);
}

QRect MonthGridWidget::dayRect(QDate day) const {
    if (!day.isValid()) return {};
    const int count = monthCount();
    const QDate last = first_.addMonths(count - 1);
    int index;
    if (monthStart(day) < first_) index = 0;  // a leading day of the first month
    else if (monthStart(day) > last) index = count - 1;  // a trailing day of the last
    else index = int((day.year() - first_.year()) * 12 + day.month() - first_.month());
    const qint64 offset = gridStart(index).daysTo(day);
    if (offset < 0 || offset >= 42) return {};
    const Metrics m = metrics();
    const QRect month = monthRect(index);
    const int col = int(offset % 7) + (weekNumbers_ ? 1 : 0), row = int(offset / 7);
    return {month.left() + col * m.w, month.top() + m.title + m.h + row * m.h, m.w, m.h};
}

QDate MonthGridWidget::dayAt(QPoint p) const {
    const Metrics m = metrics();
    for (int i = 0; i < monthCount(); ++i) {
        const QRect month = monthRect(i);
        const QRect days(month.left() + (weekNumbers_ ? m.w : 0), month.top() + m.title + m.h, 7 * m.w, 6 * m.h);
        if (!days.contains(p)) continue;
        const int col = (p.x() - days.left()) / m.w, row = (p.y() - days.top()) / m.h;
        const QDate d = gridStart(i).addDays(row * 7 + col);
        const QDate own = first_.addMonths(i);
        const bool shown = monthStart(d) == own || (i == 0 && d < own) || (i == monthCount() - 1 && d > own);
        return shown ? d : QDate();
    }
    return {};
}

void MonthGridWidget::mousePressEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    pressed_ = QDate();
    if (previousArrowRect().contains(p)) return scrollMonths(-monthCount());
    if (nextArrowRect().contains(p)) return scrollMonths(monthCount());
    if (todayRect().contains(p)) pressed_ = today_;
    else pressed_ = dayAt(p);
}

void MonthGridWidget::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    const QDate d = todayRect().contains(p) ? today_ : dayAt(p);
    const QDate pressed = pressed_;
    pressed_ = QDate();
    if (!d.isValid() || d != pressed || !inRange(d)) return;
    setValue(d);
    if (onDateClick) onDateClick(d);
}

void MonthGridWidget::keyPressEvent(QKeyEvent* e) {
    QDate d = value_;
    switch (e->key()) {
    case Qt::Key_Left: d = d.addDays(-1); break;
    case Qt::Key_Right: d = d.addDays(1); break;
    case Qt::Key_Up: d = d.addDays(-7); break;
    case Qt::Key_Down: d = d.addDays(7); break;
    case Qt::Key_PageUp: d = d.addMonths(-1); break;
    case Qt::Key_PageDown: d = d.addMonths(1); break;
    case Qt::Key_Home: d = monthStart(d); break;
    case Qt::Key_End: d = monthStart(d).addMonths(1).addDays(-1); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (inRange(value_) && onDateClick) onDateClick(value_);
        return;
    default: e->ignore(); return;
    }
    setValue(std::clamp(d, min_, max_));
    if (onSelect) onSelect(value_);
}

void MonthGridWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const Metrics m = metrics();
    p.fillRect(rect(), look_.back);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    for (int i = 0; i < monthCount(); ++i) paintMonth(p, i, m);

    if (todayLine_) {
        const QRect line = todayRect();
        p.fillRect(line, look_.monthBack);
        const QRect mark(line.left() + 6, line.top() + 2, m.w - 4, m.h - 4);
        p.setPen(QPen(QColor(200, 0, 0), 1));
        p.drawRoundedRect(mark, 3, 3);
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        p.setPen(look_.fore);
        p.drawText(line.adjusted(mark.right() + 6 - line.left(), 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   todayLabel() + u' ' + QLocale().toString(today_, QLocale::ShortFormat));
    }
}

void MonthGridWidget::paintMonth(QPainter& p, int index, const Metrics& m) {
    const QRect month = monthRect(index);
    const QDate own = first_.addMonths(index);
    const QLocale locale;

    // Title band with the month's name; arrows in the outer months of the top row.
    const QRect title(month.left(), month.top(), month.width(), m.title);
    p.fillRect(title, look_.titleBack);
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(look_.titleFore);
    p.drawText(title, Qt::AlignCenter, locale.standaloneMonthName(own.month()) + u' ' + QString::number(own.year()));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(look_.titleFore);
    p.setPen(Qt::NoPen);
    auto arrow = [&](QRect r, bool left, bool usable) {
        if (!usable) return;
        const QRectF a = QRectF(r).adjusted(r.width() * 0.3, r.height() * 0.25, -r.width() * 0.3, -r.height() * 0.25);
        QPainterPath path;
        if (left) {
            path.moveTo(a.right(), a.top());
            path.lineTo(a.left(), a.center().y());
            path.lineTo(a.right(), a.bottom());
        } else {
            path.moveTo(a.left(), a.top());
            path.lineTo(a.right(), a.center().y());
            path.lineTo(a.left(), a.bottom());
        }
        path.closeSubpath();
        p.drawPath(path);
    };
    if (index == 0) arrow(previousArrowRect(), true, first_ > monthStart(min_));
    if (index == columns_ - 1)
        arrow(nextArrowRect(), false, first_.addMonths(monthCount() - 1) < monthStart(max_));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);

    // Body: weekday names over a rule, then six weeks.
    const QRect body(month.left(), title.bottom() + 1, month.width(), month.height() - m.title);
    p.fillRect(body, look_.monthBack);
    p.setFont(font());
    const int daysLeft = month.left() + (weekNumbers_ ? m.w : 0);
    const int namesTop = body.top();
    p.setPen(look_.titleBack);
    const int firstDay = int(locale.firstDayOfWeek());
    for (int c = 0; c < 7; ++c) {
        const int dow = (firstDay - 1 + c) % 7 + 1;
        p.drawText(QRect(daysLeft + c * m.w, namesTop, m.w, m.h), Qt::AlignCenter, locale.dayName(dow, QLocale::ShortFormat));
    }
    p.setPen(look_.fore);
    p.drawLine(daysLeft + 2, namesTop + m.h - 1, daysLeft + 7 * m.w - 3, namesTop + m.h - 1);

    const QDate start = gridStart(index);
    const bool firstMonth = index == 0, lastMonth = index == monthCount() - 1;
    for (int row = 0; row < 6; ++row) {
        const int y = namesTop + m.h + row * m.h;
        bool anyShown = false;
        for (int c = 0; c < 7; ++c) {
            const QDate d = start.addDays(row * 7 + c);
            const bool ownDay = monthStart(d) == own;
            if (!ownDay && !(firstMonth && d < own) && !(lastMonth && d > own)) continue;
            anyShown = true;
            const QRect cell(daysLeft + c * m.w, y, m.w, m.h);
            QColor text = ownDay && inRange(d) ? look_.fore : look_.trailingFore;
            if (d == value_ && ownDay) {
                p.fillRect(cell.adjusted(1, 0, -1, 0), look_.titleBack);
                text = look_.monthBack;
            }
            if (todayLine_ && d == today_) {
                p.setPen(QPen(QColor(200, 0, 0), 1));
                p.drawRoundedRect(cell.adjusted(1, 0, -2, -1), 3, 3);
            }
            p.setPen(text);
            p.drawText(cell, Qt::AlignCenter, QString::number(d.day()));
        }
        if (weekNumbers_ && anyShown) {
            p.setPen(look_.titleBack);
            // The week's number is that of its Thursday, whichever day starts the week.
            const int thursday = (4 - firstDay + 7) % 7;
            p.drawText(QRect(month.left(), y, m.w, m.h), Qt::AlignCenter,
                       QString::number(start.addDays(row * 7 + thursday).weekNumber()));
        }
    }
    if (weekNumbers_) {
        p.setPen(look_.fore);
        p.drawLine(daysLeft - 1, namesTop + m.h + 2, daysLeft - 1, namesTop + 7 * m.h - 3);
    }
}

}  // namespace tavo
