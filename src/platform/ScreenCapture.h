#pragma once
#include <QImage>
#include <QRect>

class QWidget;

namespace platform {

// The pixels on the screen.
class ScreenCapture {
public:
    virtual ~ScreenCapture() = default;
    // Returns once the hidden window is off the screen and the windows it uncovered have had a
    // moment to repaint, so that a capture no longer shows it.
    virtual void waitUntilGone(QWidget& window) = 0;
    // A pixel-exact RGB32 copy of this area of the screen, in device pixels.
    virtual QImage grab(const QRect& area) = 0;
};

}  // namespace platform
