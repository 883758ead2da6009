#include "tools/Shapes.h"

#include "geometry/Arrow.h"
#include "geometry/Ellipse.h"
#include "geometry/Loupe.h"
#include "render/Surface.h"

#include <array>

using geometry::TwipPoint;

void LineTool::drawBand(const PenStyle& pen) { surface_.line(start_, band_, pen); }
void LineTool::finish(TwipPoint release) { surface_.line(start_, release, pen_); }

void ArrowTool::drawBand(const PenStyle& pen) {
    const geometry::ArrowHeads heads = geometry::arrowHeads(start_, band_, lineWidth_);
    // One figure, so that the inverted band stays solid where the strokes meet at the tip.
    const std::array<Surface::Segment, 3> strokes = {{{start_, band_}, {heads.first, band_}, {heads.second, band_}}};
    surface_.lines(strokes, pen);
}
void ArrowTool::finish(TwipPoint) { drawBand(pen_); }

void BoxTool::drawBand(const PenStyle& pen) { surface_.box(start_, band_, pen); }
void BoxTool::finish(TwipPoint release) { surface_.box(start_, release, pen_); }

void EllipseTool::started() {
    // A circle of one twip round the press point, which the first move erases.
    drawn_ = aimed_ = {start_, 1, 1};
}
void EllipseTool::aim(TwipPoint to) { aimed_ = geometry::fitEllipse(start_, to, aimed_.aspect); }
void EllipseTool::drawBand(const PenStyle& pen) { surface_.ellipse(drawn_.centre, drawn_.radius, drawn_.aspect, pen); }
void EllipseTool::finish(TwipPoint) { drawBand(pen_); }

void LoupeTool::drawBand(const PenStyle& pen) { surface_.box(start_, band_, pen); }
void LoupeTool::release(TwipPoint pointer) {
    const QSize screen = surface_.pixelSize();
    const double k = surface_.twipsPerPixel();
    // The stretched box stays whole inside the picture, however far the pointer went.
    const TwipPoint at = geometry::ontoScreen(pointer, screen, k);
    if (geometry::loupeStretches(start_, at, geometry::loupeThreshold(screen.width(), k))) {
        toggleBand();
        surface_.zoom({start_.x, start_.y, double(at.x - start_.x), double(at.y - start_.y)});
    } else {
        surface_.zoom(geometry::pointZoomRegion(start_, screen, k));
    }
}

void FreehandTool::move(TwipPoint to) {
    surface_.line(last_, to, pen_);
    last_ = to;
}
