#include "canvas/Gestures.h"

#include "canvas/QBColor.h"
#include "canvas/Surface.h"
#include "core/Module1.h"
#include "shapes/Arrow.h"
#include "shapes/EllipseFit.h"
#include "shapes/Loupe.h"
#include "shapes/LoupeGeometry.h"
#include "shapes/Previews.h"

namespace gestures {

namespace {

// The shared state as the shape procedures must see it during this gesture.
Module1 during(const Module1& m, const Gesture& g) {
    Module1 v = m;
    v.shapeKind = g.shapeKind;
    v.penMode = g.penMode;
    v.drawColor = g.drawColor;
    v.fillStyle = g.fillStyle;
    return v;
}

// Draws the preview for the stored points; drawing it again with the same points erases it,
// since previews invert. At the press the circle's centre (previewX, previewY) is the press
// point itself.
void drawPreview(const Module1& v, Surface& s) {
    switch (v.shapeKind) {
    case 2: PreviewLine(v, s, v.previewX, v.previewY); break;
    case 3: DrawArrow(v, s, v.previewX, v.previewY, 0); break;
    case 4: PreviewEllipse(v, s, v.previewX, v.previewY, v.circleRadius, v.circleAspect); break;
    case 5:
    case 7: PreviewBox(v, s, v.previewX, v.previewY); break;
    default: break;
    }
}

void loupeRelease(Module1& m, const Module1& v, Surface& s) {
    const int32_t t = shapes::loupeThreshold(s.pixelSize().width(), s.twipsPerPixel());
    if (shapes::loupeDragStretches(m.startX, m.startY, m.pointerX, m.pointerY, t)) {
        PreviewBox(v, s, v.previewX, v.previewY);
        shapes::TwipRect src = shapes::loupeDragSource(m.startX, m.startY, m.pointerX, m.pointerY);
        s.PaintPicture(s.picture(), 0, 0, s.Width(), s.Height(), src.x, src.y, src.width, src.height);
    } else {
        ExpandAtPoint(v, s);
    }
}

}  // namespace

AfterPress MouseDown(Module1& m, Surface& s, Gesture& g, int button, float x, float y) {
    if (button == Right) {
        s.Cls();
        // Taking back during a drag also ends the drag, so nothing stray is inverted later.
        m.isDragging = false;
        return AfterPress::FocusToolbar;
    }
    if (m.isDragging) return AfterPress::Nothing;  // another button during a drag: ignored

    s.commit();
    g = {m.shapeKind, m.penMode, m.drawColor, m.fillStyle};
    s.DrawMode = g.penMode;
    s.FillStyle = g.fillStyle;
    s.FillColor = QBColor(g.drawColor);
    s.ForeColor = QBColor(g.drawColor);
    s.DrawWidth = m.lineWidth * 2;
    m.isDragging = true;
    m.startX = m.previewX = x;
    m.startY = m.previewY = y;
    if (g.shapeKind == 4) {
        m.circleRadius = 1;
        m.circleAspect = 1;
    }
    drawPreview(during(m, g), s);
    return AfterPress::ShowToolbar;
}

void MouseMove(Module1& m, Surface& s, const Gesture& g, float x, float y) {
    if (!m.isDragging) return;
    Module1 v = during(m, g);
    switch (g.shapeKind) {
    case 1:
        m.pointerX = x;
        m.pointerY = y;
        s.Line(m.startX, m.startY, m.pointerX, m.pointerY, QBColor(g.drawColor));
        m.startX = m.pointerX;
        m.startY = m.pointerY;
        return;
    case 2:
    case 3:
    case 5:
    case 7:
        drawPreview(v, s);  // erases the one on the canvas
        m.previewX = x;
        m.previewY = y;
        drawPreview(during(m, g), s);
        return;
    case 4: {
        drawPreview(v, s);  // erases the one on the canvas
        shapes::EllipseFit fit = shapes::fitEllipse(m.startX, m.startY, x, y, m.circleAspect);
        m.newRadius = fit.radius;
        m.circleAspect = fit.aspect;
        m.previewX = fit.centreX;
        m.previewY = fit.centreY;
        m.circleRadius = m.newRadius;
        Module1 w = during(m, g);
        PreviewEllipse(w, s, w.previewX, w.previewY, w.circleRadius, w.circleAspect);
        return;
    }
    default: return;
    }
}

void MouseUp(Module1& m, Surface& s, const Gesture& g, int button, float x, float y) {
    m.pointerX = x;
    m.pointerY = y;
    if (button == Right) return;
    if (!m.isDragging) return;  // no gesture of ours: a press made before the canvas came up

    const Module1 v = during(m, g);
    const bool moved = float(m.pointerX - m.startX) != 0.0f || float(m.pointerY - m.startY) != 0.0f;
    const QColor colour = QBColor(g.drawColor);
    switch (g.shapeKind) {
    case 1: s.Line(m.startX, m.startY, m.pointerX, m.pointerY, colour); break;
    case 2:
        if (!moved) { s.Cls(); break; }
        PreviewLine(v, s, v.previewX, v.previewY);
        s.Line(m.startX, m.startY, m.pointerX, m.pointerY, colour);
        break;
    case 3:
        if (!moved) { s.Cls(); break; }
        DrawArrow(v, s, v.previewX, v.previewY, 0);
        DrawArrow(v, s, v.previewX, v.previewY, -1);
        break;
    case 4:
        if (!moved) { s.Cls(); break; }
        PreviewEllipse(v, s, v.previewX, v.previewY, v.circleRadius, v.circleAspect);
        s.Circle(m.previewX, m.previewY, m.circleRadius, colour, m.circleAspect);
        break;
    case 5:
        if (!moved) { s.Cls(); break; }
        PreviewBox(v, s, v.previewX, v.previewY);
        s.Line(m.startX, m.startY, m.pointerX, m.pointerY, colour, Surface::LineForm::Box);
        break;
    case 7: loupeRelease(m, v, s); break;
    default: break;
    }
    m.isDragging = false;
}

}  // namespace gestures
