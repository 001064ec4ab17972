#include "backends/qt/qt_convert.h"

#include <QString>
#include <algorithm>

#include "tavo/host/colour.h"
#include "tavo/host/error.h"

namespace tavo {

namespace {

QColor fromBgr(uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

}  // namespace

QColor toQColor(uint32_t colour, const QPalette& palette) {
    if (!isSystemColour(colour)) return fromBgr(colour & 0x00FFFFFFu);
    switch (colour) {
    case vbWindowBackground: return palette.color(QPalette::Active, QPalette::Base);
    case vbWindowText: return palette.color(QPalette::Active, QPalette::Text);
    case vbButtonFace: return palette.color(QPalette::Active, QPalette::Button);
    case vbButtonShadow: return palette.color(QPalette::Active, QPalette::Dark);
    case vbGrayText: return palette.color(QPalette::Disabled, QPalette::Text);
    case vbButtonText: return palette.color(QPalette::Active, QPalette::ButtonText);
    case vb3DHighlight: return palette.color(QPalette::Active, QPalette::Light);
    default: return fromBgr(resolveColourFallback(colour));
    }
}

uint32_t fromQColor(const QColor& c) {
    return rgbColour(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}

QFont toQFont(const Font& font) {
    QFont f(QString::fromStdString(font.name));
    if (font.size > 0) f.setPointSizeF(font.size);
    // Qt 6 weights use the same 1..1000 scale as the host's font weights.
    f.setWeight(QFont::Weight(std::clamp(font.weight, 1, 1000)));
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikethrough);
    return f;
}

FontRef fontFromQFont(const QFont& font) {
    auto f = std::make_shared<Font>();
    f->name = font.family().toStdString();
    f->size = font.pointSizeF() > 0 ? font.pointSizeF() : 8.25;
    f->weight = int(font.weight());
    f->italic = font.italic();
    f->underline = font.underline();
    f->strikethrough = font.strikeOut();
    return f;
}

namespace {

struct KeyPair {
    int qt;
    int16_t code;
};
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},      {Qt::Key_Backtab, 9},   {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},    {Qt::Key_Shift, 16},   {Qt::Key_Control, 17},  {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},    {Qt::Key_CapsLock, 20}, {Qt::Key_Escape, 27},  {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},   {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},     {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},     {Qt::Key_Up, 38},      {Qt::Key_Right, 39},    {Qt::Key_Down, 40},
    {Qt::Key_Insert, 45},   {Qt::Key_Delete, 46},
};

}  // namespace

int16_t keyCodeFromQt(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return int16_t(qtKey);  // same codes, 65..90
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return int16_t(qtKey);  // 48..57
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return int16_t(112 + (qtKey - Qt::Key_F1));
    for (const auto& k : kKeys)
        if (k.qt == qtKey) return k.code;
    return 0;
}

int qtKeyFromKeyCode(int16_t keyCode) {
    if ((keyCode >= 'A' && keyCode <= 'Z') || (keyCode >= '0' && keyCode <= '9')) return keyCode;
    if (keyCode >= 112 && keyCode < 112 + 24) return Qt::Key_F1 + (keyCode - 112);
    for (const auto& k : kKeys)
        if (k.code == keyCode) return k.qt;
    return Qt::Key_unknown;
}

int16_t keyAsciiFromQt(int qtKey, const QString& text) {
    switch (qtKey) {
    case Qt::Key_Escape: return 27;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Backspace: return 8;
    default: break;
    }
    if (text.size() == 1 && text[0].unicode() >= 32 && text[0].unicode() < 256 && text[0].unicode() != 127)
        return int16_t(text[0].unicode());
    return 0;
}

int16_t shiftFromQt(Qt::KeyboardModifiers m) {
    int16_t s = 0;
    if (m & Qt::ShiftModifier) s |= 1;
    if (m & Qt::ControlModifier) s |= 2;
    if (m & Qt::AltModifier) s |= 4;
    return s;
}

Qt::KeyboardModifiers qtModifiersFromShift(int16_t shift) {
    Qt::KeyboardModifiers m;
    if (shift & 1) m |= Qt::ShiftModifier;
    if (shift & 2) m |= Qt::ControlModifier;
    if (shift & 4) m |= Qt::AltModifier;
    return m;
}

int16_t mouseButtonFromQt(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

}  // namespace tavo
