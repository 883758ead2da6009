#pragma once
#include "geometry/Twips.h"

#include <QSize>

#include <cstdint>

namespace geometry {

// One fiftieth of the screen width in twips, rounded half to even: how far a loupe drag must
// go right and down to stretch the dragged box instead of zooming at the press point.
int32_t loupeThreshold(int screenWidthPx, double twipsPerPixel);

// A point brought onto the screen's picture: a drag let go on another monitor reports a point
// beyond the canvas, or left of or above it.
TwipPoint ontoScreen(TwipPoint p, QSize screenPx, double twipsPerPixel);

// True when the drag from `start` to `release` went more than `threshold` right and down.
bool loupeStretches(TwipPoint start, TwipPoint release, int32_t threshold);

// The point zoom: the half-width by half-height region of the picture that, shown at twice
// the size, keeps the press point where it is; pinned to the screen's edge when the press lies
// within 4 % of the width of the left or right edge or 6 % of the height of the top or bottom.
TwipRect pointZoomRegion(TwipPoint press, QSize screenPx, double twipsPerPixel);

}  // namespace geometry
