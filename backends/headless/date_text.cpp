#include "backends/headless/date_text.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "tavo/host/date.h"

namespace tavo {

namespace {

constexpr std::array<const char*, 7> kWeekdays{"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                               "Donnerstag", "Freitag", "Samstag"};
constexpr std::array<const char*, 7> kWeekdaysShort{"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
constexpr std::array<const char*, 12> kMonths{"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                                              "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
constexpr std::array<const char*, 12> kMonthsShort{"Jan", "Feb", "Mär", "Apr", "Mai", "Jun",
                                                   "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};

std::string number(int v, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", digits, v);
    return buf;
}

// How many letters of a kind make one group at most.
std::size_t longestGroup(char letter) {
    switch (letter) {
    case 'd':
    case 'M':
    case 'y': return 4;
    case 'h':
    case 'H':
    case 'm':
    case 's':
    case 't': return 2;
    default: return 0;
    }
}

std::string group(const DateParts& p, int weekdayIndex, char letter, std::size_t n) {
    const int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
    switch (letter) {
    case 'd':
        if (n <= 2) return number(p.day, static_cast<int>(n));
        return n == 3 ? kWeekdaysShort[weekdayIndex] : kWeekdays[weekdayIndex];
    case 'M':
        if (n <= 2) return number(p.month, static_cast<int>(n));
        return n == 3 ? kMonthsShort[p.month - 1] : kMonths[p.month - 1];
    case 'y':
        if (n == 1) return std::to_string(p.year % 10);
        if (n == 2) return number(p.year % 100, 2);
        return std::to_string(p.year);
    case 'h': return number(hour12, static_cast<int>(n));
    case 'H': return number(p.hour, static_cast<int>(n));
    case 'm': return number(p.minute, static_cast<int>(n));
    case 's': return number(p.second, static_cast<int>(n));
    default: {
        const bool pm = p.hour >= 12;
        return n == 1 ? (pm ? "P" : "A") : (pm ? "PM" : "AM");
    }
    }
}

}  // namespace

std::string formatDateText(double serial, std::string_view pattern) {
    const DateParts p = splitDate(serial);
    const int weekdayIndex = weekday(serial) - 1;
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\'') {
            const std::size_t close = pattern.find('\'', i + 1);
            if (close == i + 1) {
                out += '\'';
            } else {
                out += pattern.substr(i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1);
            }
            i = close == std::string_view::npos ? pattern.size() : close + 1;
            continue;
        }
        const std::size_t most = longestGroup(c);
        if (most == 0) {
            out += c;
            ++i;
            continue;
        }
        std::size_t n = 1;
        while (i + n < pattern.size() && pattern[i + n] == c && n < most) ++n;
        out += group(p, weekdayIndex, c, n);
        i += n;
    }
    return out;
}

}  // namespace tavo
