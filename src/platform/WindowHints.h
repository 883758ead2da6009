#pragma once
#include <QPoint>

#include <optional>

class QWidget;

namespace platform {

// Device pixels the window manager adds round a window.
struct FrameExtents {
    int left = 0, right = 0, top = 0, bottom = 0;
};

// What the program asks of the window manager beyond what Qt does portably.
class WindowHints {
public:
    virtual ~WindowHints() = default;

    // Puts the window into the always-on-top band without moving or resizing it.
    virtual void keepOnTop(QWidget& window) = 0;
    // Gives the window its minimise action, or takes it away.
    virtual void setMinimizable(QWidget& window, bool minimizable) = 0;
    // The frame round this window, asked for before the first map when needed; zero where no
    // window manager decorates it.
    virtual FrameExtents frameExtents(QWidget& window) = 0;
    // The window's client area on the desktop, top-left in device pixels, as the windowing
    // system has it; nothing where that cannot be asked.
    virtual std::optional<QPoint> clientPosition(QWidget&) { return std::nullopt; }
    // Keeps `window` stacked above `owner`, as a dialog above its window.
    virtual void setOwner(QWidget& window, QWidget& owner) = 0;
    virtual void minimize(QWidget& window) = 0;
    virtual void restore(QWidget& window) = 0;
    virtual bool isMinimized(QWidget& window) = 0;
};

}  // namespace platform
