#include "geometry/Twips.h"

namespace geometry {

std::optional<int64_t> toIntegerInRange(double v, int64_t lo, int64_t hi) {
    if (!std::isfinite(v)) return std::nullopt;
    const double r = roundHalfEven(v);
    // double(INT64_MAX) rounds up to 2^63, which no int64 holds.
    if (r < double(lo) || r > double(hi) || r >= 0x1p63 || r < -0x1p63) return std::nullopt;
    return static_cast<int64_t>(r);
}

}  // namespace geometry
