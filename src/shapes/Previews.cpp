#include "shapes/Previews.h"

#include "canvas/Surface.h"
#include "core/Module1.h"
#include "shapes/InvertedPreview.h"

void PreviewLine(const Module1& m, Surface& s, float x, float y) {
    shapes::drawInverted(m, s, [&] { s.Line(m.startX, m.startY, x, y); });
}

void PreviewBox(const Module1& m, Surface& s, float x, float y) {
    shapes::drawInverted(
        m, s, [&] { s.Line(m.startX, m.startY, x, y, std::nullopt, Surface::LineForm::Box); });
}

void PreviewEllipse(const Module1& m, Surface& s, float centreX, float centreY, float radius,
                    float aspect) {
    shapes::drawInverted(m, s, [&] { s.Circle(centreX, centreY, radius, std::nullopt, aspect); });
}
