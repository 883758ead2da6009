#pragma once
#include "platform/WindowHints.h"
#include "platform/x11/X11Connection.h"

#include <QPointer>
#include <QWidget>

#include <chrono>

namespace platform::x11 {

// Window-manager hints through EWMH properties and messages.
class X11WindowHints final : public WindowHints {
public:
    explicit X11WindowHints(Connection x) : x_(x) {}
    void keepOnTop(QWidget& window) override;
    bool hasOnTopBand() override { return !x_.managerRuns() || x_.managerSupports("_NET_WM_STATE_ABOVE"); }
    bool keepsAboveFullScreenByOwner() override { return !hasOnTopBand() || x_.managerName() == "Fluxbox"; }
    bool setMinimizable(QWidget& window, bool minimizable) override;
    FrameExtents frameExtents(QWidget& window) override;
    std::optional<QPoint> clientPosition(QWidget& window) override;
    void setOwner(QWidget& window, QWidget* owner) override;
    void giveKeys(QWidget& window) override;
    bool isManaged(QWidget& window) override;
    void fullScreenOn(QWidget& window, const QRect& monitor) override;
    void withdraw(QWidget& window) override;
    void minimize(QWidget& window) override;
    void restore(QWidget& window) override;
    bool isMinimized(QWidget& window) override;

private:
    void giveKeysSoon(QPointer<QWidget> window, int tries);
    // Whether the manager takes the minimise action away by the Motif hints alone.
    bool followsMotifMinimise();
    // The frame round a window the manager has reparented, from the windows' geometry.
    std::optional<FrameExtents> measuredFrame(xcb_window_t window);

    Connection x_;
    std::chrono::milliseconds requestBudget_{100};
    bool managerAnswers_ = false;
};

}  // namespace platform::x11
