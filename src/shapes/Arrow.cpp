#include "shapes/Arrow.h"

#include "canvas/QBColor.h"
#include "canvas/Surface.h"
#include "core/Module1.h"
#include "shapes/ArrowGeometry.h"
#include "shapes/InvertedPreview.h"

#include <array>

void DrawArrow(const Module1& m, Surface& s, float x, float y, int16_t isFinal) {
    const shapes::ArrowHeads heads = shapes::arrowHeads(m.startX, m.startY, x, y, m.lineWidth);
    // One figure, so the inverted preview stays solid where the strokes meet at the tip.
    const std::array<Surface::Segment, 3> strokes = {{
        {m.startX, m.startY, x, y},
        {heads.first.x, heads.first.y, x, y},
        {heads.second.x, heads.second.y, x, y},
    }};
    if (isFinal != 0)
        s.Lines(strokes, QBColor(m.drawColor));
    else
        shapes::drawInverted(m, s, [&] { s.Lines(strokes); });
}
