#include "render/DirtyRegion.h"

#include <algorithm>

DirtyRegion::DirtyRegion(QSize bounds)
    : bounds_(bounds), bands_(size_t(std::max(0, (bounds.height() + kBandRows - 1) / kBandRows))) {}

void DirtyRegion::add(int y0, int y1, int x0, int x1) {
    y0 = std::max(y0, 0), y1 = std::min(y1, bounds_.height() - 1);
    x0 = std::max(x0, 0), x1 = std::min(x1, bounds_.width() - 1);
    if (all_ || y0 > y1 || x0 > x1) return;
    for (int band = y0 / kBandRows; band <= y1 / kBandRows; ++band)
        addToBand(band, std::max(y0, band * kBandRows), std::min(y1, band * kBandRows + kBandRows - 1), x0, x1);
}

void DirtyRegion::addToBand(int index, int y0, int y1, int x0, int x1) {
    Band& band = bands_[size_t(index)];
    if (band.bottom < band.top) {
        band.top = y0, band.bottom = y1;
        touched_.push_back(index);
    } else {
        band.top = std::min(band.top, y0), band.bottom = std::max(band.bottom, y1);
    }
    // Runs that the new one reaches (within the gap) are merged into it.
    auto& runs = band.runs;
    auto first = std::lower_bound(runs.begin(), runs.end(), x0, [](const Run& r, int x) { return r.to + kJoinGap < x; });
    auto last = first;
    while (last != runs.end() && last->from <= x1 + kJoinGap) {
        x0 = std::min(x0, last->from), x1 = std::max(x1, last->to);
        ++last;
    }
    if (first == last) {
        runs.insert(first, Run{x0, x1});
    } else {
        *first = Run{x0, x1};
        runs.erase(first + 1, last);
    }
}

namespace {
// The runs of both lists, those closer than the gap joined: sorted and apart as a band's are.
void joinRuns(const std::vector<DirtyRegion::Run>& a, const std::vector<DirtyRegion::Run>& b, std::vector<DirtyRegion::Run>& out) {
    out.clear();
    auto i = a.begin(), j = b.begin();
    while (i != a.end() || j != b.end()) {
        const DirtyRegion::Run next = j == b.end() || (i != a.end() && i->from <= j->from) ? *i++ : *j++;
        if (!out.empty() && next.from <= out.back().to + DirtyRegion::kJoinGap)
            out.back().to = std::max(out.back().to, next.to);
        else
            out.push_back(next);
    }
}

// What putting these runs over `rows` rows costs, in pixels.
int64_t cost(const std::vector<DirtyRegion::Run>& runs, int rows) {
    int64_t pixels = 0;
    for (const DirtyRegion::Run& r : runs) pixels += int64_t(r.to - r.from + 1) * rows + DirtyRegion::kRectCost;
    return pixels;
}
}  // namespace

QRegion DirtyRegion::take() {
    QRegion out;
    if (all_) {
        out = QRegion(0, 0, bounds_.width(), bounds_.height());
    } else if (!touched_.empty()) {
        std::sort(touched_.begin(), touched_.end());
        // Bands in order, each a row of rectangles of its height: the sorted, non-overlapping
        // form QRegion takes as it is. A band joins the one above when one row of wider
        // rectangles costs less to put than two rows of narrower ones, as along the steep sides
        // of an outline, where neighbouring bands cover nearly the same columns.
        std::vector<QRect> rects;
        int top = 0, bottom = -1;
        auto putGroup = [&] {
            for (const Run& r : group_) rects.emplace_back(QPoint(r.from, top), QPoint(r.to, bottom));
        };
        for (int index : touched_) {
            const Band& b = bands_[size_t(index)];
            if (bottom + 1 == b.top) {
                joinRuns(group_, b.runs, joined_);
                const int rows = b.bottom - top + 1;
                if (cost(joined_, rows) <= cost(group_, bottom - top + 1) + cost(b.runs, b.bottom - b.top + 1)) {
                    std::swap(group_, joined_);
                    bottom = b.bottom;
                    continue;
                }
            }
            putGroup();
            group_ = b.runs, top = b.top, bottom = b.bottom;
        }
        putGroup();
        group_.clear();
        out.setRects(rects.data(), int(rects.size()));
    }
    for (int index : touched_) {
        Band& b = bands_[size_t(index)];
        b.top = 0, b.bottom = -1;
        b.runs.clear();
    }
    touched_.clear();
    all_ = false;
    return out;
}
