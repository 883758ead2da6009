#pragma once
#include <cstdint>

struct Module1;

// The eight drawing patterns and the pen values each one fixes.
namespace patterns {

struct Pattern {
    int16_t number;       // drawPattern
    uint8_t shapeKind;
    int image;            // picture of the toolbar's first button
    uint8_t penMode;      // 13 copy pen, 9 mask pen
    bool usesFillColor;   // drawColor from fillColor, else from lineColor
    uint8_t fillStyle;    // 0 solid, 1 transparent
};

inline constexpr int kCount = 8;
inline constexpr int kImageBeforeSelection = 4;  // button 1 at start, before a pattern is restored

// The table entry of pattern 1..8; nullptr for any other number.
const Pattern* find(int number);

// Fills drawPattern, shapeKind, penMode, drawColor and fillStyle for pattern 1..8
// (in that field order of effect), reading lineColor / fillColor now. Returns the picture
// for button 1, or 0 when the number is not a pattern (then nothing changes).
int select(Module1& m, int number);

// The pattern after / before `current`, wrapping 8 -> 1 and 1 -> 8. From a value that is no
// pattern (0 before the first selection) the next is 1 and the previous is 8.
int16_t next(int16_t current);
int16_t previous(int16_t current);

}  // namespace patterns
