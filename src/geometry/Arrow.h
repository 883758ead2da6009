#pragma once
#include "geometry/Twips.h"

namespace geometry {

// Length of an arrow's head strokes for the line width setting: 250 twips per step for 1..5;
// any other width gives 0, so the strokes collapse onto the tip.
double arrowHeadLength(int lineWidth);

// Start points of the two head strokes of an arrow from `start` to `tip`; both strokes run
// from these points to the tip. The strokes open about 35 degrees from the shaft.
struct ArrowHeads {
    TwipPoint first;
    TwipPoint second;
};
ArrowHeads arrowHeads(TwipPoint start, TwipPoint tip, int lineWidth);

}  // namespace geometry
