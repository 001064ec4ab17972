#include "backends/qt/month_grid_painter.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "backends/qt/month_grid_widget.h"

namespace tavo {

DevicePixels::DevicePixels(const QPainter& p)
    : toDevice_(p.deviceTransform()), fromDevice_(toDevice_.inverted()), scale_(std::max(qreal(1), toDevice_.m11())),
      thickness_(std::max(1, int(scale_))) {}

QRectF DevicePixels::snapped(const QRectF& r) const {
    const QRectF d = toDevice_.mapRect(r);
    const QRectF whole(QPointF(std::round(d.left()), std::round(d.top())),
                       QPointF(std::round(d.right()), std::round(d.bottom())));
    return fromDevice_.mapRect(whole);
}

QRectF DevicePixels::hairline(const QRect& r) const {
    QRectF s = snapped(r);
    if (r.height() == 1) s.setHeight(logicalThickness());
    else s.setWidth(logicalThickness());
    return s;
}

MonthGridPainter::MonthGridPainter(const MonthGridWidget& grid, QPainter& p)
    : grid_(grid), p_(p), layout_(grid.layout()), ink_(grid.ink()), texts_(grid.texts()), px_(p), bold_(grid.font()) {
    bold_.setBold(true);
    p_.setLayoutDirection(layout_.rightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
}

void MonthGridPainter::paint() {
    p_.fillRect(px_.snapped(grid_.rect()), ink_.back);
    for (int i = 0; i < grid_.monthCount(); ++i) paintMonth(i);
    if (!layout_.todayRect().isNull()) paintTodayLine();
    paintBorder();
}

// The border on the outermost device pixels the widget has: a line drawn
// one logical pixel in from the edge would at 1.5 fall half outside them.
void MonthGridPainter::paintBorder() {
    const QRectF outer = px_.snapped(grid_.rect());
    const qreal t = px_.logicalThickness();
    p_.fillRect(QRectF(outer.left(), outer.top(), outer.width(), t), ink_.border);
    p_.fillRect(QRectF(outer.left(), outer.bottom() - t, outer.width(), t), ink_.border);
    p_.fillRect(QRectF(outer.left(), outer.top(), t, outer.height()), ink_.border);
    p_.fillRect(QRectF(outer.right() - t, outer.top(), t, outer.height()), ink_.border);
}

void MonthGridPainter::paintMonth(int month) {
    p_.fillRect(px_.snapped(layout_.monthRect(month)), ink_.monthBack);
    paintTitle(month);
    paintWeekdayNames(month);
    for (int week = 0; week < 6; ++week) paintWeek(month, week);
    if (layout_.weekNumbers()) p_.fillRect(px_.hairline(layout_.weekRule(month)), ink_.day);
}

void MonthGridPainter::paintTitle(int month) {
    const QRect title = layout_.titleRect(month);
    p_.fillRect(px_.snapped(title), ink_.titleBack);
    p_.setFont(bold_);
    p_.setPen(ink_.title);
    p_.drawText(title, Qt::AlignCenter, texts_.monthTitle(grid_.monthAt(month)));
    // Arrows only where there are months to go to.
    const bool rtl = layout_.rightToLeft();
    const QDate first = grid_.monthAt(0), last = grid_.monthAt(grid_.monthCount() - 1);
    if (month == 0 && grid_.inRange(first.addDays(-1))) paintArrow(layout_.previousArrowRect(), !rtl);
    if (month == layout_.columns() - 1 && grid_.inRange(last.addMonths(1))) paintArrow(layout_.nextArrowRect(), rtl);
}

void MonthGridPainter::paintArrow(const QRect& r, bool pointsLeft) {
    const QRectF a = QRectF(r).adjusted(r.width() * 0.3, r.height() * 0.25, -r.width() * 0.3, -r.height() * 0.25);
    const qreal tip = pointsLeft ? a.left() : a.right(), back = pointsLeft ? a.right() : a.left();
    QPainterPath path;
    path.moveTo(back, a.top());
    path.lineTo(tip, a.center().y());
    path.lineTo(back, a.bottom());
    path.closeSubpath();
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.fillPath(path, ink_.title);
    p_.setRenderHint(QPainter::Antialiasing, false);
}

void MonthGridPainter::paintWeekdayNames(int month) {
    p_.setFont(grid_.font());
    p_.setPen(ink_.heading);
    const int firstDay = int(texts_.firstDayOfWeek());
    for (int c = 0; c < 7; ++c)
        p_.drawText(layout_.weekdayRect(month, c), Qt::AlignCenter, texts_.weekdayName((firstDay - 1 + c) % 7 + 1));
    p_.fillRect(px_.hairline(layout_.headingRule(month)), ink_.day);
}

void MonthGridPainter::paintWeek(int month, int week) {
    bool anyShown = false;
    for (int c = 0; c < 7; ++c) {
        const QDate d = grid_.dayAt(month, week, c);
        if (!grid_.shows(month, d)) continue;
        anyShown = true;
        paintDay(month, d, layout_.dayRect(month, week, c));
    }
    if (!anyShown || !layout_.weekNumbers()) return;
    p_.setPen(ink_.heading);
    p_.drawText(layout_.weekNumberRect(month, week), Qt::AlignCenter,
                texts_.number(texts_.weekNumber(grid_.dayAt(month, week, 0))));
}

void MonthGridPainter::paintDay(int month, QDate day, const QRect& cell) {
    const QDate m = grid_.monthAt(month);
    const bool own = day.month() == m.month() && day.year() == m.year();
    const bool selected = own && day == grid_.value();
    QColor text = own && grid_.inRange(day) ? ink_.day : ink_.otherDay;
    if (selected) {
        p_.fillRect(px_.snapped(cell.adjusted(1, 0, -1, 0)), ink_.mark);
        text = ink_.markDay;
    }
    if (!layout_.todayRect().isNull() && day == grid_.today())
        paintRing(cell.adjusted(1, 0, -1, 0), selected ? ink_.ringOnMark : ink_.ring);
    p_.setPen(text);
    p_.drawText(cell, Qt::AlignCenter, texts_.number(day.day()));
}

// A rounded ring whose straight sides lie on whole device pixels.
void MonthGridPainter::paintRing(const QRect& r, const QColor& c) {
    const qreal t = px_.logicalThickness();
    const QRectF ring = px_.snapped(r).adjusted(t / 2, t / 2, -t / 2, -t / 2);
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setPen(QPen(c, t));
    p_.setBrush(Qt::NoBrush);
    p_.drawRoundedRect(ring, 3, 3);
    p_.setRenderHint(QPainter::Antialiasing, false);
}

void MonthGridPainter::paintTodayLine() {
    p_.fillRect(px_.snapped(layout_.todayRect()), ink_.monthBack);
    paintRing(layout_.todayRingRect(), ink_.ring);
    p_.setFont(bold_);
    p_.setPen(ink_.day);
    p_.drawText(layout_.todayTextRect(), Qt::AlignVCenter | Qt::AlignLeft, texts_.todayLine(grid_.today()));
}

}  // namespace tavo
