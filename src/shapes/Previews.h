#pragma once

class Surface;
struct Module1;

// The self-erasing rubber bands of a gesture. Each draws in the invert mode and then puts the
// surface's DrawMode back to `penMode`; drawing the same preview again with the same arguments
// erases it exactly. Width and fill are the surface's, as the press set them, so the previews
// of filled patterns are solid inverted areas.

// Line from the press point (startX, startY) to (x, y).
void PreviewLine(const Module1& m, Surface& s, float x, float y);

// Axis-aligned rectangle with corners (startX, startY) and (x, y), in any drag direction.
void PreviewBox(const Module1& m, Surface& s, float x, float y);

// Ellipse centred on (centreX, centreY), by the `Circle` rule for radius and aspect.
void PreviewEllipse(const Module1& m, Surface& s, float centreX, float centreY, float radius,
                    float aspect);
