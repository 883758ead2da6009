#pragma once

class Surface;
struct Module1;

// The loupe's point zoom: shows the region chosen around the press point (startX, startY) by
// shapes::expandRegion, taken from the committed Picture, at twice the size over the whole
// canvas. The screen size is the surface's pixel size and twips-per-pixel factor.
void ExpandAtPoint(const Module1& m, Surface& s);
