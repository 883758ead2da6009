#include "core/ColorCombo.h"

#include <cstddef>

uint8_t ComboIndexToColor(int item) {
    if (item < 1 || item > colorcombo::kItems) return 0;
    return colorcombo::kColors[std::size_t(item - 1)];
}

uint8_t ColorToComboIndex(int color) {
    for (std::size_t i = 0; i < colorcombo::kColors.size(); ++i)
        if (colorcombo::kColors[i] == color) return static_cast<uint8_t>(i + 1);
    return 2;
}
