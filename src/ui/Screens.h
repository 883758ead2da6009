#pragma once
#include <QPointF>
#include <QRect>

class QScreen;
class QWidget;

// Where Qt's logical pixels lie in the X server's device pixels. Qt keeps a screen's top-left
// where the server has it and divides only its size by the device pixel ratio: two monitors side
// by side at a ratio of 2 are 0,0 512x384 and 1024,0 512x384 in logical pixels.
namespace screens {

// The screen's area in device pixels.
QRect deviceGeometry(const QScreen& screen);

// A window's area in device pixels, through the screen Qt has it on.
QRect deviceGeometry(const QWidget& window);

// The logical position of a device pixel: through the screen that holds it, or the primary
// screen when none does; the device pixel itself when there is no screen.
QPointF logicalFromDevice(QPoint device);

}  // namespace screens
