#pragma once
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// What the settings panel offers.

// The nine colours, in the order of the panel's two swatch lists, as palette indices: black,
// blue, green, red, yellow, magenta, cyan, grey, white.
inline constexpr std::array<uint8_t, 9> kColourChoices = {0, 9, 10, 12, 14, 13, 11, 8, 15};

// The list position (0..8) that shows a palette index; a colour not offered shows as blue.
int choiceShowing(int colour);

// The line widths listed: 1 to 5.
inline constexpr int kWidthChoices = 5;

// The line width that the text of the width box stands for: a whole number 1..5 (blanks around
// it and full-width digits allowed), or the width now in force whatever its value, so that a
// width read from the file stays when the user leaves the box alone. Nothing for anything else.
std::optional<uint8_t> widthFromText(const QString& text, uint8_t inForce);
