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

QRegion DirtyRegion::take() {
    QRegion out;
    if (all_) {
        out = QRegion(0, 0, bounds_.width(), bounds_.height());
    } else if (!touched_.empty()) {
        std::sort(touched_.begin(), touched_.end());
        // Bands in order, each a row of rectangles of its height: the sorted, non-overlapping
        // form QRegion takes as it is. Neighbouring bands with the same runs become one.
        std::vector<QRect> rects;
        const Band* above = nullptr;
        size_t aboveStart = 0;
        for (int index : touched_) {
            const Band& b = bands_[size_t(index)];
            const bool same = above && above->bottom + 1 == b.top && above->runs.size() == b.runs.size() &&
                              std::equal(b.runs.begin(), b.runs.end(), above->runs.begin(),
                                         [](const Run& l, const Run& r) { return l.from == r.from && l.to == r.to; });
            if (same) {
                for (size_t i = aboveStart; i < rects.size(); ++i) rects[i].setBottom(b.bottom);
            } else {
                aboveStart = rects.size();
                for (const Run& r : b.runs) rects.emplace_back(QPoint(r.from, b.top), QPoint(r.to, b.bottom));
            }
            above = &b;
        }
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
