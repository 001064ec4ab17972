#include "backends/qt/month_grid_look.h"

#include <cmath>
#include <utility>

namespace tavo {

namespace {

const QColor kRing(200, 0, 0);

double linear(double channel) {
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c) {
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

bool standsOut(const QColor& c, const QColor& on) { return contrastRatio(c, on) >= kLeastContrast; }

QColor blackOrWhite(const QColor& on) {
    const QColor black(Qt::black), white(Qt::white);
    return contrastRatio(black, on) >= contrastRatio(white, on) ? black : white;
}

// `wanted` where it stands out from `on`; else the stand-in.
QColor readable(const QColor& wanted, const QColor& on, const QColor& fore) {
    if (standsOut(wanted, on)) return wanted;
    return standsOut(fore, on) ? fore : blackOrWhite(on);
}

QColor halfway(const QColor& a, const QColor& b) {
    return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

}  // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    double lighter = luminance(a), darker = luminance(b);
    if (lighter < darker) std::swap(lighter, darker);
    return (lighter + 0.05) / (darker + 0.05);
}

MonthGridInk inkFor(const MonthGridLook& look, const QColor& frame) {
    MonthGridInk ink;
    ink.back = look.back;
    ink.border = readable(frame, look.back, look.fore);
    ink.titleBack = look.titleBack;
    ink.title = readable(look.titleFore, look.titleBack, look.fore);
    ink.monthBack = look.monthBack;
    ink.heading = readable(look.titleBack, look.monthBack, look.fore);
    ink.day = readable(look.fore, look.monthBack, look.fore);
    ink.otherDay = look.trailingFore;
    if (!standsOut(ink.otherDay, look.monthBack)) ink.otherDay = halfway(ink.day, look.monthBack);
    if (!standsOut(ink.otherDay, look.monthBack)) ink.otherDay = ink.day;
    ink.mark = readable(look.titleBack, look.monthBack, look.fore);
    ink.markDay = readable(look.monthBack, ink.mark, look.fore);
    ink.ring = readable(kRing, look.monthBack, look.fore);
    ink.ringOnMark = readable(kRing, ink.mark, ink.markDay);
    return ink;
}

}  // namespace tavo
