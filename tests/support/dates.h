#pragma once
// The days the tests speak of, as date serials: the first days of the date
// box's and the month grid's ranges, the last day either takes, and the day
// that is "today" wherever a test sets the clock.

namespace tavo {

inline constexpr double k1Jan1601 = -109205;
inline constexpr double k1Jan1753 = -53688;
inline constexpr double k1Jan1900 = 2;
inline constexpr double k21Aug2000 = 36759;
inline constexpr double k31Dec9999 = 2958465;

}  // namespace tavo
