#pragma once
#include <QRect>

#include <cmath>
#include <cstdint>
#include <optional>

// Sizes and places are twips: 15 to a logical pixel, as on a 96-DPI screen. Qt's device pixel
// ratio decides how many device pixels that is (at a ratio of 2 a twip is 2/15 of one).
namespace geometry {

inline constexpr int kTwipsPerPixel = 15;

// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
inline double roundHalfEven(double v) { return std::nearbyint(v); }

// Rounds half to even and checks that the result fits [lo, hi]; nullopt when not finite or out of range.
std::optional<int64_t> toIntegerInRange(double v, int64_t lo, int64_t hi);

inline int twipsToPixels(double twips) { return int(roundHalfEven(twips / kTwipsPerPixel)); }
inline double pixelsToTwips(double px) { return px * kTwipsPerPixel; }

// Twips of a length in device pixels on a screen with `ratio` device pixels per logical pixel.
inline double deviceToTwips(double devicePx, double ratio) {
    return devicePx * kTwipsPerPixel / (ratio > 0 ? ratio : 1.0);
}

// A rectangle given in twips, in logical pixels.
inline QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

// A point on the canvas in twips, single precision like every gesture point.
struct TwipPoint {
    float x = 0;
    float y = 0;
    bool operator==(const TwipPoint&) const = default;
};

struct TwipRect {
    double x = 0, y = 0, width = 0, height = 0;
};

}  // namespace geometry
