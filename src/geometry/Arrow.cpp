#include "geometry/Arrow.h"

#include <cmath>
#include <cstdint>

namespace geometry {

namespace {
// Head angles in radians, from 145 and 325 degrees with pi taken as 3.14: the strokes open
// 35.07 degrees from the shaft for arrows pointing right or down, 35.16 for left or up.
constexpr double kHeadAngle = 455.3 / 180;
constexpr double kReversedHeadAngle = 1020.5 / 180;
// Stands in for the slope of a vertical shaft.
constexpr double kVerticalSlope = 1e16;
}  // namespace

double arrowHeadLength(int lineWidth) { return lineWidth < 1 || lineWidth > 5 ? 0 : 250.0 * lineWidth; }

ArrowHeads arrowHeads(TwipPoint start, TwipPoint tip, int lineWidth) {
    const double length = arrowHeadLength(lineWidth);
    const bool vertical = tip.x == start.x;
    const double slope = vertical ? kVerticalSlope : (double(tip.y) - start.y) / (double(tip.x) - start.x);
    // The angle of the slope, not of the shaft: it points right (or down when vertical), and the
    // head angle turns it round for arrows pointing the other way.
    const double theta = float(std::atan(slope));
    const bool reversed = start.x > tip.x || (vertical && start.y > tip.y);
    const double phi = reversed ? kReversedHeadAngle : kHeadAngle;
    auto offset = [length](double angle) { return std::floor(angle * length); };
    const double dx1 = offset(std::cos(theta + phi)), dy1 = offset(std::sin(theta + phi));
    const double dx2 = offset(std::cos(theta - phi)), dy2 = int16_t(offset(std::sin(theta - phi)));
    return {{float(tip.x + dx1), float(tip.y + dy1)}, {float(tip.x + dx2), float(tip.y + dy2)}};
}

}  // namespace geometry
