#pragma once
#include "tavo/host/registry.h"
#include "tavo/ssaddon/ssaddon_export.h"

namespace tavo {
// Registers "TavoSSAddOn.TavoSSTreeController" with its type information.
TAVO_SSADDON_EXPORT void registerTavoSSAddOn(ComponentRegistry& registry);
}  // namespace tavo
