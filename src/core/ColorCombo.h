#pragma once
#include <array>
#include <cstdint>

// The nine colours the settings panel offers, in the order of the items of its two image
// combo boxes (item numbers 1..9), as QBColor indices.
namespace colorcombo {
inline constexpr int kItems = 9;
inline constexpr std::array<uint8_t, kItems> kColors = {0, 9, 10, 12, 14, 13, 11, 8, 15};
}  // namespace colorcombo

// Item number 1..9 -> QBColor index; any other number gives 0 (black).
uint8_t ComboIndexToColor(int item);

// QBColor index -> item number 1..9; a colour that is not offered gives item 2 (blue).
uint8_t ColorToComboIndex(int color);
