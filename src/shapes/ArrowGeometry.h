#pragma once
#include <cstdint>

namespace shapes {

struct TwipPoint {
    float x = 0;
    float y = 0;
};

// Length of the arrow's head strokes for the line width setting: 250 twips per step for
// 1..5; any other width gives 0, so the strokes collapse onto the tip.
double arrowHeadLength(int lineWidth);

// Start points of the two head strokes of an arrow from (startX, startY) to the tip (x, y);
// both strokes are drawn from these points to the tip.
struct ArrowHeads {
    TwipPoint first;
    TwipPoint second;
};
ArrowHeads arrowHeads(float startX, float startY, float x, float y, int lineWidth);

}  // namespace shapes
