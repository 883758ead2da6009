#include "core/WindowPlacement.h"

#include "app/App.h"
#include "core/Numeric.h"
#include "platform/Desktop.h"
#include "toolbar/frmToolBar.h"

#include <algorithm>

void KeepToolbarOnTop(App& app) { app.desktop.keepOnTop(app.toolBar()); }

void DisableMinimizeBox(App& app) { app.desktop.setMinimizeBox(app.toolBar(), false); }

void EnableMinimizeBox(App& app) {
    app.desktop.setMinimizeBox(app.toolBar(), true);
    KeepToolbarOnTop(app);
}

void ComputeToolbarHeight(App& app) {
    platform::FrameExtents f = app.desktop.frameExtents(app.toolBar());
    app.m.toolbarHeight =
        placement::toolbarHeightFor(placement::captionPixels(f.top, f.left), app.toolBar().devicePixelRatioF());
}

namespace placement {

int16_t toolbarHeightFor(int captionPixels, double devicePixelRatio) {
    // A caption is never negative nor thousands of pixels high; keep the sum in 16 bits.
    int h = std::clamp(captionPixels, 0, 2000);
    double caption = numeric::roundHalfEven(numeric::deviceToTwips(h, devicePixelRatio));
    return static_cast<int16_t>(caption + 480);
}

int captionPixels(int frameTop, int frameSide) { return std::max(0, frameTop - std::max(0, frameSide)); }

QPoint reachablePosition(const QRect& frame, const QList<QRect>& screens, const QRect& primary) {
    // Enough to grab the caption with the pointer.
    const int needW = std::min(frame.width(), 40), needH = std::min(frame.height(), 20);
    for (const QRect& s : screens) {
        QRect common = s.intersected(frame);
        if (common.width() >= needW && common.height() >= needH) return frame.topLeft();
    }
    int x = std::clamp(frame.x(), primary.left(), std::max(primary.left(), primary.right() - frame.width() + 1));
    int y = std::clamp(frame.y(), primary.top(), std::max(primary.top(), primary.bottom() - frame.height() + 1));
    return {x, y};
}

}  // namespace placement
