#include "app/DrawingSession.h"

#include "geometry/Twips.h"
#include "platform/ScreenCapture.h"
#include "platform/WindowHints.h"
#include "ui/CanvasWindow.h"
#include "ui/Screens.h"
#include "ui/ToolbarWindow.h"

#include <QGuiApplication>
#include <QScreen>

DrawingSession::DrawingSession(ToolbarWindow& toolbar, platform::WindowHints& hints, platform::ScreenCapture& capture,
                               Gestures::ToolMaker makeTool)
    : toolbar_(toolbar), hints_(hints), capture_(capture), makeTool_(std::move(makeTool)) {}

DrawingSession::~DrawingSession() = default;

void DrawingSession::enter(Enter reason) {
    const bool restore = reason == Enter::HotKeyRestore || reason == Enter::HotKeyRestoreFullSize;
    const bool actionFirst = reason != Enter::HotKey && reason != Enter::Countdown;
    emit activeChanged(true);
    if (restore) hints_.restore(toolbar_);
    if (actionFirst) toolbar_.allowMinimise(false);
    if (reason == Enter::HotKeyRestoreFullSize) toolbar_.restoreStandardSize();
    showCanvas();  // takes the action away after the screen is read, if not done already
}

void DrawingSession::leave(Leave reason, bool minimiseToolbar) {
    emit activeChanged(false);
    if (reason == Leave::Button) toolbar_.allowMinimise(true);
    dropCanvas();
    if (reason == Leave::HotKey || reason == Leave::DoubleClick)
        toolbar_.allowMinimise(true, minimiseToolbar);
    else if (minimiseToolbar)
        hints_.minimize(toolbar_);
    // Left by its button, the toolbar keeps the keys the click gave it, whichever window the
    // manager focuses when the canvas goes (i3).
    else if (reason == Leave::Button)
        toolbar_.takeKeys();
}

void DrawingSession::toggle() {
    if (active())
        leave(Leave::HotKey);
    else
        enter(Enter::HotKey);
}

// The toolbar leaves the screen, the screen is read, and the canvas comes up holding the copy
// with the toolbar back above it at its place.
void DrawingSession::showCanvas() {
    const int32_t top = int32_t(geometry::roundHalfEven(toolbar_.top()));
    const int32_t left = int32_t(geometry::roundHalfEven(toolbar_.left()));
    dropCanvas();
    capture_.hide(toolbar_);
    // The canvas covers the primary monitor, the one a presenter shows; the others stay live.
    QScreen* screen = QGuiApplication::primaryScreen();
    QImage desktop = capture_.grab(screens::deviceGeometry(*screen));
    // Several window managers read the minimise action only when the window is mapped.
    toolbar_.allowMinimise(false);
    canvas_.reset(new CanvasWindow(*screen, std::move(desktop), makeTool_));  // drawn on in place, not copied
    connect(canvas_.get(), &CanvasWindow::leaveRequested, this, &DrawingSession::leaveRequested);
    connect(canvas_.get(), &CanvasWindow::toolbarWanted, &toolbar_, [this](bool raise) {
        if (raise) toolbar_.show();
        toolbar_.takeKeys();
    });
    hints_.fullScreenOn(*canvas_, screens::deviceGeometry(*screen));
    hints_.liftAboveDocks(*canvas_, true);
    canvas_->show();
    hints_.fullScreenOn(*canvas_, screens::deviceGeometry(*screen));
    toolbar_.moveFrameTo(top, left);
    toolbar_.stayAbove(canvas_.get());
    toolbar_.show();
    toolbar_.takeKeys();
}

void DrawingSession::dropCanvas() { canvas_.reset(); }
