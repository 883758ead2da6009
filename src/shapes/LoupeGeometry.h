#pragma once
#include <cstdint>

namespace shapes {

struct TwipRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// One fiftieth of the screen width in twips, rounded half to even: the distance a loupe drag
// must exceed to the right and downwards to stretch the dragged box.
int32_t loupeThreshold(int horzRes, double twipsPerPixelX);

// True when a loupe gesture from (startX, startY) released at (pointerX, pointerY) went more
// than `threshold` right and more than `threshold` down; otherwise the point zoom runs.
bool loupeDragStretches(float startX, float startY, float pointerX, float pointerY,
                        int32_t threshold);

// The dragged box, which the drag zoom stretches over the whole canvas.
TwipRect loupeDragSource(float startX, float startY, float pointerX, float pointerY);

// The point zoom around the press point: the half-width by half-height region of the picture
// that, shown at twice the size, keeps the press point where it is, pinned to the screen edge
// when the press lies close to it. rx and ry are the region's start as fractions of the
// doubled screen size (0 to 0.5).
struct LoupeRegion {
    float rx = 0;
    float ry = 0;
    TwipRect source;
};
LoupeRegion expandRegion(float startX, float startY, int horzRes, int vertRes,
                         double twipsPerPixelX, double twipsPerPixelY);

}  // namespace shapes
