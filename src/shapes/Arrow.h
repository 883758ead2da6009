#pragma once
#include <cstdint>

class Surface;
struct Module1;

// Arrow from the press point (startX, startY) to the tip (x, y): the shaft and two head strokes
// (shapes::arrowHeads), all drawn towards the tip. isFinal 0 draws the inverted preview and
// puts DrawMode back to penMode; any other value draws the arrow in QBColor(drawColor) with
// the surface's current DrawMode, which it leaves alone.
void DrawArrow(const Module1& m, Surface& s, float x, float y, int16_t isFinal);
