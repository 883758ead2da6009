#include "render/RowSpans.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace rowspans {

namespace {

// Far outside any screen but well inside int.
constexpr double kLimit = 1 << 24;

int firstCentreAtOrAfter(double v) { return int(std::ceil(std::clamp(v - 0.5, -kLimit, kLimit))); }
int lastCentreAtOrBefore(double v) { return int(std::floor(std::clamp(v - 0.5, -kLimit, kLimit))); }
int lastCentreBefore(double v) { return firstCentreAtOrAfter(v) - 1; }

// The columns whose centres lie in [from, to], then those in (holeFrom, holeTo) taken out.
void closedRun(double from, double to, std::vector<Span>& out) {
    const int a = firstCentreAtOrAfter(from), b = lastCentreAtOrBefore(to);
    if (a <= b) out.push_back({a, b});
}
void cut(std::vector<Span>& out, int holeFrom, int holeTo) {
    if (holeFrom > holeTo || out.empty()) return;
    const Span s = out.back();
    out.pop_back();
    if (s.from < holeFrom) out.push_back({s.from, std::min(s.to, holeFrom - 1)});
    if (s.to > holeTo) out.push_back({std::max(s.from, holeTo + 1), s.to});
}

}  // namespace

void normalise(std::vector<Span>& spans, size_t from) {
    if (spans.size() < from + 2) return;
    std::sort(spans.begin() + long(from), spans.end(), [](const Span& l, const Span& r) { return l.from < r.from; });
    size_t n = from;
    for (size_t i = from + 1; i < spans.size(); ++i) {
        if (spans[i].from <= spans[n].to + 1)
            spans[n].to = std::max(spans[n].to, spans[i].to);
        else
            spans[++n] = spans[i];
    }
    spans.resize(n + 1);
}

int Box::lastRowLike(int y) const {
    int last = rows().bottom;
    if (!hole.isEmpty()) {
        const int holeTop = firstCentreAtOrAfter(hole.top()), holeBottom = lastCentreBefore(hole.bottom());
        if (y < holeTop)
            last = std::min(last, holeTop - 1);
        else if (y <= holeBottom)
            last = std::min(last, holeBottom);
    }
    return std::max(last, y);
}

Rows Box::rows() const { return {firstCentreAtOrAfter(outer.top()), lastCentreBefore(outer.bottom())}; }

void Box::spans(int y, std::vector<Span>& out) const {
    const double c = y + 0.5;
    if (c < outer.top() || c >= outer.bottom()) return;
    const int a = firstCentreAtOrAfter(outer.left()), b = lastCentreBefore(outer.right());
    if (a > b) return;
    out.push_back({a, b});
    if (!hole.isEmpty() && c >= hole.top() && c < hole.bottom())
        cut(out, firstCentreAtOrAfter(hole.left()), lastCentreBefore(hole.right()));
}

Rows Ellipse::rows() const {
    return {firstCentreAtOrAfter(centre.y() - outerY), lastCentreAtOrBefore(centre.y() + outerY)};
}

void Ellipse::spans(int y, std::vector<Span>& out) const {
    const double dy = y + 0.5 - centre.y();
    if (std::abs(dy) > outerY || outerY <= 0) return;
    const double w = outerX * std::sqrt(std::max(0.0, 1 - (dy / outerY) * (dy / outerY)));
    const size_t before = out.size();
    closedRun(centre.x() - w, centre.x() + w, out);
    if (out.size() == before || holeX <= 0 || holeY <= 0 || std::abs(dy) >= holeY) return;
    // The hole's open inside: centres strictly within it.
    const double h = holeX * std::sqrt(1 - (dy / holeY) * (dy / holeY));
    cut(out, lastCentreAtOrBefore(centre.x() - h) + 1, firstCentreAtOrAfter(centre.x() + h) - 1);
}

namespace {
// A round pen is sampled a hair above and left of each pixel's centre, and its ends are a hair
// smaller than its width: a pen N pixels wide then covers exactly N rows of a level line and N
// columns of an upright one (the line's pixel and those below and right of it first), and a
// round end reaches half the width beyond the end pixel, never a pixel more.
constexpr double kSampleShift = 1e-6;
constexpr double kEndShrink = 1e-3;

int firstSampleAtOrAfter(double v) { return int(std::ceil(std::clamp(v - 0.5 + kSampleShift, -kLimit, kLimit))); }
int lastSampleAtOrBefore(double v) { return int(std::floor(std::clamp(v - 0.5 + kSampleShift, -kLimit, kLimit))); }
}  // namespace

Strokes::Strokes(std::span<const Segment> segments, double radius) : radius_(radius) {
    strokes_.reserve(segments.size());
    for (const Segment& s : segments) {
        const QPointF d = s.b - s.a;
        const double length = std::hypot(d.x(), d.y());
        const QPointF n = length > 0 ? QPointF(-d.y() / length * radius, d.x() / length * radius) : QPointF();
        Stroke k{s.a, s.b, {s.a + n, s.b + n, s.b - n, s.a - n}, {}, std::min(s.a.y(), s.b.y()) - radius,
                 std::max(s.a.y(), s.b.y()) + radius};
        for (int i = 0; i < 4; ++i) {
            const QPointF p = k.band[i], q = k.band[(i + 1) % 4];
            k.slope[i] = p.y() == q.y() ? 0 : (q.x() - p.x()) / (q.y() - p.y());
        }
        strokes_.push_back(k);
    }
}

Rows Strokes::rows() const {
    double top = std::numeric_limits<double>::max(), bottom = std::numeric_limits<double>::lowest();
    for (const Stroke& s : strokes_) top = std::min(top, s.top), bottom = std::max(bottom, s.bottom);
    return {firstSampleAtOrAfter(top), lastSampleAtOrBefore(bottom)};
}

// A stroke is convex, so a row meets it in one run: from the leftmost to the rightmost of its
// two round ends and of the band between them.
void Strokes::spans(int y, std::vector<Span>& out) const {
    const double c = y + 0.5 - kSampleShift, r = radius_ - kEndShrink;
    const size_t before = out.size();
    for (const Stroke& s : strokes_) {
        if (c < s.top || c > s.bottom) continue;
        double lo = std::numeric_limits<double>::max(), hi = std::numeric_limits<double>::lowest();
        for (QPointF end : {s.a, s.b}) {
            const double dy = c - end.y();
            if (std::abs(dy) > r) continue;
            const double w = std::sqrt(r * r - dy * dy);
            lo = std::min(lo, end.x() - w), hi = std::max(hi, end.x() + w);
        }
        for (int i = 0; i < 4; ++i) {
            const QPointF p = s.band[i], q = s.band[(i + 1) % 4];
            if ((c < p.y() && c < q.y()) || (c > p.y() && c > q.y()) || p == q) continue;
            if (p.y() == q.y()) {
                lo = std::min({lo, p.x(), q.x()}), hi = std::max({hi, p.x(), q.x()});
            } else {
                const double x = p.x() + s.slope[i] * (c - p.y());
                lo = std::min(lo, x), hi = std::max(hi, x);
            }
        }
        const int from = firstSampleAtOrAfter(lo), to = lastSampleAtOrBefore(hi);
        if (lo <= hi && from <= to) out.push_back({from, to});
    }
    normalise(out, before);  // this row's runs only
}

}  // namespace rowspans
