#pragma once
#include "platform/ScreenCapture.h"
#include "platform/x11/X11Connection.h"

namespace platform::x11 {

// The root window's pixels, read over a connection of the capture's own so that megabytes of
// pixels do not pass through Qt's.
class X11ScreenCapture final : public ScreenCapture {
public:
    explicit X11ScreenCapture(Connection x) : x_(x) {}
    ~X11ScreenCapture() override;
    void waitUntilGone(QWidget& window) override;
    QImage grab(const QRect& area) override;

private:
    Connection x_;
    xcb_connection_t* own_ = nullptr;
};

}  // namespace platform::x11
