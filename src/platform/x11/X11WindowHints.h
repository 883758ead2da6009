#pragma once
#include "platform/WindowHints.h"
#include "platform/x11/X11Connection.h"

namespace platform::x11 {

// Window-manager hints through EWMH properties and messages.
class X11WindowHints final : public WindowHints {
public:
    explicit X11WindowHints(Connection x) : x_(x) {}
    void keepOnTop(QWidget& window) override;
    void setMinimizable(QWidget& window, bool minimizable) override;
    FrameExtents frameExtents(QWidget& window) override;
    std::optional<QPoint> clientPosition(QWidget& window) override;
    void setOwner(QWidget& window, QWidget& owner) override;
    void minimize(QWidget& window) override;
    void restore(QWidget& window) override;
    bool isMinimized(QWidget& window) override;

private:
    Connection x_;
};

}  // namespace platform::x11
