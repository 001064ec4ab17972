#pragma once
// Dates as the headless date box shows them, with German names.
#include <string>
#include <string_view>

namespace tavo {

// The patterns of the date box's fixed formats.
inline constexpr std::string_view kLongDatePattern = "dddd, d'.' MMMM yyyy";
inline constexpr std::string_view kShortDatePattern = "dd'.'MM'.'yyyy";
inline constexpr std::string_view kTimePattern = "HH':'mm':'ss";

// Formats a date serial by a custom format: d/dd day, ddd/dddd weekday short
// or long, M/MM month number, MMM/MMMM month name short or long, y one-digit
// year, yy two-digit year, yyy/yyyy full year, h/hh 12-hour, H/HH 24-hour,
// m/mm minutes, s/ss seconds, t/tt "A"/"AM" or "P"/"PM". Text in single
// quotes is literal ('' is a quote); any other character stands for itself.
// A run longer than its longest letter group starts a new group.
std::string formatDateText(double serial, std::string_view pattern);

}  // namespace tavo
