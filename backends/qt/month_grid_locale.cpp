#include "backends/qt/month_grid_locale.h"

#include <QCoreApplication>
#include <array>

#include "backends/qt/date_format.h"

namespace tavo {

namespace {

// Three words in a language: the today line's label, "today" on its own (a
// screen reader's mark of today's cell) and the calendar's name. A table
// beats translation files here: three words want no build tool, and a
// library that installed translators would change the application's.
enum Word { TodayLabel, Today, CalendarName };

struct Words {
    QLocale::Language language;
    std::array<const char*, 3> text;
};

constexpr Words kEnglish{QLocale::English,
                         {QT_TRANSLATE_NOOP("MonthGrid", "Today:"), QT_TRANSLATE_NOOP("MonthGrid", "Today"),
                          QT_TRANSLATE_NOOP("MonthGrid", "Calendar")}};

constexpr std::array<Words, 25> kWords{{
    kEnglish,
    {QLocale::German, {"Heute:", "Heute", "Kalender"}},
    {QLocale::French, {"Aujourd’hui :", "Aujourd’hui", "Calendrier"}},
    {QLocale::Spanish, {"Hoy:", "Hoy", "Calendario"}},
    {QLocale::Italian, {"Oggi:", "Oggi", "Calendario"}},
    {QLocale::Portuguese, {"Hoje:", "Hoje", "Calendário"}},
    {QLocale::Dutch, {"Vandaag:", "Vandaag", "Kalender"}},
    {QLocale::Danish, {"I dag:", "I dag", "Kalender"}},
    {QLocale::Swedish, {"I dag:", "I dag", "Kalender"}},
    {QLocale::NorwegianBokmal, {"I dag:", "I dag", "Kalender"}},
    {QLocale::Finnish, {"Tänään:", "Tänään", "Kalenteri"}},
    {QLocale::Polish, {"Dzisiaj:", "Dzisiaj", "Kalendarz"}},
    {QLocale::Czech, {"Dnes:", "Dnes", "Kalendář"}},
    {QLocale::Slovak, {"Dnes:", "Dnes", "Kalendár"}},
    {QLocale::Hungarian, {"Ma:", "Ma", "Naptár"}},
    {QLocale::Romanian, {"Astăzi:", "Astăzi", "Calendar"}},
    {QLocale::Russian, {"Сегодня:", "Сегодня", "Календарь"}},
    {QLocale::Ukrainian, {"Сьогодні:", "Сьогодні", "Календар"}},
    {QLocale::Greek, {"Σήμερα:", "Σήμερα", "Ημερολόγιο"}},
    {QLocale::Turkish, {"Bugün:", "Bugün", "Takvim"}},
    {QLocale::Arabic, {"اليوم:", "اليوم", "التقويم"}},
    {QLocale::Hebrew, {"היום:", "היום", "לוח שנה"}},
    {QLocale::Japanese, {"今日：", "今日", "カレンダー"}},
    {QLocale::Chinese, {"今天：", "今天", "日历"}},
    {QLocale::Korean, {"오늘:", "오늘", "달력"}},
}};

const Words& wordsOf(QLocale::Language language) {
    for (const Words& w : kWords)
        if (w.language == language) return w;
    return kEnglish;
}

QLocale withoutGroupSeparator(QLocale locale) {
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}

// An application's own translation wins; else the table's word.
QString wordIn(const QLocale& locale, Word w) {
    const char* english = kEnglish.text[w];
    const QString translated = QCoreApplication::translate("MonthGrid", english);
    if (translated != QLatin1String(english)) return translated;
    return QString::fromUtf8(wordsOf(locale.language()).text[w]);
}

}  // namespace

MonthGridLocale::MonthGridLocale(const QLocale& locale) : locale_(withoutGroupSeparator(locale)) {}

QString MonthGridLocale::todayLabel() const { return wordIn(locale_, TodayLabel); }
QString MonthGridLocale::todayWord() const { return wordIn(locale_, Today); }
QString MonthGridLocale::calendarName() const { return wordIn(locale_, CalendarName); }

QString MonthGridLocale::todayLine(QDate today) const {
    const QString label = todayLabel();
    // A full-width colon brings its own space.
    const QString gap = label.endsWith(u'\uFF1A') ? QString() : QStringLiteral(" ");
    return label + gap + locale_.toString(today, qtDisplayFormat(1, {}, locale_));
}

QString MonthGridLocale::number(int n) const { return locale_.toString(n); }

// The month's name and its year, in the order the locale's long date gives
// them: where the year comes first (East Asian languages, Hungarian) it does
// so here too, with the mark that follows it there ("2024年12月").
QString MonthGridLocale::monthTitle(QDate month) const {
    const QString name = locale_.standaloneMonthName(month.month());
    const QString year = number(month.year());
    const QString format = locale_.dateFormat(QLocale::LongFormat);
    const qsizetype y = format.indexOf(u'y'), m = format.indexOf(u'M');
    if (y < 0 || m < 0 || y > m) return name + u' ' + year;
    qsizetype end = y;
    while (end < format.size() && format[end] == u'y') ++end;
    QString between = format.mid(end, m - end).remove(u'\'');
    if (between.contains(u'd')) between = QStringLiteral(" ");
    return year + between + name;
}

int MonthGridLocale::weekNumber(QDate weekStart) const {
    if (firstDayOfWeek() == Qt::Monday) return weekStart.addDays(3).weekNumber();
    const QDate newYear(weekStart.addDays(6).year(), 1, 1);
    const QDate firstWeek = newYear.addDays(-((newYear.dayOfWeek() - int(firstDayOfWeek()) + 7) % 7));
    return int(firstWeek.daysTo(weekStart) / 7) + 1;
}

}  // namespace tavo
