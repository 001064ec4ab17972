#pragma once
// The date control's two built-in button pictures, drawn by our own code.
#include "tavo/calendar/calendar_export.h"
#include "tavo/host/picture.h"

namespace tavo {

// 12 × 14, 16 colours (4-bit BMP): light grey 0xC0C0C0 with a black triangle
// pointing down, rows 7, 5, 3, 1 wide from the sixth row, centred on column six.
TAVO_CALENDAR_INTERNAL PictureRef dropDownArrowPicture();
// 12 × 16, 24-bit BMP: a tear-off calendar sheet, red band at the top, a black
// figure one on a light page.
TAVO_CALENDAR_INTERNAL PictureRef calendarSheetPicture();

}  // namespace tavo
