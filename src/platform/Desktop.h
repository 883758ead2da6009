#pragma once
#include <QImage>
#include <QRect>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

// What the program needs from the desktop beyond what Qt does portably. The X11
// implementation is what users run; tests use a fake.
namespace platform {

struct FrameExtents {
    int left = 0, right = 0, top = 0, bottom = 0;  // device pixels the window manager adds around a window
};

class Desktop {
public:
    virtual ~Desktop() = default;

    // True when another instance of the program already runs for this user and display.
    // The first call claims the instance for this process.
    virtual bool prevInstance() = 0;

    // Puts the window into the always-on-top band without moving or resizing it.
    virtual void keepOnTop(QWidget& window) = 0;

    // Adds or removes the window's minimise action.
    virtual void setMinimizeBox(QWidget& window, bool present) = 0;

    // The frame the window manager puts around this window, asked for before the first map
    // when needed. Zero extents where no window manager decorates it.
    virtual FrameExtents frameExtents(QWidget& window) = 0;

    // Where the window's client area is on the desktop, top-left in device pixels, as the
    // windowing system has it (Qt's own idea can lag behind or be converted with the wrong screen's
    // origin). Nothing where that cannot be asked.
    virtual std::optional<QPoint> clientPosition(QWidget&) { return std::nullopt; }

    // Returns once the hidden window is off the screen and the windows it uncovered have had
    // a moment to repaint, so that a capture no longer shows it.
    virtual void waitUntilGone(QWidget& window) = 0;

    // A pixel-exact copy of this area of the screen, in device pixels.
    virtual QImage capture(const QRect& area) = 0;

    // Keeps `window` stacked above `owner` (a window that belongs to it, like a dialog).
    virtual void setOwner(QWidget& window, QWidget& owner) = 0;

    // Minimises the window, restores it, and tells whether it is minimised.
    virtual void minimize(QWidget& window) = 0;
    virtual void restore(QWidget& window) = 0;
    virtual bool isMinimized(QWidget& window) = 0;

    // A system-wide key: from now on the combination (modifiers 2 = Ctrl, key a virtual-key
    // code), pressed in any application and whatever the lock keys, calls the hot-key handler
    // with `id` instead of reaching the focused application. False when another client holds
    // the combination, then nothing is registered.
    virtual bool registerHotKey(int id, int modifiers, int virtualKey) = 0;
    virtual void unregisterHotKey(int id) = 0;
    void setHotKeyHandler(std::function<void(int id)> handler) { hotKeyHandler_ = std::move(handler); }

protected:
    void hotKeyPressed(int id) {
        if (hotKeyHandler_) hotKeyHandler_(id);
    }

private:
    std::function<void(int)> hotKeyHandler_;
};

// The desktop of the running session: X11 when Qt runs on xcb, otherwise a plain
// fallback that does what Qt alone can (used under the offscreen platform).
std::unique_ptr<Desktop> createDesktop();

}  // namespace platform
