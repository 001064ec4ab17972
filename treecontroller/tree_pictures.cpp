#include "treecontroller/tree_pictures.h"

#include <algorithm>
#include <array>
#include <string>

#include "tavo/host/error.h"
#include "tavo/host/image_encoder.h"

namespace tavo {

namespace {

constexpr int kButtonSize = 16;

// What a pixel of a button symbol is; each look gives every role its colour,
// so the pressed and disabled pictures keep the normal one's shape exactly.
enum Role : uint8_t { Clear, Outline, Fill, Light, Halo, roleCount };
using RoleGrid = std::array<std::array<uint8_t, kButtonSize>, kButtonSize>;

struct SymbolColours {
    uint32_t outline, fill, light;
};

// The transparent colour is the classic button face, so that a viewer that
// ignores transparency still shows the symbol on a plausible background.
constexpr uint32_t kTransparentColour = 0xD4D0C8;
constexpr uint32_t kHaloColour = 0xF0F0F0;
constexpr SymbolColours kDisabledColours = {0x808080, 0xC0C0C0, 0xE4E4E4};

bool inGrid(int x, int y) { return x >= 0 && y >= 0 && x < kButtonSize && y < kButtonSize; }

// Draws one sign over what is already there: a dark outline all round it, so
// that a sign laid over another stands out from it, then the sign itself,
// lit along its upper and left edges.
template <class InShape>
void stamp(RoleGrid& grid, InShape inShape) {
    for (int y = 0; y < kButtonSize; ++y)
        for (int x = 0; x < kButtonSize; ++x) {
            if (inShape(x, y)) continue;
            bool touches = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) touches = touches || inShape(x + dx, y + dy);
            if (touches) grid[y][x] = Outline;
        }
    for (int y = 0; y < kButtonSize; ++y)
        for (int x = 0; x < kButtonSize; ++x)
            if (inShape(x, y)) grid[y][x] = (!inShape(x, y - 1) || !inShape(x - 1, y)) ? Light : Fill;
}

// A plus sign `span` pixels across with arms two pixels thick, its top left at (left, top).
void stampPlus(RoleGrid& grid, int left, int top, int span) {
    const int armStart = (span - 2) / 2;
    stamp(grid, [=](int x, int y) {
        const int dx = x - left, dy = y - top;
        if (dx < 0 || dy < 0 || dx >= span || dy >= span) return false;
        return (dx >= armStart && dx < armStart + 2) || (dy >= armStart && dy < armStart + 2);
    });
}

// A minus sign `span` pixels wide and two high, its top left at (left, top).
void stampMinus(RoleGrid& grid, int left, int top, int span) {
    stamp(grid, [=](int x, int y) { return x >= left && x < left + span && y >= top && y < top + 2; });
}

// The symbols leave the rightmost column and the two bottom rows free: the
// pressed look moves them one pixel right and down and rings them with a
// halo, and the strip, one row lower than a button, cuts off its bottom row.
RoleGrid normalSymbol(int button) {
    RoleGrid grid{};
    switch (button) {
    case 0: stampPlus(grid, 4, 3, 8); break;
    case 1:
        stampPlus(grid, 3, 2, 6);
        stampPlus(grid, 7, 6, 6);
        break;
    case 2:
        stampMinus(grid, 2, 4, 7);
        stampMinus(grid, 6, 8, 7);
        break;
    default: stampMinus(grid, 4, 6, 8); break;
    }
    return grid;
}

RoleGrid pressedSymbol(const RoleGrid& normal) {
    RoleGrid grid{};
    for (int y = 0; y + 1 < kButtonSize; ++y)
        for (int x = 0; x + 1 < kButtonSize; ++x) grid[y + 1][x + 1] = normal[y][x];
    RoleGrid withHalo = grid;
    for (int y = 0; y < kButtonSize; ++y)
        for (int x = 0; x < kButtonSize; ++x) {
            if (grid[y][x] != Clear) continue;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (inGrid(x + dx, y + dy) && grid[y + dy][x + dx] != Clear) withHalo[y][x] = Halo;
        }
    return withHalo;
}

PictureRef encodeSymbol(const RoleGrid& grid, const SymbolColours& colours) {
    IndexedImage img;
    img.width = img.height = kButtonSize;
    img.palette = {kTransparentColour, colours.outline, colours.fill, colours.light, kHaloColour};
    img.transparent = Clear;
    for (const auto& row : grid) img.pixels.insert(img.pixels.end(), row.begin(), row.end());
    return Picture::fromBytes(encodeGif(img), PictureScaling::Pixels);
}

constexpr std::array<SymbolColours, 4> kButtonColours = {{
    {0x806000, 0xFFD800, 0xFFF8A0},  // yellow
    {0x803800, 0xFF8C00, 0xFFC880},  // orange
    {0x600000, 0xE00000, 0xFF7070},  // red
    {0x600060, 0xE000E0, 0xFF90FF},  // magenta
}};

using ButtonPictures = std::array<PictureRef, 12>;

ButtonPictures drawButtons() {
    ButtonPictures pictures;
    for (int button = 0; button < 4; ++button) {
        const RoleGrid normal = normalSymbol(button);
        const SymbolColours& colours = kButtonColours[size_t(button)];
        pictures[size_t(button) * 3 + size_t(TreeButtonLook::Normal)] = encodeSymbol(normal, colours);
        pictures[size_t(button) * 3 + size_t(TreeButtonLook::Pressed)] =
            encodeSymbol(pressedSymbol(normal), colours);
        pictures[size_t(button) * 3 + size_t(TreeButtonLook::Disabled)] = encodeSymbol(normal, kDisabledColours);
    }
    return pictures;
}

uint32_t greyLevel(int level) { return uint32_t(level) * 0x010101u; }

// The strip's frame is two pixels thick with rounded upper corners; its grey
// runs from light at the left end to dark at the right, the inner line a
// little lighter than the outer one so the frame looks raised.
IndexedImage drawBackground() {
    constexpr int kWidth = 72, kHeight = 15, kShades = 16;
    IndexedImage img;
    img.width = kWidth;
    img.height = kHeight;
    img.palette.push_back(kTransparentColour);
    img.transparent = 0;
    for (int i = 0; i < kShades; ++i) img.palette.push_back(greyLevel(0xC8 - i * (0xC8 - 0x68) / (kShades - 1)));
    for (int i = 0; i < kShades; ++i) img.palette.push_back(greyLevel(0xFF - i * (0xFF - 0xA8) / (kShades - 1)));
    const auto outerAt = [&](int x) { return uint8_t(1 + x * kShades / kWidth); };
    const auto innerAt = [&](int x) { return uint8_t(1 + kShades + x * kShades / kWidth); };

    img.pixels.assign(size_t(kWidth * kHeight), 0);
    const auto set = [&](int x, int y, uint8_t index) { img.pixels[size_t(y * kWidth + x)] = index; };
    for (int x = 3; x < kWidth - 3; ++x) {
        set(x, 0, outerAt(x));
        set(x, 1, innerAt(x));
    }
    for (const int x : {1, 2, kWidth - 3, kWidth - 2}) set(x, 1, outerAt(x));
    for (const int x : {1, kWidth - 2}) set(x, 2, outerAt(x));
    for (const int x : {2, kWidth - 3}) set(x, 2, innerAt(x));
    for (int y = 3; y < kHeight; ++y) {
        set(0, y, outerAt(0));
        set(1, y, innerAt(1));
        set(kWidth - 2, y, innerAt(kWidth - 2));
        set(kWidth - 1, y, outerAt(kWidth - 1));
    }
    return img;
}

}  // namespace

PictureRef treeButtonPicture(int button, TreeButtonLook look) {
    if (button < 0 || button > 3)
        throwHostError(err::InvalidProcedureCall,
                       "tree button " + std::to_string(button) + " does not exist (buttons are 0 to 3)");
    if (look != TreeButtonLook::Normal && look != TreeButtonLook::Pressed && look != TreeButtonLook::Disabled)
        throwHostError(err::InvalidProcedureCall,
                       "tree button look " + std::to_string(int(look)) + " is not normal, pressed or disabled");
    static const ButtonPictures pictures = drawButtons();
    return pictures[size_t(button) * 3 + size_t(look)];
}

PictureRef treeBackgroundPicture() {
    static const PictureRef picture = Picture::fromBytes(encodeGif(drawBackground()), PictureScaling::Pixels);
    return picture;
}

}  // namespace tavo
