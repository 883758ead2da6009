#pragma once
#include <QImage>
#include <QPointF>
#include <QRegion>
#include <Qt>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace platform {

// A press, move or release of the pointer over a direct window, in the window's device pixels.
struct PointerEvent {
    // Moved: the pointer moved, and where it went waits in the display's record for pointerPath().
    enum class Kind { Press, Move, Moved, Release };
    Kind kind;
    Qt::MouseButton button;  // the one pressed or released; none for a move
    Qt::MouseButtons held;   // every button down after the event
    QPointF at;
    unsigned long time;  // milliseconds, the display's clock
    // For a release: the moves the display kept back before it, oldest first.
    std::vector<QPointF> path;
};

// The moves the display kept back, oldest first (none where it keeps no record of them), then
// where the pointer is now, which may lie beyond the window, with the buttons down now.
struct PointerPath {
    std::vector<QPointF> moves;
    QPointF now;
    Qt::MouseButtons held;
};

// A window whose pixels and pointer bypass the toolkit: the pixels of an image go to the screen
// as they change, and the pointer's events come straight from the display. Dragging a shape
// over a 4K screen then costs the pixels that changed and the event, not a repaint of the
// toolkit's copy of the window and the trip of each event through its threads.
class DirectWindow {
public:
    using Pointer = std::function<void(const PointerEvent&)>;
    virtual ~DirectWindow() = default;
    // These device pixels of the image changed: the window shows them.
    virtual void show(const QRegion& pixels) = 0;
    // Whether moves with no button down are reported.
    virtual void setTracking(bool on) = 0;
    // Whether every move is reported (the default), or only the first after the last
    // pointerPath(): the display then keeps the rest to itself, and a window that follows the
    // pointer once a refresh costs it one event a refresh instead of one a move. Where the
    // display keeps a record of the moves (keepsMoves()), moves then come as Moved, and
    // pointerPath(true) and the release give them all.
    virtual void setEveryMove(bool on) = 0;
    virtual bool keepsMoves() const = 0;
    // Where the pointer is now, and with `moves`, where it went over the window since the last
    // place given (by an event or a path); nothing when the display cannot say. Without the
    // moves the display is asked one thing instead of two.
    virtual std::optional<PointerPath> pointerPath(bool moves) = 0;
};

// Where the display offers direct windows (X11).
class DirectWindows {
public:
    virtual ~DirectWindows() = default;
    // Covers `window` with a direct window showing `image` (RGB32, the window's size in device
    // pixels), which must outlive it and keep its memory. nullptr where it cannot be done: the
    // toolkit then paints the window and delivers its pointer.
    virtual std::unique_ptr<DirectWindow> attach(QWidget& window, const QImage& image, DirectWindow::Pointer pointer) = 0;
};

}  // namespace platform
