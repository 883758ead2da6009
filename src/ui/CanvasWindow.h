#pragma once
#include "platform/DirectWindow.h"
#include "render/Surface.h"
#include "tools/DoubleClick.h"
#include "tools/Gestures.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QScreen;

// The canvas: a borderless window over the whole of one monitor showing the desktop as it was
// when drawing mode began, painted one to one in device pixels, on which the pointer draws.
class CanvasWindow final : public QWidget {
    Q_OBJECT
public:
    // `desktop` is the monitor's device pixels, shown with its corners marked; the canvas draws
    // on them in place when it holds the only reference. With `direct`, its pixels and pointer
    // bypass the toolkit.
    CanvasWindow(QScreen& screen, QImage desktop, Gestures::ToolMaker makeTool,
                 platform::DirectWindows* direct = nullptr);
    ~CanvasWindow() override;

    const Surface& surface() const { return surface_; }
    // Keys that reach the canvas go on to this widget: the canvas never asks for the keys, but
    // some desktops (Wayland's) give them to the window last clicked.
    void passKeysTo(QWidget* target) { keysTo_ = target; }

signals:
    // After a press the toolbar must come back in front and active (raise) or only be active;
    // time: the press's, the display's clock.
    void toolbarWanted(bool raise, unsigned long time);
    // A double-click with the left button.
    void leaveRequested();

protected:
    void paintEvent(QPaintEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    void press(Qt::MouseButton button, Qt::MouseButtons held, geometry::TwipPoint at, unsigned long time);
    void doubleClick(Qt::MouseButton button, Qt::MouseButtons held, geometry::TwipPoint at, unsigned long time);
    void pointer(const platform::PointerEvent& e);
    geometry::TwipPoint twipsAt(QPointF devicePixels) const;
    void move(geometry::TwipPoint to, Qt::MouseButtons held);
    void showMovesSoon();
    void showMoves();
    // Where the pointer is, with the moves on the way where the gesture counts them.
    std::optional<platform::PointerPath> pointerPath();
    void repaintDirty();
    void afterGesture();

    const qreal ratio_;
    Surface surface_;
    Gestures gestures_;
    QPointer<QWidget> keysTo_;
    DoubleClick clicks_;
    // The screen follows the pointer once a refresh: a move a refresh or more after the last one
    // shown is shown at once, a sooner one at the next refresh with all that came meanwhile. A
    // band is drawn then, free-hand ink at once and put on the screen then. While a band is
    // dragged, the direct window asks the display where the pointer is at each refresh instead.
    const int refreshMs_;
    bool everyMove_ = true;
    QElapsedTimer sinceShown_;
    QTimer nextRefresh_;
    std::unique_ptr<platform::DirectWindow> direct_;  // last: it shows the surface's image
};
