#pragma once
// Draws a MonthGridWidget: border, months (title band with name and arrows,
// weekday names, six weeks, week numbers) and the today line. Lines, rings
// and fills sit on whole device pixels, so that at any pixel density (1.25,
// 1.5, 2) they are crisp and the border stays whole on all four sides.
#include <QFont>
#include <QTransform>

class QPainter;

namespace tavo {

class MonthGridWidget;
class MonthGridLayout;
class MonthGridLocale;
struct MonthGridInk;

// Logical rectangles moved to the device pixels they cover.
class DevicePixels {
public:
    explicit DevicePixels(const QPainter& p);
    // A hairline's width: whole device pixels, at least one.
    int thickness() const { return thickness_; }
    qreal logicalThickness() const { return thickness_ / scale_; }
    // The rectangle with its edges on the nearest device pixel edges.
    QRectF snapped(const QRectF& r) const;
    // A hairline along a one-pixel-thin rectangle, `thickness` device pixels.
    QRectF hairline(const QRect& r) const;

private:
    QTransform toDevice_, fromDevice_;
    qreal scale_;
    int thickness_;
};

class MonthGridPainter {
public:
    MonthGridPainter(const MonthGridWidget& grid, QPainter& p);
    void paint();

private:
    void paintBorder();
    void paintMonth(int month);
    void paintTitle(int month);
    void paintArrow(const QRect& r, bool pointsLeft);
    void paintWeekdayNames(int month);
    void paintWeek(int month, int week);
    void paintDay(int month, QDate day, const QRect& cell);
    void paintTodayLine();
    void paintRing(const QRect& r, const QColor& c);

    const MonthGridWidget& grid_;
    QPainter& p_;
    const MonthGridLayout& layout_;
    const MonthGridInk& ink_;
    const MonthGridLocale& texts_;
    DevicePixels px_;
    QFont bold_;
};

}  // namespace tavo
