#include "shapes/EllipseFit.h"

#include <cmath>

namespace shapes {

EllipseFit fitEllipse(float startX, float startY, float x, float y, float currentAspect) {
    // Differences and quotients in double, stored as float like the gesture fields.
    const double dx = double(x) - startX;
    const double dy = double(y) - startY;
    const double width = std::fabs(dx);
    const double height = std::fabs(dy);

    EllipseFit fit;
    fit.radius = float(height) >= float(width) ? float(height / 2) : float(width / 2);
    fit.aspect = width >= 1 ? float(height / width) : currentAspect;
    fit.centreX = float(startX + dx / 2);
    fit.centreY = float(startY + dy / 2);
    return fit;
}

}  // namespace shapes
