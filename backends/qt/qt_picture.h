#pragma once
// Pictures on Qt screens of any density. The host measures a picture's pixels
// at 96 dpi, 15 twips each, so on a denser screen a picture covers more of
// Qt's logical pixels (15 twips a picture pixel, however many twips a logical
// pixel is) and more device pixels still. It is drawn anew for the device
// pixels it covers, from its own pixels, in one step: the controls' own pixel
// drawings are enlarged by whole pixels, so that they are exact at whole
// ratios and, between them, brought down smoothly from the next whole one
// (an edge is then at most one device pixel soft, never doubled); any other
// picture is scaled smoothly.
#include <QIcon>
#include <QImage>
#include <QSizeF>
#include <optional>

#include "tavo/host/picture.h"
#include "tavo/qt/qt_export.h"

namespace tavo {

// The picture's pixels (32-bit ARGB), with the mask colour (0x00BBGGRR) made
// transparent when one is given. A null image for no picture; bytes Qt cannot
// decode are HostError 481.
TAVO_QT_INTERNAL QImage pictureImage(const PictureRef& picture, std::optional<uint32_t> maskColour = {});

// The logical pixels a picture of `pixels` covers at `twipsPerPixel`.
TAVO_QT_INTERNAL QSizeF pictureSize(QSize pixels, float twipsPerPixelX, float twipsPerPixelY);

// The picture drawn to exactly `device` pixels.
TAVO_QT_INTERNAL QImage scalePicture(const QImage& image, PictureScaling scaling, QSize device);

// An icon that draws the picture afresh for each size and pixel ratio asked.
QIcon pictureIcon(const QImage& image, PictureScaling scaling);

}  // namespace tavo
