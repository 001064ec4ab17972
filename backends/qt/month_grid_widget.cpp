#include "backends/qt/month_grid_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "backends/qt/event_hook.h"
#include "backends/qt/month_grid_accessible.h"
#include "backends/qt/month_grid_painter.h"

namespace tavo {

namespace {

QDate monthStart(QDate d) { return QDate(d.year(), d.month(), 1); }

}  // namespace

MonthGridWidget::MonthGridWidget(QWidget* parent)
    : QWidget(parent), texts_(locale()), today_(QDate::currentDate()), min_(1753, 1, 1), max_(9999, 12, 31),
      value_(2000, 8, 21), first_(2000, 8, 1) {
    installMonthGridAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setLook({palette().color(QPalette::Button), palette().color(QPalette::Text), palette().color(QPalette::Base),
             palette().color(QPalette::Highlight), palette().color(QPalette::HighlightedText),
             palette().color(QPalette::Disabled, QPalette::Text)});
    relayout();
}

void MonthGridWidget::relayout() {
    const bool rtl = texts_.rightToLeft() || layoutDirection() == Qt::RightToLeft;
    layout_ = MonthGridLayout(font(), texts_, rows_, columns_, weekNumbers_, todayLine_, rtl);
    setFixedSize(layout_.size());
    update();
}

void MonthGridWidget::changeEvent(QEvent* e) {
    switch (e->type()) {
    case QEvent::LocaleChange:
        texts_ = MonthGridLocale(locale());
        relayout();
        break;
    case QEvent::FontChange:
    case QEvent::LayoutDirectionChange: relayout(); break;
    case QEvent::PaletteChange:
        if (onPaletteChange) onPaletteChange();
        setLook(look_);
        break;
    default: break;
    }
    QWidget::changeEvent(e);
}

void MonthGridWidget::setLook(const MonthGridLook& look) {
    look_ = look;
    inkStale_ = true;
    update();
}

const MonthGridInk& MonthGridWidget::ink() const {
    if (inkStale_) ink_ = inkFor(look_, palette().color(QPalette::Dark));
    inkStale_ = false;
    return ink_;
}

void MonthGridWidget::setMonths(int rows, int columns) {
    rows_ = rows;
    columns_ = columns;
    relayout();
    clampFirst();
    ensureShown(value_);
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
    value_ = std::clamp(value_, min_, max_);
    clampFirst();
    ensureShown(value_);
    update();
}

void MonthGridWidget::setValue(QDate value) {
    value_ = value;
    first_ = monthStart(value);
    clampFirst();
    selectionChanged();
}

void MonthGridWidget::select(QDate d) {
    value_ = std::clamp(d, min_, max_);
    ensureShown(value_);
    selectionChanged();
}

void MonthGridWidget::selectionChanged() {
    update();
    announceSelectedDay(this);
}

void MonthGridWidget::scrollMonths(int months) {
    first_ = first_.addMonths(months);
    clampFirst();
    update();
}

void MonthGridWidget::ensureShown(QDate d) {
    const QDate m = monthStart(d);
    if (m < first_) first_ = m;
    else if (m > first_.addMonths(monthCount() - 1)) first_ = m.addMonths(-(monthCount() - 1));
    clampFirst();
}

// The months stay within the range where they can: the last month shown is
// not after MaxDate's, the first is never before MinDate's.
void MonthGridWidget::clampFirst() {
    const QDate lowest = monthStart(min_);
    const QDate highest = monthStart(max_).addMonths(-(monthCount() - 1));
    if (first_ > highest) first_ = highest;
    if (first_ < lowest) first_ = lowest;
}

QDate MonthGridWidget::dayAt(int month, int week, int column) const {
    const QDate first = monthAt(month);
    const int lead = (first.dayOfWeek() - int(texts_.firstDayOfWeek()) + 7) % 7;
    return first.addDays(week * 7 + column - lead);
}

bool MonthGridWidget::shows(int month, QDate d) const {
    const QDate own = monthAt(month);
    return monthStart(d) == own || (month == 0 && d < own) || (month == monthCount() - 1 && d > own);
}

std::optional<MonthGridLayout::Cell> MonthGridWidget::cellOf(QDate day) const {
    if (!day.isValid()) return std::nullopt;
    const QDate m = monthStart(day);
    const int month = std::clamp(int((m.year() - first_.year()) * 12 + m.month() - first_.month()), 0, monthCount() - 1);
    const qint64 offset = dayAt(month, 0, 0).daysTo(day);
    if (offset < 0 || offset >= 42 || !shows(month, day)) return std::nullopt;
    return MonthGridLayout::Cell{month, int(offset / 7), int(offset % 7)};
}

QRect MonthGridWidget::dayRect(QDate day) const {
    const auto cell = cellOf(day);
    return cell ? layout_.dayRect(cell->month, cell->week, cell->column) : QRect();
}

QDate MonthGridWidget::dayUnder(QPoint p) const {
    const auto cell = layout_.cellAt(p);
    if (!cell) return {};
    const QDate d = dayAt(cell->month, cell->week, cell->column);
    return shows(cell->month, d) ? d : QDate();
}

void MonthGridWidget::mousePressEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    pressed_ = QDate();
    if (layout_.previousArrowRect().contains(p)) return scrollMonths(-monthCount());
    if (layout_.nextArrowRect().contains(p)) return scrollMonths(monthCount());
    pressed_ = layout_.todayRect().contains(p) ? today_ : dayUnder(p);
}

void MonthGridWidget::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    const QDate d = layout_.todayRect().contains(p) ? today_ : dayUnder(p);
    const QDate pressed = pressed_;
    pressed_ = QDate();
    if (!d.isValid() || d != pressed || !inRange(d)) return;
    select(d);
    if (onDateClick) onDateClick(d);
}

void MonthGridWidget::keyPressEvent(QKeyEvent* e) {
    // Left and right follow the page: in a right-to-left grid, left is later.
    const int ahead = layout_.rightToLeft() ? -1 : 1;
    QDate d = value_;
    switch (e->key()) {
    case Qt::Key_Left: d = d.addDays(-ahead); break;
    case Qt::Key_Right: d = d.addDays(ahead); break;
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
    select(d);
    if (onSelect) onSelect(value_);
}

bool MonthGridWidget::event(QEvent* e) {
    return deliverGuarded([&] { return QWidget::event(e); });
}

void MonthGridWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    MonthGridPainter(*this, p).paint();
}

}  // namespace tavo
