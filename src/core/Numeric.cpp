#include "core/Numeric.h"


namespace numeric {

std::optional<int64_t> toIntegerInRange(double v, int64_t lo, int64_t hi) {
    if (!std::isfinite(v)) return std::nullopt;
    double r = roundHalfEven(v);
    if (r < double(lo) || r > double(hi)) return std::nullopt;
    return static_cast<int64_t>(r);
}

}  // namespace numeric
