#include "tavo/host/colour.h"

namespace tavo {

uint32_t resolveColourFallback(uint32_t colour) {
    if (!isSystemColour(colour)) return colour;
    switch (systemColourIndex(colour)) {
    case 5: return rgbColour(255, 255, 255);   // window background
    case 8: return rgbColour(0, 0, 0);         // window text
    case 15: return rgbColour(212, 208, 200);  // button face
    case 16: return rgbColour(128, 128, 128);  // button shadow
    case 17: return rgbColour(128, 128, 128);  // grey text
    case 18: return rgbColour(0, 0, 0);        // button text
    case 20: return rgbColour(255, 255, 255);  // button highlight
    // An index the controls never use: the window background keeps it visible.
    default: return rgbColour(255, 255, 255);
    }
}

}  // namespace tavo
