#pragma once
#include "geometry/Twips.h"

namespace geometry {

// Semi-axes of the ellipse drawn for a radius and an aspect (height / width): below 1 the
// horizontal semi-axis is the radius, otherwise the vertical one is.
struct SemiAxes {
    double horizontal = 0;
    double vertical = 0;
};
SemiAxes semiAxes(double radius, double aspect);

// The ellipse previewed for a drag from `start` to `pointer`: centred in the drag box, radius
// half its larger side, aspect height / width, so that it fills the box in every direction.
// `aspect` is kept while the pointer is less than a twip from the press column, where
// height / width means nothing (1 from the press, or the last real aspect).
struct EllipseFit {
    TwipPoint centre;
    float radius = 0;
    float aspect = 0;
};
EllipseFit fitEllipse(TwipPoint start, TwipPoint pointer, float aspect);
// Whether the pointer is in the press column, where fitEllipse() keeps the aspect it is given.
bool keepsAspect(TwipPoint start, TwipPoint pointer);

}  // namespace geometry
