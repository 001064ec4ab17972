#include "backends/qt/date_format.h"

#include <algorithm>

namespace tavo {

namespace {

QString quoted(const QString& literal) {
    if (literal.isEmpty()) return {};
    QString out = "'";
    for (QChar c : literal) out += c == u'\'' ? QStringLiteral("''") : QString(c);
    return out + "'";
}

QString letters(char letter, int run) {
    switch (letter) {
    case 'd': return QString(std::min(run, 4), u'd');
    case 'M': return QString(std::min(run, 4), u'M');
    case 'y': return run <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
    case 'h': return run == 1 ? QStringLiteral("h") : QStringLiteral("hh");
    case 'H': return run == 1 ? QStringLiteral("H") : QStringLiteral("HH");
    case 'm': return run == 1 ? QStringLiteral("m") : QStringLiteral("mm");
    case 's': return run == 1 ? QStringLiteral("s") : QStringLiteral("ss");
    case 't': return run == 1 ? QStringLiteral("A") : QStringLiteral("AP");
    default: return {};
    }
}

// Qt's own time formats may name the time zone ("t"), which the date box
// does not show; drop it with the blank before it.
QString withoutTimeZone(const QString& format) {
    QString out;
    bool inQuote = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'') inQuote = !inQuote;
        if (!inQuote && c == u't') {
            while (out.endsWith(u' ')) out.chop(1);
            continue;
        }
        out += c;
    }
    return out.trimmed();
}

QString fourDigitYears(const QString& format) {
    if (format.contains(QStringLiteral("yyyy"))) return format;
    QString out = format;
    return out.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
}

}  // namespace

QString qtCustomFormat(const std::string& customFormat) {
    const QString f = QString::fromStdString(customFormat);
    QString out, literal;
    for (qsizetype i = 0; i < f.size();) {
        const QChar c = f[i];
        if (c == u'\'') {
            // A quoted literal; '' inside it is one quote. An open quote runs
            // to the end of the format.
            ++i;
            while (i < f.size()) {
                if (f[i] == u'\'') {
                    if (i + 1 < f.size() && f[i + 1] == u'\'') {
                        literal += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal += f[i++];
            }
            continue;
        }
        const char ascii = c.unicode() < 128 ? char(c.unicode()) : 0;
        if (ascii && std::string_view("dMyhHmst").find(ascii) != std::string_view::npos) {
            int run = 0;
            while (i < f.size() && f[i] == c) {
                ++run;
                ++i;
            }
            out += quoted(literal);
            literal.clear();
            out += letters(ascii, run);
            continue;
        }
        literal += c;
        ++i;
    }
    return out + quoted(literal);
}

QString qtDisplayFormat(int32_t format, const std::string& customFormat, const QLocale& locale) {
    switch (format) {
    case 0: return locale.dateFormat(QLocale::LongFormat);
    case 2: return withoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    case 3:
        if (!customFormat.empty()) return qtCustomFormat(customFormat);
        [[fallthrough]];
    default: return fourDigitYears(locale.dateFormat(QLocale::ShortFormat));
    }
}

}  // namespace tavo
