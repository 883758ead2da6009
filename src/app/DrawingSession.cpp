#include "app/DrawingSession.h"

#include "geometry/Twips.h"
#include "platform/ScreenCapture.h"
#include "platform/WindowHints.h"
#include "ui/CanvasWindow.h"
#include "ui/Screens.h"
#include "ui/ToolbarWindow.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QScreen>

namespace {

// QT_LOGGING_RULES="slateboard.capture.debug=true" prints how long each reading of the screen took.
Q_LOGGING_CATEGORY(captureLog, "slateboard.capture", QtWarningMsg)

QElapsedTimer startedClock() {
    QElapsedTimer t;
    t.start();
    return t;
}

}  // namespace

DrawingSession::DrawingSession(ToolbarWindow& toolbar, platform::WindowHints& hints, platform::ScreenCapture& capture,
                               Gestures::ToolMaker makeTool, platform::DirectWindows* direct)
    : toolbar_(toolbar), hints_(hints), capture_(capture), direct_(direct), makeTool_(std::move(makeTool)) {}

DrawingSession::~DrawingSession() = default;

void DrawingSession::enter(Enter reason) {
    if (capturing_) return;
    const bool restore = reason == Enter::HotKeyRestore || reason == Enter::HotKeyRestoreFullSize;
    const bool actionFirst = reason != Enter::HotKey && reason != Enter::Countdown;
    emit activeChanged(true);
    if (restore) hints_.restore(toolbar_);
    if (actionFirst) toolbar_.allowMinimise(false);
    if (reason == Enter::HotKeyRestoreFullSize) toolbar_.restoreStandardSize();
    if (showCanvas()) return;  // takes the action away after the screen is read, if not done already
    // No picture: back in normal mode, with the toolbar where it was.
    emit activeChanged(false);
    toolbar_.allowMinimise(true);
    toolbar_.show();
    toolbar_.takeKeys();
    emit captureFailed(capture_.failure());
}

void DrawingSession::leave(Leave reason, bool minimiseToolbar) {
    if (capturing_ && reason != Leave::Exit) return;
    emit activeChanged(false);
    if (reason == Leave::Button) toolbar_.allowMinimise(true);
    dropCanvas();
    if (reason == Leave::HotKey || reason == Leave::DoubleClick)
        toolbar_.allowMinimise(true, minimiseToolbar);
    else if (minimiseToolbar)
        hints_.minimize(toolbar_);
    // Left by its button or on the canvas, the toolbar keeps the keys it had, whichever window
    // the manager focuses when the canvas goes (i3).
    if (!minimiseToolbar && (reason == Leave::Button || reason == Leave::DoubleClick)) toolbar_.takeKeys();
}

void DrawingSession::toggle() {
    if (capturing_) return;
    if (active())
        leave(Leave::HotKey);
    else
        enter(Enter::HotKey);
}

// The toolbar leaves the screen, the screen is read, and the canvas comes up holding the copy
// with the toolbar back above it at its place. False when the screen could not be read.
bool DrawingSession::showCanvas() {
    const int32_t top = int32_t(geometry::roundHalfEven(toolbar_.top()));
    const int32_t left = int32_t(geometry::roundHalfEven(toolbar_.left()));
    dropCanvas();
    capturing_ = true;
    const QElapsedTimer clock = startedClock();
    capture_.hide(toolbar_);
    // The canvas covers the primary monitor, the one a presenter shows; the others stay live.
    QScreen* screen = QGuiApplication::primaryScreen();
    QImage desktop = capture_.grab(screens::deviceGeometry(*screen));
    capturing_ = false;
    qCDebug(captureLog) << "screen read in" << clock.nsecsElapsed() / 1e6 << "ms," << desktop.size();
    if (desktop.isNull()) {
        toolbar_.moveFrameTo(top, left);
        return false;
    }
    // Several window managers read the minimise action only when the window is mapped.
    toolbar_.allowMinimise(false);
    canvas_.reset(new CanvasWindow(*screen, std::move(desktop), makeTool_, direct_));  // drawn on in place, not copied
    connect(canvas_.get(), &CanvasWindow::leaveRequested, this, &DrawingSession::leaveRequested);
    // Where the desktop gives the keys to the window clicked (Wayland), the canvas passes them on.
    passKeysTo(keysTo_);
    connect(canvas_.get(), &CanvasWindow::toolbarWanted, &toolbar_, [this](bool raise, unsigned long time) {
        if (raise) toolbar_.show();
        toolbar_.takeKeys(time);
    });
    hints_.fullScreenOn(*canvas_, screens::deviceGeometry(*screen));
    hints_.liftAboveDocks(*canvas_, true);
    canvas_->show();
    hints_.fullScreenOn(*canvas_, screens::deviceGeometry(*screen));
    toolbar_.moveFrameTo(top, left);
    toolbar_.stayAbove(canvas_.get());
    toolbar_.show();
    toolbar_.takeKeys();
    return true;
}

void DrawingSession::passKeysTo(QWidget* target) {
    keysTo_ = target;
    if (canvas_) canvas_->passKeysTo(target ? target : toolbar_.focusProxy());
}

void DrawingSession::dropCanvas() { canvas_.reset(); }
