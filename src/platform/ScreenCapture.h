#pragma once
#include <QImage>
#include <QRect>
#include <QString>

class QWidget;

namespace platform {

// The pixels on the screen.
class ScreenCapture {
public:
    virtual ~ScreenCapture() = default;
    // Hides the window and returns once the screen no longer shows it: its frame is unmapped
    // and what it uncovered is repainted (by the windows beneath or by a compositing manager,
    // which may fade it out first), so that a capture taken next shows no trace of it.
    virtual void hide(QWidget& window) = 0;
    // A pixel-exact RGB32 copy of this area of the screen, in device pixels; a null image when
    // the desktop gives none, and failure() says why.
    virtual QImage grab(const QRect& area) = 0;
    virtual QString failure() const { return {}; }
};

}  // namespace platform
