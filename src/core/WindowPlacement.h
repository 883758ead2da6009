#pragma once
#include <QList>
#include <QPoint>
#include <QRect>

#include <cstdint>

class App;

// Keeping the toolbar window placed: on top, with or without its minimise box, at its height.
void KeepToolbarOnTop(App& app);
void DisableMinimizeBox(App& app);
void EnableMinimizeBox(App& app);  // also keeps the toolbar on top
void ComputeToolbarHeight(App& app);

namespace placement {

inline constexpr int kToolbarWidthTwips = 1335;

// The toolbar's outer height in twips for a window-manager caption of this many device pixels:
// the caption in twips (15 per logical pixel, so 7.5 per device pixel at a ratio of 2,
// rounded half to even) plus 480 twips for the toolbar itself.
int16_t toolbarHeightFor(int captionPixels, double devicePixelRatio = 1.0);

// The caption height in device pixels from the frame the window manager puts around a window:
// the top of the frame without the border that runs around the window's sides.
int captionPixels(int frameTop, int frameSide);

// Where a window frame at `frame` should go so the user can reach it: unchanged when a large
// enough part of it lies on one of `screens`, otherwise the nearest place inside `primary`.
QPoint reachablePosition(const QRect& frame, const QList<QRect>& screens, const QRect& primary);

}  // namespace placement
