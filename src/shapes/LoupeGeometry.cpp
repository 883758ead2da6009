#include "shapes/LoupeGeometry.h"

#include "core/Numeric.h"

namespace shapes {

int32_t loupeThreshold(int horzRes, double twipsPerPixelX) {
    return int32_t(numeric::roundHalfEven(double(horzRes) * twipsPerPixelX / 50));
}

bool loupeDragStretches(float startX, float startY, float pointerX, float pointerY,
                        int32_t threshold) {
    const float t = float(threshold);
    return pointerX - startX > t && pointerY - startY > t;
}

TwipRect loupeDragSource(float startX, float startY, float pointerX, float pointerY) {
    return {startX, startY, pointerX - startX, pointerY - startY};
}

LoupeRegion expandRegion(float startX, float startY, int horzRes, int vertRes,
                         double twipsPerPixelX, double twipsPerPixelY) {
    const double w = double(horzRes) * twipsPerPixelX;
    const int32_t h = int32_t(numeric::roundHalfEven(double(vertRes) * twipsPerPixelY));

    // The horizontal edges are compared in double against 2 % and 48 %, the vertical ones
    // against the float constants 3 % and 47 %.
    float rx = startX / (2.0f * float(w));
    if (double(rx) <= 0.02) rx = 0;
    if (double(rx) >= 0.48) rx = 0.5f;
    float ry = float(double(startY) / (2.0 * h));
    if (ry <= 0.03f) ry = 0;
    if (ry >= 0.47f) ry = 0.5f;

    const double x1 = w * rx;
    const double x2 = w * (rx + 0.5);
    const double y1 = double(h) * ry;
    const int32_t y2 = int32_t(numeric::roundHalfEven(double(h) * (ry + 0.5)));
    return {rx, ry, {x1, y1, x2 - x1, double(y2) - y1}};
}

}  // namespace shapes
