#pragma once
// The one way a value becomes a colour, a picture or a font, and a colour a
// value, so that every control, child and component refuses a wrong value
// with the same error and the same words.
#include <cstdint>

#include "tavo/host/font.h"
#include "tavo/host/host_export.h"
#include "tavo/host/picture.h"
#include "tavo/host/variant.h"

namespace tavo {

// A colour as properties hold it: a Long of the same 32 bits, so system
// colours (0x80000000 + index) are negative.
inline Variant colourValue(uint32_t colour) { return Variant::longValue(static_cast<int32_t>(colour)); }
// Value to colour is Variant::toColour: any number a Long holds.

// Nothing is no picture; any other object is error 13 "... is not a picture".
TAVO_HOST_EXPORT PictureRef toPicture(const Variant& v);
// Nothing is no font; any other object is error 13 "... is not a font".
TAVO_HOST_EXPORT FontRef toFont(const Variant& v);
// For a holder that always has a font: Nothing is error 13 as well.
TAVO_HOST_EXPORT FontRef toRequiredFont(const Variant& v);

}  // namespace tavo
