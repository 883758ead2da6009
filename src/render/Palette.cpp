#include "render/Palette.h"

#include <array>

QColor paletteColour(int index) {
    static constexpr std::array<QRgb, 16> kPalette = {
        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
        0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
    };
    return QColor::fromRgb(index < 0 || index > 15 ? kPalette[0] : kPalette[size_t(index)]);
}
