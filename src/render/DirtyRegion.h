#pragma once
#include <QRegion>
#include <QSize>

#include <vector>

// The pixels of an image changed since the last take(), kept as runs of columns in bands of a few
// rows, so that a thin figure (an outline, a long slanted line) is a region of thin strips along
// it instead of its bounding box. Each band covers the rows it was given (not more) and, in them,
// the union of the columns; runs closer than a small gap are joined, so that the region stays a
// few rectangles a band, and neighbouring bands are joined where that costs less to put (each
// rectangle is a request to the display). The result is a superset of what was added, never less.
class DirtyRegion {
public:
    static constexpr int kBandRows = 8;
    static constexpr int kJoinGap = 24;  // columns: a separate rectangle costs about as much as these
    static constexpr int kRectCost = 400;  // pixels: what putting one more rectangle costs

    explicit DirtyRegion(QSize bounds);

    // Columns x0..x1 of rows y0..y1 (all inclusive), clipped to the bounds.
    void add(int y0, int y1, int x0, int x1);
    void add(const QRect& r) { add(r.top(), r.bottom(), r.left(), r.right()); }
    // Everything.
    void addAll() { all_ = true; }
    bool isEmpty() const { return !all_ && touched_.empty(); }

    // The region so far; starts a new one.
    QRegion take();

    struct Run {
        int from, to;
    };

private:
    struct Band {
        int top = 0, bottom = -1;  // rows given in this band; none while bottom < top
        std::vector<Run> runs;     // sorted, apart by more than kJoinGap
    };
    void addToBand(int band, int y0, int y1, int x0, int x1);

    QSize bounds_;
    std::vector<Band> bands_;
    std::vector<int> touched_;  // bands with rows, in the order first touched
    std::vector<Run> group_, joined_;  // scratch of take(), kept for its memory
    bool all_ = false;
};
