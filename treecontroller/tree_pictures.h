#pragma once
// The tree controller's seventeen pictures, GIF89a with one transparent colour
// each, drawn by our own code.
#include "tavo/host/picture.h"
#include "tavo/ssaddon/ssaddon_export.h"

namespace tavo {

enum class TreeButtonLook { Normal, Pressed, Disabled };

// Button 0 yellow plus, 1 two orange plus signs, 2 two red minus signs,
// 3 magenta minus; 16 × 16. Pressed: moved one pixel right and down with a light
// grey halo. Disabled: the same symbol in greys.
TAVO_SSADDON_INTERNAL PictureRef treeButtonPicture(int button, TreeButtonLook look);
// 72 × 15: rounded grey outline open at the bottom, light left, darker right,
// transparent inside.
TAVO_SSADDON_INTERNAL PictureRef treeBackgroundPicture();

}  // namespace tavo
