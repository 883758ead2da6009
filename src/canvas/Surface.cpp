#include "canvas/Surface.h"

#include "platform/LargeImage.h"

#include "core/Numeric.h"

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Pixel coordinates far outside any screen but well inside int, so rounding cannot overflow.
constexpr double kPixelLimit = 1 << 24;
// Length in pixels given to a zero-length wide line so that its round ends make a dot.
constexpr double kDotLength = 1.0 / 64;

void applyDrawMode(QPainter& p, int drawMode) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    switch (drawMode) {
    case Surface::kInvert: p.setCompositionMode(QPainter::RasterOp_NotDestination); break;
    case Surface::kMaskPen: p.setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
    default: p.setCompositionMode(QPainter::CompositionMode_Source); break;
    }
}

QColor opaque(QColor c) {
    c.setAlpha(255);
    return c;
}

QPainterPath strokeOf(const QPainterPath& centreLine, double width, Qt::PenCapStyle cap,
                      Qt::PenJoinStyle join) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(cap);
    stroker.setJoinStyle(join);
    return stroker.createStroke(centreLine);
}

// The box or ellipse centred on `centre` with half-sizes hx and hy.
QPainterPath figurePath(Surface::Figure figure, QPointF centre, double hx, double hy) {
    QPainterPath path;
    if (figure == Surface::Figure::Ellipse && (hx > 0.5 || hy > 0.5))
        path.addEllipse(centre, hx, hy);
    else  // a box, or an ellipse within a single pixel
        path.addRect(QRectF(centre.x() - hx, centre.y() - hy, 2 * hx, 2 * hy));
    return path;
}

// Copies every pixel of `from` into `to` (same size and format) without reallocating `to`.
void copyPixels(const QImage& from, QImage& to) {
    if (to.size() != from.size() || to.format() != from.format()) {
        to = from.format() == QImage::Format_RGB32 ? platform::allocateImage(from.size()) : from.copy();
        if (to.size() != from.size()) return;
    }
    std::memcpy(to.bits(), from.constBits(), size_t(from.sizeInBytes()));
}

}  // namespace

SemiAxes circleSemiAxes(double radius, double aspect) {
    const double r = std::fabs(radius);
    double a = std::fabs(aspect);
    if (std::isnan(a)) a = 1;
    if (a < 1) return {r, r * a};
    return {r / a, r};
}

Surface::Surface(QSize pixelSize, double twipsPerPixel)
    : image_(platform::allocateImage(pixelSize)),
      twipsPerPixel_(twipsPerPixel > 0 ? twipsPerPixel : 15.0) {
    image_.fill(background_);
}

// A twip position as a path coordinate: pixel i covers [i, i + 1), so a position that falls on
// a pixel lies at that pixel's centre.
QPointF Surface::toPath(float x, float y) const {
    auto map = [this](float v) {
        return std::clamp(double(v) / twipsPerPixel_ + 0.5, -kPixelLimit, kPixelLimit);
    };
    return {map(x), map(y)};
}

QPoint Surface::toPixel(float x, float y) const {
    auto map = [this](float v) {
        return int(numeric::roundHalfEven(
            std::clamp(double(v) / twipsPerPixel_, -kPixelLimit, kPixelLimit)));
    };
    return {map(x), map(y)};
}

void Surface::touch(const QRect& pixels) {
    const QRect r = pixels & image_.rect();
    if (!r.isEmpty()) dirty_ |= r;
}

QRect Surface::takeDirty() {
    const QRect r = dirty_;
    dirty_ = QRect();
    return r;
}

void Surface::fillRegion(const QPainterPath& region, const QColor& colour) {
    if (region.isEmpty()) return;
    const QRect box = region.controlPointRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    if ((box & image_.rect()).isEmpty()) return;
    QPainter p(&image_);
    applyDrawMode(p, DrawMode);
    p.fillPath(region, opaque(colour));
    p.end();
    touch(box);
}

// The pen covers the band between the figure grown and shrunk by half its width; a figure
// narrower than the pen is covered whole. Interior, band and their union are then each one
// plain figure, so every pixel is painted once and a point-sized figure is a pen-sized dot.
void Surface::drawClosedFigure(Figure figure, QPointF centre, double hx, double hy,
                               const QColor& colour) {
    const double half = penWidth() / 2.0;
    const QPainterPath outer = figurePath(figure, centre, hx + half, hy + half);
    const bool hollow = hx - half > 0 && hy - half > 0;
    const QPainterPath inner = hollow ? figurePath(figure, centre, hx - half, hy - half)
                                      : QPainterPath();
    QPainterPath band = outer;
    band.addPath(inner);
    band.setFillRule(Qt::OddEvenFill);

    const bool filled = FillStyle == kSolid;
    if (DrawMode == kInvert) {
        // Pen and interior overlap along the inner half of the outline; inverting them in two
        // passes would put those pixels back. One pass over the union inverts each pixel once.
        fillRegion(filled ? outer : band, Qt::black);
        return;
    }
    if (filled) {
        // The mask pen ANDs: where the pen colour differs from the fill colour the pen must not
        // land on pixels already masked with the fill.
        if (DrawMode == kMaskPen && FillColor.rgb() != colour.rgb())
            fillRegion(inner, FillColor);
        else
            fillRegion(figurePath(figure, centre, hx, hy), FillColor);
    }
    fillRegion(band, colour);
}

void Surface::Line(float x1, float y1, float x2, float y2, std::optional<QColor> colour,
                   LineForm form) {
    const QColor c = colour.value_or(ForeColor);
    if (form == LineForm::Box) {
        const QRectF box = QRectF(toPath(x1, y1), toPath(x2, y2)).normalized();
        drawClosedFigure(Figure::Box, box.center(), box.width() / 2, box.height() / 2, c);
        return;
    }
    const Segment one{x1, y1, x2, y2};
    Lines(std::span<const Segment>(&one, 1), colour);
}

void Surface::Lines(std::span<const Segment> segments, std::optional<QColor> colour) {
    if (segments.empty()) return;
    const QColor c = colour.value_or(ForeColor);
    if (penWidth() == 1) {
        std::vector<QPoint> pixels;
        for (const Segment& s : segments)
            appendThinLine(toPixel(s.x1, s.y1), toPixel(s.x2, s.y2), pixels);
        plot(pixels, c);
        return;
    }
    QPainterPath centreLines;
    for (const Segment& s : segments) {
        const QPointF a = toPath(s.x1, s.y1);
        QPointF b = toPath(s.x2, s.y2);
        // A wide pen touching the paper without moving leaves a dot.
        if (a == b) b.rx() += kDotLength;
        centreLines.moveTo(a);
        centreLines.lineTo(b);
    }
    fillRegion(strokeOf(centreLines, penWidth(), Qt::RoundCap, Qt::RoundJoin), c);
}

// The pixels of a thin line from a to b, b itself left out (the platform's line rule), by
// Bresenham's steps. Only pixels inside the image are kept.
void Surface::appendThinLine(QPoint a, QPoint b, std::vector<QPoint>& pixels) const {
    const QRect bounds = image_.rect();
    const int dx = std::abs(b.x() - a.x()), sx = a.x() < b.x() ? 1 : -1;
    const int dy = -std::abs(b.y() - a.y()), sy = a.y() < b.y() ? 1 : -1;
    int err = dx + dy;
    QPoint p = a;
    while (p != b) {
        if (bounds.contains(p)) pixels.push_back(p);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            p.rx() += sx;
        }
        if (e2 <= dx) {
            err += dx;
            p.ry() += sy;
        }
    }
}

// Applies the draw mode to each listed pixel once, however often it is listed.
void Surface::plot(std::vector<QPoint>& pixels, const QColor& colour) {
    std::sort(pixels.begin(), pixels.end(), [](QPoint l, QPoint r) {
        return l.y() != r.y() ? l.y() < r.y() : l.x() < r.x();
    });
    pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
    const QRgb c = colour.rgb() | 0xff000000u;
    QRect box;
    for (QPoint p : pixels) {
        QRgb& px = reinterpret_cast<QRgb*>(image_.scanLine(p.y()))[p.x()];
        switch (DrawMode) {
        case kInvert: px = ~px | 0xff000000u; break;
        case kMaskPen: px &= c; break;
        default: px = c; break;
        }
        box |= QRect(p, QSize(1, 1));
    }
    touch(box);
}

void Surface::Circle(float cx, float cy, float radius, std::optional<QColor> colour,
                     float aspect) {
    const SemiAxes axes = circleSemiAxes(radius, aspect);
    drawClosedFigure(Figure::Ellipse, toPath(cx, cy),
                     std::min(axes.horizontal / twipsPerPixel_, kPixelLimit),
                     std::min(axes.vertical / twipsPerPixel_, kPixelLimit),
                     colour.value_or(ForeColor));
}

void Surface::Cls() {
    if (picture_.isNull())
        image_.fill(background_);
    else
        copyPixels(picture_, image_);
    touch(image_.rect());
}

void Surface::commit() { copyPixels(image_, picture_); }

void Surface::PaintPicture(const QImage& source, double destX, double destY, double destWidth,
                           double destHeight, double srcX, double srcY, double srcWidth,
                           double srcHeight) {
    if (source.isNull() || destWidth <= 0 || destHeight <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return;
    const double k = twipsPerPixel_;
    const QRectF target(destX / k, destY / k, destWidth / k, destHeight / k);
    const QRectF from(srcX / k, srcY / k, srcWidth / k, srcHeight / k);
    // Painting Image onto itself would read pixels already overwritten.
    const QImage pixels = (&source == &image_) ? image_.copy() : source;
    QPainter p(&image_);
    applyDrawMode(p, kCopyPen);
    p.drawImage(target, pixels, from);
    p.end();
    touch(target.toAlignedRect());
}

void Surface::setImage(const QImage& pixels) {
    if (pixels.size() == image_.size() && pixels.format() == QImage::Format_RGB32) {
        image_ = pixels;  // shared, not copied: the first drawing detaches it
        touch(image_.rect());
        return;
    }
    QPainter p(&image_);
    applyDrawMode(p, kCopyPen);
    p.drawImage(0, 0, pixels.convertToFormat(QImage::Format_RGB32));
    p.end();
    touch(pixels.rect());
}
