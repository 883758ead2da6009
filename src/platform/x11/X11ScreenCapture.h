#pragma once
#include "platform/ScreenCapture.h"
#include "platform/x11/X11Connection.h"

#include <chrono>

namespace platform::x11 {

// The root window's pixels, read over a connection of the capture's own so that megabytes of
// pixels do not pass through Qt's.
class X11ScreenCapture final : public ScreenCapture {
public:
    explicit X11ScreenCapture(Connection x) : x_(x) {}
    ~X11ScreenCapture() override;
    void hide(QWidget& window) override;
    QImage grab(const QRect& area) override;

private:
    // The capture's own connection, made on first use; Qt's if it cannot be made.
    xcb_connection_t* connection();
    // Returns once nothing was drawn over `area` of the screen for `quiet`, or at `deadline`.
    void waitForQuiet(xcb_connection_t* c, uint32_t damage, const QRect& area, std::chrono::milliseconds quiet,
                      std::chrono::steady_clock::time_point deadline);

    static QImage grabShared(xcb_connection_t* c, xcb_window_t root, const QRect& area);

    Connection x_;
    xcb_connection_t* own_ = nullptr;
    bool damageReady_ = false;
};

}  // namespace platform::x11
