#include "shapes/Loupe.h"

#include "canvas/Surface.h"
#include "core/Module1.h"
#include "shapes/LoupeGeometry.h"

void ExpandAtPoint(const Module1& m, Surface& s) {
    const QSize screen = s.pixelSize();
    const shapes::LoupeRegion region = shapes::expandRegion(
        m.startX, m.startY, screen.width(), screen.height(), s.twipsPerPixel(), s.twipsPerPixel());
    const shapes::TwipRect& from = region.source;
    s.PaintPicture(s.picture(), 0, 0, s.Width(), s.Height(), from.x, from.y, from.width,
                   from.height);
}
