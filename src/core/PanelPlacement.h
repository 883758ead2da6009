#pragma once
#include "platform/Desktop.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

class App;
class QWidget;

// Size and place of the two panels (help and settings). Their heights are given in twips as
// outer heights, frame included; their widths are those of their designed client areas.
namespace panels {

// A window with a title and a close button only (the minimise action is taken away when it is
// shown), kept above other windows and owned by the toolbar so that it never disappears
// behind the canvas. Not a tool window: those are transient for the whole application, and
// window managers stack such a window under the canvas once the canvas is clicked.
inline constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint |
                                                Qt::WindowStaysOnTopHint;

// Client height in logical pixels for an outer height in twips: the frame the window manager
// adds (device pixels, `devicePixelRatio` of them per logical pixel) is taken off, and the
// client never reaches down to `hiddenFromPx`, the top of the panel's key box, which must stay
// below the visible part even where no frame is known. At least 1.
int clientHeight(int outerHeightTwips, const platform::FrameExtents& frame, int hiddenFromPx,
                 double devicePixelRatio = 1.0);

// Top-left of a frame of size `outer` centred in `area`.
QPoint centred(const QSize& outer, const QRect& area);

// Fixes the panel's client size (the width given, the height by clientHeight) and places its
// frame in the middle of the available area of the toolbar's screen (the primary screen when
// there is no toolbar). For a panel that has not been shown yet.
void sizeAndCentre(App& app, QWidget& panel, int clientWidthPx, int outerHeightTwips, int hiddenFromPx);

// Shows the panel modelessly in front of the toolbar, without a minimise action, and active.
void show(App& app, QWidget& panel);

}  // namespace panels
