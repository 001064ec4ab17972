#pragma once
// What the month grid takes from its locale: the few words it adds itself,
// the digits, the order of a month's title, the first day of the week, how
// weeks are counted, and the date of the today line as the date box shows a
// short date (four-digit years), so that box and grid agree.
//
// The words come from a small table of languages (English where a language
// is missing); an application that ships its own translations overrides them
// through Qt's translators (context "MonthGrid").
#include <QDate>
#include <QLocale>
#include <QString>

#include "tavo/qt/qt_export.h"

namespace tavo {

class TAVO_QT_INTERNAL MonthGridLocale {
public:
    explicit MonthGridLocale(const QLocale& locale);

    const QLocale& locale() const { return locale_; }
    bool rightToLeft() const { return locale_.textDirection() == Qt::RightToLeft; }

    // "Today:" and "Today", and the name of the calendar as a whole.
    QString todayLabel() const;
    QString todayWord() const;
    QString calendarName() const;

    QString todayLine(QDate today) const;
    QString monthTitle(QDate month) const;
    QString number(int n) const;  // in the locale's digits, no group separator
    QString weekdayName(int dayOfWeek) const { return locale_.dayName(dayOfWeek, QLocale::ShortFormat); }
    // A day as a screen reader says it: the locale's long date.
    QString spokenDate(QDate d) const { return locale_.toString(d, QLocale::LongFormat); }

    Qt::DayOfWeek firstDayOfWeek() const { return locale_.firstDayOfWeek(); }
    // The number of the week that begins on `weekStart`: ISO 8601 where weeks
    // begin on Monday (the week that holds the year's first Thursday is 1);
    // elsewhere the week that holds 1 January is 1, as those countries count.
    int weekNumber(QDate weekStart) const;

private:
    QLocale locale_;
};

}  // namespace tavo
