#pragma once
#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

#include <cstdint>

// Where the program's windows go and how big they are.
namespace geometry {

inline constexpr int kToolbarWidthTwips = 1335;
inline constexpr int kToolbarClientTwips = 480;

// The toolbar's outer height in twips for a window-manager caption of this many device pixels:
// the caption in twips (15 per logical pixel, so 7.5 per device pixel at a ratio of 2, rounded
// half to even) plus 480 twips for the toolbar itself.
int16_t toolbarHeightFor(int captionPixels, double devicePixelRatio = 1.0);

// The caption's height in device pixels from the window manager's frame: its top less the
// border that runs round the window's sides.
int captionPixels(int frameTop, int frameSide);

// Where a window frame at `frame` should go so that the user can grab it by its caption, the
// frame's top `caption` rows (the top 20 when no caption is known): unchanged while a piece of
// the caption at least 16 pixels across and 8 down (or all of a smaller one) lies on one of
// `screens`, however far out the rest lies; otherwise the nearest place inside `primary`.
QPoint reachablePosition(const QRect& frame, int caption, const QList<QRect>& screens, const QRect& primary);

// A panel's client height in logical pixels for an outer height in twips: the frame's top and
// bottom (device pixels) taken off, never reaching down to `hiddenFromPx`, where the panel's
// key box must stay out of sight even when no frame is known. At least 1.
int panelClientHeight(int outerHeightTwips, int frameTopAndBottom, int hiddenFromPx, double devicePixelRatio = 1.0);

// How far to move a window whose frame the manager put at `observed` (logical pixels) so that it
// is at `wanted`, to the nearest pixel; nothing while within half a logical pixel, which whole
// logical pixels and frames of an odd number of device pixels cannot do better than.
QPoint placementCorrection(QPointF wanted, QPointF observed);

// Top-left of a frame of size `outer` centred in `area`.
QPoint centred(const QSize& outer, const QRect& area);

}  // namespace geometry
