#pragma once
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <functional>
#include <optional>


namespace platform {

// Device pixels the window manager adds round a window.
struct FrameExtents {
    int left = 0, right = 0, top = 0, bottom = 0;
    bool operator==(const FrameExtents&) const = default;
};

// What the program asks of the window manager beyond what Qt does portably.
class WindowHints {
public:
    virtual ~WindowHints() = default;

    // Puts the window into the always-on-top band without moving or resizing it.
    virtual void keepOnTop(QWidget& window) = 0;
    // Whether the window manager has that band; tiling managers (i3) have none.
    virtual bool hasOnTopBand() { return true; }
    // Whether a window is kept above a full-screen one only as its transient: where there is no
    // such band (i3), and where a full-screen window comes above the docks only while the focus
    // is on it or its transients (fluxbox).
    virtual bool keepsAboveFullScreenByOwner() { return !hasOnTopBand(); }
    // Gives the window its minimise action, or takes it away. False when the action is given
    // back to a shown window and its manager did not take it: such managers read it when the
    // window is mapped.
    virtual bool setMinimizable(QWidget& window, bool minimizable) = 0;
    // The frame round this window, asked for before the first map when needed; zero where no
    // window manager decorates it.
    virtual FrameExtents frameExtents(QWidget& window) = 0;
    // Calls `changed` each time the manager gives the shown window another frame: some frame a
    // window once as they map it and again once they have read its hints (icewm, for a window
    // that cannot be resized). Where no frame is ever told, never.
    virtual void watchFrame(QWidget& window, std::function<void()> changed) { (void)window, (void)changed; }
    // The window's client area on the desktop, top-left in device pixels, as the windowing
    // system has it; nothing where that cannot be asked.
    virtual std::optional<QPoint> clientPosition(QWidget&) { return std::nullopt; }
    // Whether the windowing system has the window's client area where Qt has it (device pixels);
    // if not, it is asked for again: a manager busy mapping a window may drop a request.
    virtual bool confirmGeometry(QWidget& window, const QRect& device) { return (void)window, (void)device, true; }
    // Asks for this client size (device pixels) of a shown window and leaves its place alone:
    // Qt's own resize sends its idea of the place too, stale while a manager frames the window.
    virtual void askSize(QWidget& window, QSize device) { window.resize(device / window.devicePixelRatioF()); }
    // Keeps a shown `window` stacked above `owner`, as a dialog above its window; nullptr ends it.
    virtual void setOwner(QWidget& window, QWidget* owner) = 0;
    // Gives the window the keyboard without asking the manager to activate it: an activation
    // would end the full screen of the canvas under it on some managers (i3). A window just
    // shown gets it once the manager has mapped it. userTime: the display's time of the user's
    // action that asks for it (a press), so that a later activation by the manager still wins;
    // kNow where none does.
    static constexpr unsigned long kNow = 0;
    virtual void giveKeys(QWidget& window, unsigned long userTime) { (void)userTime, window.activateWindow(); }
    // Whether the window manager has taken the shown window in (it places and frames it then);
    // true where no manager runs.
    virtual bool isManaged(QWidget&) { return true; }
    // Lifts a window over the desktop's docks and panels, or lets it down to its own layer again,
    // where the manager keeps a full-screen window over them only while it has the focus (icewm):
    // for the canvas, which never takes the focus, and the toolbar above it.
    virtual void liftAboveDocks(QWidget& window, bool lifted) { (void)window, (void)lifted; }
    // Asks that a full-screen window cover this monitor (device pixels) where there are several.
    virtual void fullScreenOn(QWidget&, const QRect&) {}
    // Hides the window and returns once the manager has let it go, so that it may be shown
    // again at once (a manager that sees the map before the unmap keeps it hidden).
    virtual void withdraw(QWidget& window) { window.hide(); }
    virtual void minimize(QWidget& window) = 0;
    virtual void restore(QWidget& window) = 0;
    virtual bool isMinimized(QWidget& window) = 0;
};

}  // namespace platform
