#pragma once
// The month grid as screen readers see it: a table whose rows are the weeks
// and whose columns are the weekdays of the months as they stand (MonthRows ×
// 6 rows, MonthColumns × 7 columns), named after the first and last month
// shown. A cell is named by its date in the locale's long form; the selected
// day is the selected (and, while the grid has the focus, the focused) cell;
// today's cell is described as "Today" in the locale's language; days of
// neighbouring months that the grid leaves blank are invisible cells, days
// outside the range unavailable ones. Week numbers, when shown, describe the
// rows; weekday names the columns. The window a grid stands alone in is named
// "Calendar" in the locale's language (QtMonthGrid).
namespace tavo {

class MonthGridWidget;

// Lets Qt's accessibility find the table for every month grid (once).
void installMonthGridAccessibility();
// Tells screen readers that another day is selected.
void announceSelectedDay(MonthGridWidget* grid);

}  // namespace tavo
