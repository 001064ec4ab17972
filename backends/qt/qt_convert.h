#pragma once
// Conversions between the host's values and Qt's: colours (system colours
// from a palette), fonts, key codes, shift states and mouse buttons.
#include <QColor>
#include <QFont>
#include <QPalette>
#include <cstdint>

#include "tavo/host/font.h"
#include "tavo/qt/qt_export.h"

namespace tavo {

// A system colour (0x80000000 + index) from the palette's matching role, any
// other value as 0x00BBGGRR. System colours without a role use the classic
// light theme's values.
TAVO_QT_INTERNAL QColor toQColor(uint32_t colour, const QPalette& palette);
TAVO_QT_INTERNAL uint32_t fromQColor(const QColor& c);

TAVO_QT_INTERNAL QFont toQFont(const Font& font);
TAVO_QT_INTERNAL FontRef fontFromQFont(const QFont& font);

// The platform's key codes (65 'A', 13 Enter, 27 Escape, 37..40 arrows, 112 F1...).
TAVO_QT_INTERNAL int16_t keyCodeFromQt(int qtKey);
TAVO_QT_INTERNAL int qtKeyFromKeyCode(int16_t keyCode);
// The character code a key press carries, or 0 for keys that type no character.
TAVO_QT_INTERNAL int16_t keyAsciiFromQt(int qtKey, const QString& text);
// 1 Shift, 2 Ctrl, 4 Alt.
TAVO_QT_INTERNAL int16_t shiftFromQt(Qt::KeyboardModifiers m);
Qt::KeyboardModifiers qtModifiersFromShift(int16_t shift);
// 1 left, 2 right, 4 middle.
int16_t mouseButtonFromQt(Qt::MouseButton b);

}  // namespace tavo
