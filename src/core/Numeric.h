#pragma once
#include <cmath>
#include <cstdint>
#include <optional>

// Number conversions shared by the whole program.
namespace numeric {

// Twips per pixel of the reference 96-DPI screen; Qt's logical pixels are at this scale.
inline constexpr int kTwipsPerPixel = 15;

// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
inline double roundHalfEven(double v) { return std::nearbyint(v); }

// Rounds half to even and checks the result fits [lo, hi]; nullopt when not finite or out of range.
std::optional<int64_t> toIntegerInRange(double v, int64_t lo, int64_t hi);

inline int twipsToPixels(double twips) {
    return static_cast<int>(roundHalfEven(twips / kTwipsPerPixel));
}
inline double pixelsToTwips(int px) { return double(px) * kTwipsPerPixel; }

}  // namespace numeric
