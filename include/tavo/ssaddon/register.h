#pragma once
#include "tavo/host/registry.h"

namespace tavo {
// Registers "TavoSSAddOn.TavoSSTreeController" with its type information.
void registerTavoSSAddOn(ComponentRegistry& registry);
}  // namespace tavo
