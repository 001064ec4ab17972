#pragma once
// The month grid's colours: the six it is given, and the ones it draws its
// parts in. A part stays in its given colour while that stands out from what
// the part is drawn on; a colour too close to its background (a contrast
// ratio below kLeastContrast, luminance measured as WCAG does) gives way to
// the grid's ForeColor, or, when that is too close as well, to black or white,
// whichever stands out more. The days of other months keep looking fainter
// than the month's own: when theirs gives way, they take the stand-in half
// blended into the background.
//
//   part                                drawn in          on
//   title band                          TitleBackColor    -
//   month name, arrows                  TitleForeColor    TitleBackColor
//   month body, today line              MonthBackColor    -
//   weekday names, week numbers         TitleBackColor    MonthBackColor
//   days, rules, today line text        ForeColor         MonthBackColor
//   days of other months, out of range  TrailingForeColor MonthBackColor
//   selected day's mark                 TitleBackColor    MonthBackColor
//   selected day's number               MonthBackColor    the mark
//   today's ring                        red               MonthBackColor or the mark
//   around and between months           BackColor         -
//   border                              the palette's Dark BackColor
#include <QColor>

#include "tavo/qt/qt_export.h"

namespace tavo {

inline constexpr double kLeastContrast = 1.5;

// WCAG's contrast ratio of two colours: 1 (the same luminance) to 21.
TAVO_QT_INTERNAL double contrastRatio(const QColor& a, const QColor& b);

// The colours the grid is given (system colours already resolved).
struct MonthGridLook {
    QColor back, fore, monthBack, titleBack, titleFore, trailingFore;
};

// The colours the grid draws its parts in.
struct MonthGridInk {
    QColor back, border;
    QColor titleBack, title;
    QColor monthBack, heading, day, otherDay;
    QColor mark, markDay;
    QColor ring, ringOnMark;
};

TAVO_QT_INTERNAL MonthGridInk inkFor(const MonthGridLook& look, const QColor& frame);

}  // namespace tavo
