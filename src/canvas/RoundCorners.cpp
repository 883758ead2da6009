#include "canvas/RoundCorners.h"

#include "canvas/QBColor.h"
#include "canvas/Surface.h"
#include "shapes/CornerGeometry.h"

void DrawRoundCorners(Surface& s) {
    const int drawMode = s.DrawMode;
    const int fillStyle = s.FillStyle;
    const QColor fillColor = s.FillColor;
    const QColor foreColor = s.ForeColor;
    const int drawWidth = s.DrawWidth;

    s.DrawMode = Surface::kCopyPen;
    s.FillStyle = Surface::kSolid;
    s.FillColor = QBColor(0);
    s.ForeColor = QBColor(0);
    s.DrawWidth = 1;

    // The marks are measured in pixels (15 twips each); rescaled to the surface's own factor
    // they keep their pixel size on any screen.
    const double k = s.twipsPerPixel() / 15.0;
    const QSize screen = s.pixelSize();
    for (const shapes::CornerLine& l : shapes::cornerLines(screen.width(), screen.height()))
        s.Line(float(l.x1 * k), float(l.y1 * k), float(l.x2 * k), float(l.y2 * k));

    s.DrawMode = drawMode;
    s.FillStyle = fillStyle;
    s.FillColor = fillColor;
    s.ForeColor = foreColor;
    s.DrawWidth = drawWidth;
}
