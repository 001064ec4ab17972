#pragma once
#include "tavo/calendar/calendar_export.h"
#include "tavo/host/registry.h"

namespace tavo {
// Registers "TavoCalendar.TavoCalendarDropDown" with its type information.
TAVO_CALENDAR_EXPORT void registerTavoCalendar(ComponentRegistry& registry);
}  // namespace tavo
