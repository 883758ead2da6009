#include "geometry/Loupe.h"

#include <algorithm>

namespace geometry {

int32_t loupeThreshold(int screenWidthPx, double twipsPerPixel) {
    return int32_t(roundHalfEven(double(screenWidthPx) * twipsPerPixel / 50));
}

TwipPoint ontoScreen(TwipPoint p, QSize screenPx, double twipsPerPixel) {
    return {std::clamp(p.x, 0.0f, float(screenPx.width() * twipsPerPixel)),
            std::clamp(p.y, 0.0f, float(screenPx.height() * twipsPerPixel))};
}

bool loupeStretches(TwipPoint start, TwipPoint release, int32_t threshold) {
    const float t = float(threshold);
    return release.x - start.x > t && release.y - start.y > t;
}

TwipRect pointZoomRegion(TwipPoint press, QSize screenPx, double twipsPerPixel) {
    const double w = double(screenPx.width()) * twipsPerPixel;
    const int32_t h = int32_t(roundHalfEven(double(screenPx.height()) * twipsPerPixel));
    // Across, the fraction is compared in double with 2 % and 48 %; down, in single precision
    // with 3 % and 47 %.
    float rx = press.x / (2.0f * float(w));
    if (double(rx) <= 0.02) rx = 0;
    if (double(rx) >= 0.48) rx = 0.5f;
    float ry = float(double(press.y) / (2.0 * h));
    if (ry <= 0.03f) ry = 0;
    if (ry >= 0.47f) ry = 0.5f;
    const double x1 = w * rx, x2 = w * (rx + 0.5);
    const double y1 = double(h) * ry;
    const int32_t y2 = int32_t(roundHalfEven(double(h) * (ry + 0.5)));
    return {x1, y1, x2 - x1, double(y2) - y1};
}

}  // namespace geometry
