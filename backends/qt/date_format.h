#pragma once
// The date box's display formats as Qt display formats.
//
// Custom format letters: d dd ddd dddd, M MM MMM MMMM, yy, yyy/yyyy, h hh,
// H HH, m mm, s ss, t tt, and literal text in single quotes ('' is a quote).
// Where Qt has no equal the nearest is used: a one-digit year "y" shows two
// digits, and "t" shows the whole "AM"/"PM" as "tt" does; "h" counts 12 hours
// only where an AM/PM marker stands in the format, as in Qt. Any other letter
// is literal text.
#include <QLocale>
#include <QString>
#include <cstdint>
#include <string>

#include "tavo/qt/qt_export.h"

namespace tavo {

TAVO_QT_INTERNAL QString qtCustomFormat(const std::string& customFormat);
// Format 0 long date, 1 short date (four-digit years), 2 time; 3 is the
// custom format (the short date while the custom format is empty).
TAVO_QT_INTERNAL QString qtDisplayFormat(int32_t format, const std::string& customFormat, const QLocale& locale = QLocale());

}  // namespace tavo
