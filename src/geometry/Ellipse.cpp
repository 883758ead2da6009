#include "geometry/Ellipse.h"

#include <cmath>

namespace geometry {

SemiAxes semiAxes(double radius, double aspect) {
    const double r = std::fabs(radius);
    double a = std::fabs(aspect);
    if (std::isnan(a)) a = 1;
    if (a < 1) return {r, r * a};
    return {r / a, r};
}

EllipseFit fitEllipse(TwipPoint start, TwipPoint pointer, float aspect) {
    // Differences and quotients in double, kept in single precision like the gesture points.
    const double dx = double(pointer.x) - start.x;
    const double dy = double(pointer.y) - start.y;
    const double width = std::fabs(dx), height = std::fabs(dy);
    EllipseFit fit;
    fit.radius = float(height) >= float(width) ? float(height / 2) : float(width / 2);
    fit.aspect = keepsAspect(start, pointer) ? aspect : float(height / width);
    fit.centre = {float(start.x + dx / 2), float(start.y + dy / 2)};
    return fit;
}

bool keepsAspect(TwipPoint start, TwipPoint pointer) { return std::fabs(double(pointer.x) - start.x) < 1; }

}  // namespace geometry
