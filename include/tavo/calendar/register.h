#pragma once
#include "tavo/host/registry.h"

namespace tavo {
// Registers "TavoCalendar.TavoCalendarDropDown" with its type information.
void registerTavoCalendar(ComponentRegistry& registry);
}  // namespace tavo
