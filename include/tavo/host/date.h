#pragma once
// Dates as serial day numbers since 30 December 1899, the time of day as the
// fraction (below zero the fraction is still a positive time of day).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tavo/host/host_export.h"

namespace tavo {

inline constexpr double kMinDateSerial = -657434.0;  // 1 January 100
inline constexpr double kMaxDateSerial = 2958465.0;  // 31 December 9999 (whole day)

struct TAVO_HOST_EXPORT DateParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};

enum class DateOrder { DayMonthYear, MonthDayYear };

// The host's preferred order for ambiguous texts; per UI thread.
TAVO_HOST_EXPORT DateOrder preferredDateOrder();
TAVO_HOST_EXPORT void setPreferredDateOrder(DateOrder order);

TAVO_HOST_EXPORT bool isValidDate(int year, int month, int day);
TAVO_HOST_EXPORT int daysInMonth(int year, int month);

// Throws HostError 6 when outside 1 Jan 100 .. 31 Dec 9999 or not a real date.
TAVO_HOST_EXPORT double dateSerial(int year, int month, int day);
TAVO_HOST_EXPORT double dateTimeSerial(const DateParts& p);
// Rounds a leftover of more than half a second up (carrying into the day).
TAVO_HOST_EXPORT DateParts splitDate(double serial);
// Straight-line scale on which dates below zero sort in time order.
TAVO_HOST_EXPORT double dateLinear(double serial);
TAVO_HOST_EXPORT double dateFromLinear(double linear);
TAVO_HOST_EXPORT bool dateInRange(double serial);
TAVO_HOST_EXPORT int weekday(double serial);  // 1 Sunday .. 7 Saturday

// Parses "dd/mm/yyyy", "mm-dd-yy", "yyyy-mm-dd", with an optional "hh:mm[:ss]".
// Returns nullopt when the text is not a date.
TAVO_HOST_EXPORT std::optional<double> parseDate(std::string_view text, DateOrder order);
// Canonical text form, the one form files and scripts use: "yyyy-mm-dd" or
// "yyyy-mm-dd hh:mm:ss" when there is a time.
TAVO_HOST_EXPORT std::string formatDateCanonical(double serial);

}  // namespace tavo
