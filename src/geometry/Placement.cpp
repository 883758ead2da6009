#include "geometry/Placement.h"

#include <cmath>

#include "geometry/Twips.h"

#include <algorithm>

namespace geometry {

int16_t toolbarHeightFor(int captionPixels, double devicePixelRatio) {
    // A caption is never negative nor thousands of pixels high; the sum stays in 16 bits.
    const int h = std::clamp(captionPixels, 0, 2000);
    return int16_t(roundHalfEven(deviceToTwips(h, devicePixelRatio)) + kToolbarClientTwips);
}

int captionPixels(int frameTop, int frameSide) { return std::max(0, frameTop - std::max(0, frameSide)); }

QPoint reachablePosition(const QRect& frame, int caption, const QList<QRect>& screens, const QRect& primary) {
    const QRect grip(frame.topLeft(), QSize(frame.width(), std::min(frame.height(), caption > 0 ? caption : 20)));
    const int needW = std::min(grip.width(), 16), needH = std::min(grip.height(), 8);
    for (const QRect& s : screens) {
        const QRect common = s.intersected(grip);
        if (common.width() >= needW && common.height() >= needH) return frame.topLeft();
    }
    const int x = std::clamp(frame.x(), primary.left(), std::max(primary.left(), primary.right() - frame.width() + 1));
    const int y = std::clamp(frame.y(), primary.top(), std::max(primary.top(), primary.bottom() - frame.height() + 1));
    return {x, y};
}

int panelClientHeight(int outerHeightTwips, int frameTopAndBottom, int hiddenFromPx, double devicePixelRatio) {
    const int h = twipsToPixels(outerHeightTwips - deviceToTwips(frameTopAndBottom, devicePixelRatio));
    return std::max(1, std::min(h, hiddenFromPx));
}

QPoint placementCorrection(QPointF wanted, QPointF observed) {
    auto beyond = [](double d) { return std::abs(d) > 0.5 + 1e-6 ? int(std::lround(d)) : 0; };
    return {beyond(wanted.x() - observed.x()), beyond(wanted.y() - observed.y())};
}

QPoint centred(const QSize& outer, const QRect& area) {
    return {area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2};
}

}  // namespace geometry
