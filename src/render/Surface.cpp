#include "render/Surface.h"

#include "geometry/Ellipse.h"
#include "platform/LargeImage.h"

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <cstring>

using geometry::TwipPoint;

namespace {

// Pixel coordinates far outside any screen but well inside int, so rounding cannot overflow.
constexpr double kPixelLimit = 1 << 24;
// Length in pixels given to a wide line of no length, so that its round ends make a dot.
constexpr double kDotLength = 1.0 / 64;

void setInk(QPainter& p, Ink ink) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    switch (ink) {
    case Ink::Invert: p.setCompositionMode(QPainter::RasterOp_NotDestination); break;
    case Ink::Highlight: p.setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
    case Ink::Copy: p.setCompositionMode(QPainter::CompositionMode_Source); break;
    }
}

QPainterPath figurePath(bool ellipse, QPointF centre, double hx, double hy) {
    QPainterPath path;
    if (ellipse && (hx > 0.5 || hy > 0.5))
        path.addEllipse(centre, hx, hy);
    else  // a box, or an ellipse within a single pixel
        path.addRect(QRectF(centre.x() - hx, centre.y() - hy, 2 * hx, 2 * hy));
    return path;
}

// Every pixel of `from` into `to`, which keeps its memory when it has the same size.
void copyPixels(const QImage& from, QImage& to) {
    if (to.size() != from.size() || to.format() != from.format()) to = platform::allocateImage(from.size());
    std::memcpy(to.bits(), from.constBits(), size_t(from.sizeInBytes()));
}

}  // namespace

Surface::Surface(QSize devicePixels, double twipsPerPixel)
    : image_(platform::allocateImage(devicePixels)), twipsPerPixel_(twipsPerPixel > 0 ? twipsPerPixel : 15.0) {
    image_.fill(Qt::black);
}

// Pixel i covers [i, i + 1) of the path, so a point that falls on a pixel lies at its centre.
QPointF Surface::toPath(TwipPoint p) const {
    auto map = [this](float v) { return std::clamp(double(v) / twipsPerPixel_ + 0.5, -kPixelLimit, kPixelLimit); };
    return {map(p.x), map(p.y)};
}

QPoint Surface::toPixel(TwipPoint p) const {
    auto map = [this](float v) {
        return int(geometry::roundHalfEven(std::clamp(double(v) / twipsPerPixel_, -kPixelLimit, kPixelLimit)));
    };
    return {map(p.x), map(p.y)};
}

void Surface::touch(const QRect& pixels) {
    const QRect r = pixels & image_.rect();
    if (!r.isEmpty()) dirty_ |= r;
}

QRect Surface::takeDirty() { return std::exchange(dirty_, QRect()); }

void Surface::fillRegion(const QPainterPath& region, const PenStyle& pen) {
    if (region.isEmpty()) return;
    const QRect box = region.controlPointRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    if ((box & image_.rect()).isEmpty()) return;
    QPainter p(&image_);
    setInk(p, pen.ink);
    QColor c = pen.colour;
    c.setAlpha(255);
    p.fillPath(region, c);
    p.end();
    touch(box);
}

// The pen covers the band between the figure grown and shrunk by half its width; a figure
// narrower than the pen is covered whole. A filled figure is the grown figure: painting it in
// one pass covers each pixel once, which the invert ink needs (two passes would put the inner
// half of the outline back) and which changes nothing for the others.
void Surface::closedFigure(bool ellipse, QPointF centre, double hx, double hy, const PenStyle& pen) {
    const double half = std::max(1, pen.width) / 2.0;
    QPainterPath region = figurePath(ellipse, centre, hx + half, hy + half);
    if (!pen.filled && hx - half > 0 && hy - half > 0) {
        region.addPath(figurePath(ellipse, centre, hx - half, hy - half));
        region.setFillRule(Qt::OddEvenFill);
    }
    fillRegion(region, pen);
}

void Surface::line(TwipPoint from, TwipPoint to, const PenStyle& pen) {
    const Segment one{from, to};
    lines(std::span<const Segment>(&one, 1), pen);
}

void Surface::lines(std::span<const Segment> segments, const PenStyle& pen) {
    if (pen.width <= 1) {
        std::vector<QPoint> pixels;
        for (const Segment& s : segments) thinLine(toPixel(s.from), toPixel(s.to), pixels);
        plot(pixels, pen);
        return;
    }
    QPainterPath centreLines;
    for (const Segment& s : segments) {
        const QPointF a = toPath(s.from);
        QPointF b = toPath(s.to);
        if (a == b) b.rx() += kDotLength;  // a wide pen touching the paper leaves a dot
        centreLines.moveTo(a);
        centreLines.lineTo(b);
    }
    QPainterPathStroker stroker;
    stroker.setWidth(pen.width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    fillRegion(stroker.createStroke(centreLines), pen);
}

// The pixels of a thin line from a to b, b itself left out, by Bresenham's steps; only pixels
// inside the image are kept.
void Surface::thinLine(QPoint a, QPoint b, std::vector<QPoint>& pixels) const {
    const int dx = std::abs(b.x() - a.x()), sx = a.x() < b.x() ? 1 : -1;
    const int dy = -std::abs(b.y() - a.y()), sy = a.y() < b.y() ? 1 : -1;
    int err = dx + dy;
    for (QPoint p = a; p != b;) {
        if (image_.rect().contains(p)) pixels.push_back(p);
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, p.rx() += sx;
        if (e2 <= dx) err += dx, p.ry() += sy;
    }
}

// Applies the ink to each listed pixel once, however often it is listed.
void Surface::plot(std::vector<QPoint>& pixels, const PenStyle& pen) {
    std::sort(pixels.begin(), pixels.end(),
              [](QPoint l, QPoint r) { return l.y() != r.y() ? l.y() < r.y() : l.x() < r.x(); });
    pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
    const QRgb c = pen.colour.rgb() | 0xff000000u;
    QRect box;
    for (QPoint p : pixels) {
        QRgb& px = reinterpret_cast<QRgb*>(image_.scanLine(p.y()))[p.x()];
        switch (pen.ink) {
        case Ink::Invert: px = ~px | 0xff000000u; break;
        case Ink::Highlight: px &= c; break;
        case Ink::Copy: px = c; break;
        }
        box |= QRect(p, QSize(1, 1));
    }
    touch(box);
}

void Surface::box(TwipPoint a, TwipPoint b, const PenStyle& pen) {
    const QRectF r = QRectF(toPath(a), toPath(b)).normalized();
    closedFigure(false, r.center(), r.width() / 2, r.height() / 2, pen);
}

void Surface::ellipse(TwipPoint centre, float radius, float aspect, const PenStyle& pen) {
    const geometry::SemiAxes axes = geometry::semiAxes(radius, aspect);
    closedFigure(true, toPath(centre), std::min(axes.horizontal / twipsPerPixel_, kPixelLimit),
                 std::min(axes.vertical / twipsPerPixel_, kPixelLimit), pen);
}

void Surface::fill(const QRect& pixels, const QColor& colour) {
    const QRect r = pixels & image_.rect();
    if (r.isEmpty()) return;
    QPainter p(&image_);
    setInk(p, Ink::Copy);
    p.fillRect(r, colour);
    p.end();
    touch(r);
}

void Surface::setImage(const QImage& pixels) {
    if (pixels.size() == image_.size() && pixels.format() == QImage::Format_RGB32) {
        image_ = pixels;  // shared, not copied: the first drawing detaches it
    } else {
        QPainter p(&image_);
        setInk(p, Ink::Copy);
        p.drawImage(0, 0, pixels.convertToFormat(QImage::Format_RGB32));
    }
    touch(image_.rect());
}

void Surface::commit() { copyPixels(image_, picture_); }

void Surface::takeBack() {
    if (picture_.isNull()) return;
    copyPixels(picture_, image_);
    touch(image_.rect());
}

void Surface::zoom(const geometry::TwipRect& source) {
    if (picture_.isNull() || source.width <= 0 || source.height <= 0) return;
    const double k = twipsPerPixel_;
    QPainter p(&image_);
    setInk(p, Ink::Copy);
    const QRectF from(source.x / k, source.y / k, source.width / k, source.height / k);
    p.drawImage(QRectF(image_.rect()), picture_, from);
    p.end();
    touch(image_.rect());
}
