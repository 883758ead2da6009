#pragma once
#include <QPointF>
#include <QRectF>

#include <span>
#include <vector>

// The pixels of a figure, row by row, as runs of columns. A pixel belongs to the figure when its
// centre does (pixel i covers [i, i + 1)), boxes half-open on their right and bottom sides, so
// that the same figure always covers the same pixels and each once.
namespace rowspans {

struct Span {
    int from, to;  // columns, both included
};

// The rows a figure can cover, top and bottom included.
struct Rows {
    int top, bottom;
};

// An axis-aligned box, less the inner box `hole` where it is not empty.
struct Box {
    QRectF outer, hole;
    Rows rows() const;
    void spans(int y, std::vector<Span>& out) const;
    // The last row, from y on, with the same runs as row y: a box is three bands of equal rows.
    int lastRowLike(int y) const;
};

// An ellipse by its centre and semi-axes, less the ellipse with the hole's semi-axes where both
// are positive.
struct Ellipse {
    QPointF centre;
    double outerX, outerY, holeX, holeY;
    Rows rows() const;
    void spans(int y, std::vector<Span>& out) const;
};

// Strokes of a round pen: every point within `radius` of one of the segments. Overlapping
// strokes give each pixel once.
class Strokes {
public:
    struct Segment {
        QPointF a, b;
    };
    Strokes(std::span<const Segment> segments, double radius);
    Rows rows() const;
    void spans(int y, std::vector<Span>& out) const;

private:
    struct Stroke {
        QPointF a, b;
        QPointF band[4];  // the corners of the band between the round ends; all on a for a dot
        double slope[4];  // of the edge from band[i] to band[i + 1]: columns per row; 0 for a level one
        double top, bottom;
    };
    std::vector<Stroke> strokes_;
    double radius_;
};

// Sorts the runs from `from` on and joins those that overlap or touch, in place.
void normalise(std::vector<Span>& spans, size_t from = 0);

}  // namespace rowspans
