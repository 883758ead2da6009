#pragma once
#include <cstdint>
#include <optional>

// The eight drawing patterns, numbered as settings.ini stores them (line 4) and in the toolbar's
// order. Before the first selection there is none.
enum class Pattern : int16_t {
    Arrow = 1,
    Line,
    Circle,
    FilledCircle,
    Rectangle,
    FilledRectangle,
    Loupe,
    FreeDraw,
};
inline constexpr int kPatternCount = 8;

inline int16_t numberOf(std::optional<Pattern> p) { return p ? int16_t(*p) : int16_t(0); }

// The pattern numbered 1..8; nothing for any other number.
std::optional<Pattern> patternNumbered(int number);

// The pattern after / before `current`, wrapping 8 -> 1 and 1 -> 8; from none, 1 and 8.
Pattern nextPattern(std::optional<Pattern> current);
Pattern previousPattern(std::optional<Pattern> current);
