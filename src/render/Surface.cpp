#include "render/Surface.h"

#include "geometry/Ellipse.h"
#include "render/RowSpans.h"
#include "platform/LargeImage.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

using geometry::TwipPoint;

namespace {

// Pixel coordinates far outside any screen but well inside int, so rounding cannot overflow.
constexpr double kPixelLimit = 1 << 24;

void setInk(QPainter& p, Ink ink) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    switch (ink) {
    case Ink::Invert: p.setCompositionMode(QPainter::RasterOp_NotDestination); break;
    case Ink::Highlight: p.setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
    case Ink::Copy: p.setCompositionMode(QPainter::CompositionMode_Source); break;
    }
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

// Applies an ink to runs of pixels, row after row downwards, and records what changed band by
// band: the runs of a band's rows joined as the record joins them, handed over once a band.
class Surface::RowWriter {
public:
    RowWriter(Surface& s, const PenStyle& pen)
        : s_(s), ink_(pen.ink), colour_(pen.colour.rgb() | 0xff000000u), bits_(s.writable().bits()),
          stride_(s.image_.bytesPerLine()), width_(s.image_.width()) {
        s_.bandRuns_.clear();
    }
    ~RowWriter() { handOver(); }

    void row(int y, const std::vector<rowspans::Span>& spans) {
        if (y / DirtyRegion::kBandRows != bandTop_ / DirtyRegion::kBandRows || bandBottom_ < bandTop_) handOver(), bandTop_ = y;
        const int w = width_;
        auto* line = reinterpret_cast<QRgb*>(bits_ + ptrdiff_t(y) * stride_);
        auto& band = s_.bandRuns_;
        for (rowspans::Span sp : spans) {
            sp.from = std::max(sp.from, 0), sp.to = std::min(sp.to, w - 1);
            if (sp.from > sp.to) continue;
            apply(line + sp.from, sp.to - sp.from + 1);
            bandBottom_ = y;
            auto joined = std::find_if(band.begin(), band.end(), [&](const rowspans::Span& r) {
                return r.from <= sp.to + DirtyRegion::kJoinGap && sp.from <= r.to + DirtyRegion::kJoinGap;
            });
            if (joined == band.end())
                band.push_back(sp);
            else
                joined->from = std::min(joined->from, sp.from), joined->to = std::max(joined->to, sp.to);
        }
    }

    // Rows y0..y1 alike: the same runs in each, recorded as one block.
    void rows(int y0, int y1, const std::vector<rowspans::Span>& spans) {
        handOver();
        for (rowspans::Span sp : spans) {
            sp.from = std::max(sp.from, 0), sp.to = std::min(sp.to, width_ - 1);
            if (sp.from > sp.to) continue;
            for (int y = y0; y <= y1; ++y)
                apply(reinterpret_cast<QRgb*>(bits_ + ptrdiff_t(y) * stride_) + sp.from, sp.to - sp.from + 1);
            s_.dirty_.add(y0, y1, sp.from, sp.to);
        }
    }

private:
    void apply(QRgb* px, int n) const {
        switch (ink_) {
        case Ink::Invert: for (int i = 0; i < n; ++i) px[i] = ~px[i] | 0xff000000u; break;
        case Ink::Highlight: for (int i = 0; i < n; ++i) px[i] &= colour_; break;
        case Ink::Copy: std::fill(px, px + n, colour_); break;
        }
    }

    void handOver() {
        if (bandBottom_ >= bandTop_)
            for (const rowspans::Span& r : s_.bandRuns_) s_.dirty_.add(bandTop_, bandBottom_, r.from, r.to);
        s_.bandRuns_.clear();
        bandBottom_ = bandTop_ - 1;
    }

    Surface& s_;
    const Ink ink_;
    const QRgb colour_;
    uchar* const bits_;  // found once: scanLine() asks whether the image is shared every time
    const qsizetype stride_;
    const int width_;
    int bandTop_ = 0, bandBottom_ = -1;
};

// Each pixel of the figure once, in the pen's ink. Inverted figures between beginSwap() and
// endSwap() are only noted: boxes as rectangles while only boxes come (a band of rows at a
// time, so that a box costs its rows' pixels and not a note per row), else row by row.
template <class Figure>
void Surface::paint(const Figure& figure, const PenStyle& pen) {
    const rowspans::Rows rows = figure.rows();
    const int top = std::max(rows.top, 0), bottom = std::min(rows.bottom, image_.height() - 1);
    if (swapping_ && pen.ink == Ink::Invert) {
        if constexpr (std::is_same_v<Figure, rowspans::Box>) {
            if (swapTop_ > swapBottom_) {  // no rows noted yet
                for (int y = top; y <= bottom;) {
                    spans_.clear();
                    figure.spans(y, spans_);
                    const int last = std::min(bottom, figure.lastRowLike(y));
                    for (const rowspans::Span& sp : spans_) swapBoxes_.emplace_back(QPoint(sp.from, y), QPoint(sp.to, last));
                    y = last + 1;
                }
                return;
            }
        }
        if (swapRows_.size() != size_t(image_.height())) swapRows_.resize(size_t(image_.height()));
        noteSwapBoxesByRow();
        for (int y = top; y <= bottom; ++y) figure.spans(y, swapRows_[size_t(y)]);
        if (top <= bottom) swapTop_ = std::min(swapTop_, top), swapBottom_ = std::max(swapBottom_, bottom);
        return;
    }
    RowWriter writer(*this, pen);
    for (int y = top; y <= bottom; ++y) {
        spans_.clear();
        figure.spans(y, spans_);
        writer.row(y, spans_);
    }
}

void Surface::noteSwapBoxesByRow() {
    for (const QRect& r : swapBoxes_) {
        for (int y = r.top(); y <= r.bottom(); ++y) swapRows_[size_t(y)].push_back({r.left(), r.right()});
        swapTop_ = std::min(swapTop_, r.top()), swapBottom_ = std::max(swapBottom_, r.bottom());
    }
    swapBoxes_.clear();
}

void Surface::beginSwap() { swapping_ = true; }

// Each row of a large image lies on pages of its own, which the processor does not fetch ahead
// by itself: the ends of the runs noted for a row a few rows down are asked for while this one is
// written, so that the rows of an outline across a 4K screen come from memory several at a time
// instead of one after another (a third less time for a line's move, measured with cold caches).
void Surface::fetchAhead(int y) const {
    const uchar* line = image_.constScanLine(y);
    const int last = image_.width() - 1;
    for (const rowspans::Span& sp : swapRows_[size_t(y)]) {
        __builtin_prefetch(line + size_t(std::clamp(sp.from, 0, last)) * 4, 1);
        __builtin_prefetch(line + size_t(std::clamp(sp.to, 0, last)) * 4, 1);
    }
}

namespace {
// The runs covered an odd number of times, from the runs' ends sorted: [0, 1), [2, 3), ...
void oddRuns(std::vector<int>& ends, std::vector<rowspans::Span>& out) {
    std::sort(ends.begin(), ends.end());
    out.clear();
    for (size_t i = 0; i + 1 < ends.size(); i += 2)
        if (ends[i] < ends[i + 1]) out.push_back({ends[i], ends[i + 1] - 1});
}
}  // namespace

// A pixel inverted an even number of times is as it was: only the pixels covered an odd number
// of times are inverted, found by sweeping the runs' ends along each row, or along each band of
// rows that the noted boxes cross alike.
void Surface::endSwap() {
    swapping_ = false;
    RowWriter writer(*this, PenStyle{}.inverted());
    std::vector<int> ends;
    if (!swapBoxes_.empty()) {
        std::vector<int> cuts;
        for (const QRect& r : swapBoxes_) cuts.push_back(r.top()), cuts.push_back(r.bottom() + 1);
        std::sort(cuts.begin(), cuts.end());
        cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
        for (size_t i = 0; i + 1 < cuts.size(); ++i) {
            ends.clear();
            for (const QRect& r : swapBoxes_)
                if (r.top() <= cuts[i] && r.bottom() >= cuts[i + 1] - 1) ends.push_back(r.left()), ends.push_back(r.right() + 1);
            oddRuns(ends, spans_);
            writer.rows(cuts[i], cuts[i + 1] - 1, spans_);
        }
        swapBoxes_.clear();
    }
    for (int y = swapTop_; y <= swapBottom_; ++y) {
        if (y + kRowsAhead <= swapBottom_) fetchAhead(y + kRowsAhead);
        std::vector<rowspans::Span>& noted = swapRows_[size_t(y)];
        if (noted.empty()) continue;
        ends.clear();
        for (const rowspans::Span& sp : noted) ends.push_back(sp.from), ends.push_back(sp.to + 1);
        oddRuns(ends, spans_);
        noted.clear();
        writer.row(y, spans_);
    }
    swapTop_ = std::numeric_limits<int>::max(), swapBottom_ = -1;
}

// The pen covers the band between the figure grown and shrunk by half its width; a figure
// narrower than the pen is covered whole. A filled figure is the grown figure, each pixel once,
// which the invert ink needs (twice would put the inner half of the outline back).
void Surface::closedFigure(bool ellipse, QPointF centre, double hx, double hy, const PenStyle& pen) {
    const double half = std::max(1, pen.width) / 2.0;
    const bool hole = !pen.filled && hx - half > 0 && hy - half > 0;
    if (ellipse && (hx > 0.5 || hy > 0.5)) {
        paint(rowspans::Ellipse{centre, hx + half, hy + half, hole ? hx - half : 0, hole ? hy - half : 0}, pen);
    } else {  // a box, or an ellipse within a single pixel
        auto grown = [&](double by) { return QRectF(centre.x() - hx - by, centre.y() - hy - by, 2 * (hx + by), 2 * (hy + by)); };
        paint(rowspans::Box{grown(half), hole ? grown(-half) : QRectF()}, pen);
    }
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
    std::vector<rowspans::Strokes::Segment> strokes;
    strokes.reserve(segments.size());
    for (const Segment& s : segments) strokes.push_back({toPath(s.from), toPath(s.to)});
    paint(rowspans::Strokes{strokes, pen.width / 2.0}, pen);
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
    QImage& image = writable();
    for (QPoint p : pixels) {
        QRgb& px = reinterpret_cast<QRgb*>(image.scanLine(p.y()))[p.x()];
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
    QPainter p(&writable());
    setInk(p, Ink::Copy);
    p.fillRect(r, colour);
    p.end();
    dirty_.add(r);
}

void Surface::setImage(const QImage& desktop) {
    if (desktop.size() == image_.size() && desktop.format() == QImage::Format_RGB32) {
        writable() = desktop;  // shared, not copied: the first drawing detaches it
    } else {
        QPainter p(&writable());
        setInk(p, Ink::Copy);
        p.drawImage(0, 0, desktop.convertToFormat(QImage::Format_RGB32));
    }
    dirty_.addAll();
}

QImage& Surface::writable() {
    ahead_.reset();
    return image_;
}

void Surface::commitAhead() {
    if (picture_.isNull() && !ahead_) ahead_ = std::make_unique<platform::BackgroundCopy>(image_);
}

void Surface::commit() {
    if (ahead_) {
        QImage made = ahead_->take();
        ahead_.reset();
        if (!made.isNull()) return void(picture_ = std::move(made));
    }
    copyPixels(image_, picture_);
}

void Surface::takeBack() {
    if (picture_.isNull()) return;
    copyPixels(picture_, writable());
    dirty_.addAll();
}

void Surface::zoom(const geometry::TwipRect& source) {
    if (picture_.isNull() || source.width <= 0 || source.height <= 0) return;
    const double k = twipsPerPixel_;
    QPainter p(&writable());
    setInk(p, Ink::Copy);
    const QRectF from(source.x / k, source.y / k, source.width / k, source.height / k);
    p.drawImage(QRectF(image_.rect()), picture_, from);
    p.end();
    dirty_.addAll();
}
