#pragma once
// TavoCalendarDropDown's children as they were placed at design time: where
// cal, cmd and imgDropDown stand and what they show before any setting is read.
#include "tavo/calendar/calendar_export.h"
#include "tavo/host/children.h"

namespace tavo::dropDownDesign {

// The date box's range and date: 1 January 1601 to 31 December 9999, and
// 21 August 2000.
inline constexpr double kMinDate = -109205.0;
inline constexpr double kMaxDate = 2958465.0;
inline constexpr double kValue = 36759.0;

TAVO_CALENDAR_INTERNAL ChildDesign cal();
TAVO_CALENDAR_INTERNAL ChildDesign cmd();
// Element 0 starts empty (it takes the own picture), 1 holds the drop-down
// arrow, 2 the calendar sheet.
TAVO_CALENDAR_INTERNAL ChildDesign imgDropDown(int index);

}  // namespace tavo::dropDownDesign
