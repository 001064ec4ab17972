#include "tavo/host/date.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "tavo/host/ascii_text.h"
#include "tavo/host/error.h"

namespace tavo {

namespace {

constexpr int64_t kSecondsPerDay = 86400;

// Days since 1 January 1970 of a proleptic Gregorian date (civil-calendar
// arithmetic on 400-year eras, exact for every year of the host's range).
int64_t daysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

const int64_t kEpochDays = daysFromCivil(1899, 12, 30);

// The serial as whole seconds on the straight-line scale, with the host's
// rounding: a leftover of more than half a second counts as a full second.
std::optional<int64_t> linearSeconds(double serial) {
    if (!std::isfinite(serial)) return std::nullopt;
    const double linear = dateLinear(serial);
    const double day = std::floor(linear);
    const double secs = (linear - day) * kSecondsPerDay;
    double whole = std::floor(secs);
    if (secs - whole > 0.5) whole += 1;
    // Far outside any date: no day count fits, and none is needed.
    if (std::fabs(day) > 1e12) return std::nullopt;
    return static_cast<int64_t>(day) * kSecondsPerDay + static_cast<int64_t>(whole);
}

constexpr int64_t kMinSeconds = -657434LL * kSecondsPerDay;
constexpr int64_t kEndSeconds = (2958465LL + 1) * kSecondsPerDay;

int64_t floorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

thread_local DateOrder tPreferredOrder = DateOrder::DayMonthYear;

}  // namespace

DateOrder preferredDateOrder() { return tPreferredOrder; }
void setPreferredDateOrder(DateOrder order) { tPreferredOrder = order; }

int daysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
    return kDays[month - 1];
}

bool isValidDate(int year, int month, int day) {
    return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month);
}

double dateSerial(int year, int month, int day) {
    if (!isValidDate(year, month, day)) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%d-%02d-%02d is not a date between 100 and 9999", year, month, day);
        throwHostError(err::Overflow, buf);
    }
    return static_cast<double>(daysFromCivil(year, month, day) - kEpochDays);
}

double dateTimeSerial(const DateParts& p) {
    const double day = dateSerial(p.year, p.month, p.day);
    if (p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 || p.second < 0 || p.second > 59) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d is not a time of day", p.hour, p.minute, p.second);
        throwHostError(err::Overflow, buf);
    }
    const double time = (p.hour * 3600 + p.minute * 60 + p.second) / static_cast<double>(kSecondsPerDay);
    // Below zero the time of day still counts forward from the day's midnight.
    return day < 0 ? day - time : day + time;
}

DateParts splitDate(double serial) {
    const auto secs = linearSeconds(serial);
    if (!secs || *secs < kMinSeconds || *secs >= kEndSeconds)
        throwHostError(err::Overflow, "date serial " + std::to_string(serial) + " is out of range");
    const int64_t days = floorDiv(*secs, kSecondsPerDay);
    const int64_t rest = *secs - days * kSecondsPerDay;
    DateParts p;
    civilFromDays(days + kEpochDays, p.year, p.month, p.day);
    p.hour = static_cast<int>(rest / 3600);
    p.minute = static_cast<int>(rest / 60 % 60);
    p.second = static_cast<int>(rest % 60);
    return p;
}

double dateLinear(double serial) {
    if (serial >= 0) return serial;
    const double whole = std::trunc(serial);
    return whole + std::fabs(serial - whole);
}

double dateFromLinear(double linear) {
    if (linear >= 0) return linear;
    const double day = std::floor(linear);
    const double time = linear - day;
    return time == 0 ? day : day - time;
}

bool dateInRange(double serial) {
    const auto secs = linearSeconds(serial);
    return secs && *secs >= kMinSeconds && *secs < kEndSeconds;
}

int weekday(double serial) {
    const auto secs = linearSeconds(serial);
    if (!secs) throwHostError(err::Overflow, "date serial is not a number");
    const int64_t days = floorDiv(*secs, kSecondsPerDay);
    // Day 0, 30 December 1899, was a Saturday.
    return static_cast<int>(((days + 6) % 7 + 7) % 7) + 1;
}

namespace {

// A small cursor over the text being parsed as a date.
struct Scanner {
    std::string_view s;
    size_t pos = 0;

    bool atEnd() const { return pos >= s.size(); }
    char peek() const { return atEnd() ? '\0' : s[pos]; }
    void skipSpaces() {
        while (!atEnd() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
    }
    // Up to maxDigits decimal digits; the count read goes to digits.
    std::optional<int> number(int maxDigits, int& digits) {
        int value = 0;
        digits = 0;
        while (!atEnd() && s[pos] >= '0' && s[pos] <= '9') {
            if (++digits > maxDigits) return std::nullopt;
            value = value * 10 + (s[pos] - '0');
            ++pos;
        }
        if (digits == 0) return std::nullopt;
        return value;
    }
    bool accept(char c) {
        if (peek() != c) return false;
        ++pos;
        return true;
    }
    bool acceptWord(std::string_view word) {
        if (!ascii::startsWithNoCase(s.substr(pos), word)) return false;
        pos += word.size();
        return true;
    }
};

int expandYear(int value, int digits) {
    if (digits > 2) return value;
    return value < 30 ? 2000 + value : 1900 + value;
}

struct Triple {
    int a, b, c;
    int aDigits, cDigits;
};

std::optional<DateParts> pickDayMonth(const Triple& t, DateOrder order) {
    DateParts p;
    auto tryDMY = [&](int d, int m, int y) {
        if (!isValidDate(y, m, d)) return false;
        p.year = y;
        p.month = m;
        p.day = d;
        return true;
    };
    if (t.aDigits >= 3) {
        const int y = t.a;
        if (tryDMY(t.c, t.b, y) || tryDMY(t.b, t.c, y)) return p;
        return std::nullopt;
    }
    const int yearLast = expandYear(t.c, t.cDigits);
    const int yearFirst = expandYear(t.a, t.aDigits);
    const bool dayFirst = order == DateOrder::DayMonthYear;
    const bool found = dayFirst ? (tryDMY(t.a, t.b, yearLast) || tryDMY(t.b, t.a, yearLast))
                                : (tryDMY(t.b, t.a, yearLast) || tryDMY(t.a, t.b, yearLast));
    if (found || tryDMY(t.c, t.b, yearFirst)) return p;
    return std::nullopt;
}

bool parseTime(Scanner& sc, DateParts& p) {
    int digits = 0;
    const auto h = sc.number(2, digits);
    if (!h || !sc.accept(':')) return false;
    const auto m = sc.number(2, digits);
    if (!m || digits != 2) return false;
    std::optional<int> s = 0;
    if (sc.accept(':')) {
        s = sc.number(2, digits);
        if (!s || digits != 2) return false;
    }
    sc.skipSpaces();
    int hour = *h;
    const bool am = sc.acceptWord("AM");
    const bool pm = !am && sc.acceptWord("PM");
    if (am || pm) {
        if (hour < 1 || hour > 12) return false;
        hour = hour % 12 + (pm ? 12 : 0);
    }
    if (hour > 23 || *m > 59 || *s > 59) return false;
    p.hour = hour;
    p.minute = *m;
    p.second = *s;
    return true;
}

}  // namespace

std::optional<double> parseDate(std::string_view text, DateOrder order) {
    Scanner sc{text};
    sc.skipSpaces();
    Triple t{};
    int bDigits = 0;
    const auto a = sc.number(4, t.aDigits);
    if (!a) return std::nullopt;
    const char sep = sc.peek();
    if (sep != '/' && sep != '-' && sep != '.') return std::nullopt;
    sc.accept(sep);
    const auto b = sc.number(2, bDigits);
    if (!b || !sc.accept(sep)) return std::nullopt;
    const auto c = sc.number(4, t.cDigits);
    if (!c) return std::nullopt;
    t.a = *a;
    t.b = *b;
    t.c = *c;

    auto parts = pickDayMonth(t, order);
    if (!parts) return std::nullopt;
    const size_t beforeSpace = sc.pos;
    sc.skipSpaces();
    if (!sc.atEnd()) {
        if (sc.pos == beforeSpace || !parseTime(sc, *parts)) return std::nullopt;
        sc.skipSpaces();
        if (!sc.atEnd()) return std::nullopt;
    }
    return dateTimeSerial(*parts);
}

std::string formatDateCanonical(double serial) {
    const DateParts p = splitDate(serial);
    char buf[32];
    if (p.hour == 0 && p.minute == 0 && p.second == 0)
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", p.year, p.month, p.day);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                      p.minute, p.second);
    return buf;
}

}  // namespace tavo
