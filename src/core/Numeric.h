#pragma once
#include <cmath>
#include <cstdint>
#include <optional>

// Number conversions shared by the whole program.
namespace numeric {

// Twips per pixel of the reference 96-DPI screen; Qt's logical pixels are at this scale, so
// on a screen with a device pixel ratio of 2 a twip is 1/15 logical and 2/15 device pixels.
inline constexpr int kTwipsPerPixel = 15;

// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
inline double roundHalfEven(double v) { return std::nearbyint(v); }

// Rounds half to even and checks the result fits [lo, hi]; nullopt when not finite or out of range.
std::optional<int64_t> toIntegerInRange(double v, int64_t lo, int64_t hi);

inline int twipsToPixels(double twips) {
    return static_cast<int>(roundHalfEven(twips / kTwipsPerPixel));
}
inline double pixelsToTwips(double px) { return px * kTwipsPerPixel; }

// Twips of a length measured in device pixels (the window manager's frame, the X server's
// pixels) on a screen with `ratio` device pixels per logical pixel.
inline double deviceToTwips(double devicePx, double ratio) {
    return devicePx * kTwipsPerPixel / (ratio > 0 ? ratio : 1.0);
}

}  // namespace numeric
