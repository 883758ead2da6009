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

Surface::Surface(QSize devicePixels, double twipsPerPixel) : Surface(platform::allocateImage(devicePixels), twipsPerPixel) {
    image_.fill(Qt::black);
}

Surface::Surface(QImage pixels, double twipsPerPixel)
    : image_(pixels.format() == QImage::Format_RGB32 ? std::move(pixels) : pixels.convertToFormat(QImage::Format_RGB32)),
      twipsPerPixel_(twipsPerPixel > 0 ? twipsPerPixel : 15.0),
      dirty_(image_.size()) {}

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

bool Surface::fillRegion(const QPainterPath& region, const PenStyle& pen) {
    if (region.isEmpty()) return false;
    const QRect box = region.controlPointRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    if ((box & image_.rect()).isEmpty()) return false;
    QPainter p(&image_);
    setInk(p, pen.ink);
    QColor c = pen.colour;
    c.setAlpha(255);
    p.fillPath(region, c);
    return true;
}

namespace {

// Pixel columns and rows as whole numbers, a pixel beyond the image at most.
int floorIn(double v, int size) { return int(std::floor(std::clamp(v, -2.0, size + 2.0))); }
int ceilIn(double v, int size) { return int(std::ceil(std::clamp(v, -2.0, size + 2.0))); }

}  // namespace

// Band by band: the outer figure's widest reach in the band's rows and the hole's narrowest,
// each a pixel wider than the painter can reach (pixels are painted by their centres).
void Surface::touchFigure(bool ellipse, QPointF c, double outerX, double outerY, double innerX, double innerY) {
    const int w = image_.width(), h = image_.height();
    const bool hole = innerX >= 1 && innerY >= 1;
    auto reach = [ellipse](double semiX, double semiY, double dy) {
        if (dy >= semiY) return -1.0;
        return ellipse ? semiX * std::sqrt(1 - (dy / semiY) * (dy / semiY)) : semiX;
    };
    const int top = std::max(0, floorIn(c.y() - outerY, h) - 1), bottom = std::min(h - 1, ceilIn(c.y() + outerY, h) + 1);
    constexpr int kBand = DirtyRegion::kBandRows;
    for (int r0 = top; r0 <= bottom; r0 = (r0 / kBand + 1) * kBand) {
        const int r1 = std::min(bottom, (r0 / kBand + 1) * kBand - 1);
        const double nearest = std::max({0.0, r0 - c.y(), c.y() - (r1 + 1)});
        const double farthest = std::max(std::abs(r0 - c.y()), std::abs(r1 + 1 - c.y()));
        const double outer = std::max(0.0, reach(outerX, outerY, nearest));
        const double inner = hole ? reach(innerX, innerY, farthest) : -1;
        const int left = floorIn(c.x() - outer, w) - 1, right = ceilIn(c.x() + outer, w) + 1;
        if (inner > 1) {
            dirty_.add(r0, r1, left, ceilIn(c.x() - inner, w) + 1);
            dirty_.add(r0, r1, floorIn(c.x() + inner, w) - 1, right);
        } else {
            dirty_.add(r0, r1, left, right);
        }
    }
}

// Band by band: the part of the centre line within half a width of the band's rows, widened by
// half a width and a pixel.
void Surface::touchStroke(QPointF a, QPointF b, double halfWidth) {
    const int w = image_.width(), h = image_.height();
    const double reach = halfWidth + 1;
    if (a.y() > b.y()) std::swap(a, b);
    const int top = std::max(0, floorIn(a.y() - reach, h)), bottom = std::min(h - 1, ceilIn(b.y() + reach, h));
    const double dy = b.y() - a.y();
    constexpr int kBand = DirtyRegion::kBandRows;
    for (int r0 = top; r0 <= bottom; r0 = (r0 / kBand + 1) * kBand) {
        const int r1 = std::min(bottom, (r0 / kBand + 1) * kBand - 1);
        double x0 = a.x(), x1 = b.x();
        if (dy > 0) {
            // The centre line between the rows y0 and y1 of the band, widened.
            const double t0 = std::clamp((r0 - reach - a.y()) / dy, 0.0, 1.0);
            const double t1 = std::clamp((r1 + 1 + reach - a.y()) / dy, 0.0, 1.0);
            x0 = a.x() + (b.x() - a.x()) * t0, x1 = a.x() + (b.x() - a.x()) * t1;
        }
        if (x0 > x1) std::swap(x0, x1);
        dirty_.add(r0, r1, floorIn(x0 - reach, w), ceilIn(x1 + reach, w));
    }
}

// The pen covers the band between the figure grown and shrunk by half its width; a figure
// narrower than the pen is covered whole. A filled figure is the grown figure: painting it in
// one pass covers each pixel once, which the invert ink needs (two passes would put the inner
// half of the outline back) and which changes nothing for the others.
void Surface::closedFigure(bool ellipse, QPointF centre, double hx, double hy, const PenStyle& pen) {
    const double half = std::max(1, pen.width) / 2.0;
    QPainterPath region = figurePath(ellipse, centre, hx + half, hy + half);
    const bool hole = !pen.filled && hx - half > 0 && hy - half > 0;
    if (hole) {
        region.addPath(figurePath(ellipse, centre, hx - half, hy - half));
        region.setFillRule(Qt::OddEvenFill);
    }
    if (fillRegion(region, pen))
        touchFigure(ellipse && (hx > 0.5 || hy > 0.5), centre, hx + half, hy + half, hole ? hx - half : 0, hole ? hy - half : 0);
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
    if (!fillRegion(stroker.createStroke(centreLines), pen)) return;
    for (const Segment& s : segments) touchStroke(toPath(s.from), toPath(s.to), pen.width / 2.0);
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
    for (QPoint p : pixels) {
        QRgb& px = reinterpret_cast<QRgb*>(image_.scanLine(p.y()))[p.x()];
        switch (pen.ink) {
        case Ink::Invert: px = ~px | 0xff000000u; break;
        case Ink::Highlight: px &= c; break;
        case Ink::Copy: px = c; break;
        }
        dirty_.add(p.y(), p.y(), p.x(), p.x());
    }
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
    dirty_.add(r);
}

void Surface::setImage(const QImage& pixels) {
    if (pixels.size() == image_.size() && pixels.format() == QImage::Format_RGB32) {
        image_ = pixels;  // shared, not copied: the first drawing detaches it
    } else {
        QPainter p(&image_);
        setInk(p, Ink::Copy);
        p.drawImage(0, 0, pixels.convertToFormat(QImage::Format_RGB32));
    }
    dirty_.addAll();
}

void Surface::commit() { copyPixels(image_, picture_); }

void Surface::takeBack() {
    if (picture_.isNull()) return;
    copyPixels(picture_, image_);
    dirty_.addAll();
}

void Surface::zoom(const geometry::TwipRect& source) {
    if (picture_.isNull() || source.width <= 0 || source.height <= 0) return;
    const double k = twipsPerPixel_;
    QPainter p(&image_);
    setInk(p, Ink::Copy);
    const QRectF from(source.x / k, source.y / k, source.width / k, source.height / k);
    p.drawImage(QRectF(image_.rect()), picture_, from);
    p.end();
    dirty_.addAll();
}
