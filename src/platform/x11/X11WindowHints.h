#pragma once
#include "platform/WindowHints.h"
#include "platform/x11/X11Connection.h"

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <vector>

namespace platform::x11 {

// Window-manager hints through EWMH properties and messages.
class X11WindowHints final : public WindowHints, private QAbstractNativeEventFilter {
public:
    explicit X11WindowHints(Connection x) : x_(x) {}
    ~X11WindowHints() override;
    void keepOnTop(QWidget& window) override;
    bool hasOnTopBand() override { return !x_.managerRuns() || x_.managerSupports("_NET_WM_STATE_ABOVE"); }
    bool keepsAboveFullScreenByOwner() override { return !hasOnTopBand() || x_.managerName() == "Fluxbox"; }
    bool setMinimizable(QWidget& window, bool minimizable) override;
    FrameExtents frameExtents(QWidget& window) override;
    void watchFrame(QWidget& window, std::function<void()> changed) override;
    std::optional<QPoint> clientPosition(QWidget& window) override;
    bool confirmGeometry(QWidget& window, const QRect& device) override;
    void askSize(QWidget& window, QSize device) override;
    void setOwner(QWidget& window, QWidget* owner) override;
    void giveKeys(QWidget& window, unsigned long userTime) override;
    bool isManaged(QWidget& window) override;
    void liftAboveDocks(QWidget& window, bool lifted) override;
    void fullScreenOn(QWidget& window, const QRect& monitor) override;
    void withdraw(QWidget& window) override;
    void minimize(QWidget& window) override;
    void restore(QWidget& window) override;
    bool isMinimized(QWidget& window) override;

private:
    void giveKeysSoon(QPointer<QWidget> window, xcb_timestamp_t userTime, int tries);
    // Whether the manager takes the minimise action away by the Motif hints alone.
    bool followsMotifMinimise();
    // The frame round a window the manager has reparented, from the windows' geometry.
    std::optional<FrameExtents> measuredFrame(xcb_window_t window);

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

    struct FrameWatch {
        QPointer<QWidget> window;
        std::function<void()> changed;
    };
    Connection x_;
    std::vector<FrameWatch> frameWatches_;
    xcb_atom_t frameAtom_ = XCB_ATOM_NONE;
    std::chrono::milliseconds requestBudget_{100};
    bool managerAnswers_ = false;
    // Asks the window to minimise again a moment later while the manager shows it, `tries` times
    // at most, unless the program has withdrawn, restored or hinted it since.
    void minimizeAgainLater(QWidget& window, int tries);
    unsigned changes_ = 0;  // counts those withdrawals, restores and hints
};

}  // namespace platform::x11
