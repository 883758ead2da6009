#include "ui/CanvasWindow.h"

#include "render/CornerMarks.h"
#include "ui/Screens.h"

#include <QGuiApplication>
#include <QStyleHints>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace {

// The canvas is a top-level window, so the event's position in the window is its position on
// the canvas. Qt rounds position() to whole logical pixels, which at a device pixel ratio of 2
// would put every odd device pixel on its even neighbour; the window position keeps the
// fraction, so the drawing lands on the device pixel under the pointer.
geometry::TwipPoint twipsOf(const QMouseEvent& e) {
    const QPointF p = e.scenePosition() * double(geometry::kTwipsPerPixel);
    return {float(p.x()), float(p.y())};
}

// The copy drawn on as it is when it has the monitor's size (no second screen-sized image to
// allocate and fill), else put on a black one of that size.
QImage fitted(QImage desktop, QSize size) {
    if (desktop.size() == size && desktop.format() == QImage::Format_RGB32) return desktop;
    Surface black(size, 1);
    black.setImage(desktop);
    return black.image();
}

// Milliseconds between two pictures of the screen, whole and at least 4 (a screen that says
// nothing of its rate is taken as 60 Hz).
int refreshMs(const QScreen& screen) {
    const qreal hz = screen.refreshRate();
    return hz >= 30 && hz <= 250 ? std::max(4, int(1000 / hz)) : 16;
}

}  // namespace

CanvasWindow::CanvasWindow(QScreen& screen, QImage desktop, Gestures::ToolMaker makeTool,
                           platform::DirectWindows* direct)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      ratio_(screen.devicePixelRatio()),
      surface_(fitted(std::move(desktop), screens::deviceGeometry(screen).size()), geometry::kTwipsPerPixel / ratio_),
      gestures_(surface_, std::move(makeTool)),
      clicks_(QGuiApplication::styleHints()->mouseDoubleClickInterval(),
              QGuiApplication::styleHints()->mouseDoubleClickDistance()),
      refreshMs_(refreshMs(screen)) {
    setWindowTitle(QStringLiteral("画面スクリーン"));
    // The canvas never takes the focus: the toolbar above it keeps the keys, and a focused
    // full-screen window would be raised over the always-on-top toolbar.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::CrossCursor);
    drawCornerMarks(surface_);
    surface_.takeDirty();
    setScreen(&screen);
    setGeometry(screen.geometry());
    setWindowState(Qt::WindowFullScreen);
    nextRefresh_.setSingleShot(true);
    nextRefresh_.setTimerType(Qt::PreciseTimer);
    connect(&nextRefresh_, &QTimer::timeout, this, &CanvasWindow::showMoves);
    if (direct) direct_ = direct->attach(*this, surface_.image(), [this](const platform::PointerEvent& e) { pointer(e); });
}

void CanvasWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // The first press commits the picture as it came: its copy is made before the user presses,
    // once the events of the canvas coming up are handled.
    QTimer::singleShot(0, this, [this] { surface_.commitAhead(); });
}

CanvasWindow::~CanvasWindow() = default;

void CanvasWindow::repaintDirty() {
    const QRegion dirty = surface_.takeDirty();
    if (dirty.isEmpty()) return;
    if (direct_) return direct_->show(dirty);
    if (ratio_ == 1) return update(dirty);
    // Device pixels to logical, rounded outwards.
    QRegion logical;
    for (const QRect& r : dirty) logical += QRectF(r.x() / ratio_, r.y() / ratio_, r.width() / ratio_, r.height() / ratio_).toAlignedRect();
    update(logical);
}

void CanvasWindow::paintEvent(QPaintEvent* e) {
    if (direct_) return;  // covered by the direct window
    QPainter p(this);
    // Strip by strip: the bounding rectangle of an outline's strips is most of the screen.
    for (const QRect& r : e->region()) {
        const QRectF device(r.x() * ratio_, r.y() * ratio_, r.width() * ratio_, r.height() * ratio_);
        p.drawImage(QRectF(r), surface_.image(), device);
    }
}

void CanvasWindow::mousePressEvent(QMouseEvent* e) { press(e->button(), e->buttons(), twipsOf(*e), e->timestamp()); }

void CanvasWindow::press(Qt::MouseButton button, Qt::MouseButtons held, geometry::TwipPoint at, unsigned long time) {
    const Gestures::AfterPress after = gestures_.press(button, held, at);
    // Where the display keeps a record of the moves, a drag reads them from it once a refresh.
    if (direct_ && everyMove_ && gestures_.open() && direct_->keepsMoves()) direct_->setEveryMove(everyMove_ = false);
    if (after != Gestures::AfterPress::Nothing) emit toolbarWanted(after == Gestures::AfterPress::ShowToolbar, time);
    afterGesture();
}

void CanvasWindow::mouseMoveEvent(QMouseEvent* e) { move(twipsOf(*e), e->buttons()); }

void CanvasWindow::move(geometry::TwipPoint to, Qt::MouseButtons held) {
    // A band waits for the refresh anyway (where the display keeps no record, press() did not ask).
    if (gestures_.moveLater(to, held) && direct_ && everyMove_) direct_->setEveryMove(everyMove_ = false);
    showMovesSoon();
}

void CanvasWindow::showMovesSoon() {
    if (!gestures_.open()) return afterGesture();  // its release was lost
    if (nextRefresh_.isActive()) return;
    const qint64 wait = sinceShown_.isValid() ? refreshMs_ - sinceShown_.elapsed() : 0;
    if (wait > 0) return nextRefresh_.start(int(wait));
    showMoves();
}

void CanvasWindow::showMoves() {
    if (!everyMove_ && gestures_.open() && !QGuiApplication::modalWindow())
        if (const auto path = pointerPath(); path && gestures_.heldIn(path->held)) {
            for (const QPointF& at : path->moves) gestures_.moveLater(twipsAt(at), path->held);
            clicks_.move(path->now / ratio_);
            if (path->moves.empty() || path->moves.back() != path->now) gestures_.moveLater(twipsAt(path->now), path->held);
        }
    gestures_.show();
    sinceShown_.start();
    afterGesture();
}

std::optional<platform::PointerPath> CanvasWindow::pointerPath() {
    // A band needs only where the pointer is, unless the moves on the way there still count
    // (an ellipse ending in the press column keeps the aspect it had off it).
    const bool moves = gestures_.countsMovesTo(gestures_.lastSeen());
    auto path = direct_->pointerPath(moves);
    if (path && !moves && gestures_.countsMovesTo(twipsAt(path->now))) path = direct_->pointerPath(true);
    return path;
}

void CanvasWindow::mouseReleaseEvent(QMouseEvent* e) {
    gestures_.release(e->button(), twipsOf(*e));
    afterGesture();
}

void CanvasWindow::afterGesture() {
    // Moves without a button come only with tracking: while a gesture is open they tell that its
    // release was lost.
    if (direct_) {
        direct_->setTracking(gestures_.open());
        if (!gestures_.open() && !everyMove_) direct_->setEveryMove(everyMove_ = true);
    } else
        setMouseTracking(gestures_.open());
    repaintDirty();
}

void CanvasWindow::mouseDoubleClickEvent(QMouseEvent* e) {
    doubleClick(e->button(), e->buttons(), twipsOf(*e), e->timestamp());
}

void CanvasWindow::doubleClick(Qt::MouseButton button, Qt::MouseButtons held, geometry::TwipPoint at, unsigned long time) {
    // Only the left button's double-click leaves; another button's is a second press.
    if (button == Qt::LeftButton)
        emit leaveRequested();
    else
        press(button, held, at, time);
}

geometry::TwipPoint CanvasWindow::twipsAt(QPointF devicePixels) const {
    const QPointF logical = devicePixels / ratio_;
    return {float(logical.x() * geometry::kTwipsPerPixel), float(logical.y() * geometry::kTwipsPerPixel)};
}

// The direct window's pointer, as the toolkit would deliver it: nothing while a modal box is up,
// and the press that makes a double-click delivered as the double-click only.
void CanvasWindow::pointer(const platform::PointerEvent& e) {
    if (QGuiApplication::modalWindow()) return;
    const QPointF logical = e.at / ratio_;
    const geometry::TwipPoint at = twipsAt(e.at);
    switch (e.kind) {
    case platform::PointerEvent::Kind::Press:
        if (clicks_.press(e.button, logical, e.time))
            doubleClick(e.button, e.held, at, e.time);
        else
            press(e.button, e.held, at, e.time);
        break;
    case platform::PointerEvent::Kind::Move:
        clicks_.move(logical);
        move(at, e.held);
        break;
    case platform::PointerEvent::Kind::Moved:
        clicks_.move(logical);
        if (gestures_.heldIn(e.held))
            showMovesSoon();
        else
            move(at, e.held);  // a move with the button up: the release was lost
        break;
    case platform::PointerEvent::Kind::Release:
        // The display kept the moves since the last refresh to itself: the last was here.
        for (const QPointF& p : e.path) gestures_.moveLater(twipsAt(p), e.held | e.button);
        if (!everyMove_) gestures_.moveLater(at, e.held | e.button);
        gestures_.release(e.button, at);
        afterGesture();
        break;
    }
}

void CanvasWindow::keyPressEvent(QKeyEvent* e) {
    if (keysTo_) QCoreApplication::sendEvent(keysTo_, e);
}

void CanvasWindow::keyReleaseEvent(QKeyEvent* e) {
    if (keysTo_) QCoreApplication::sendEvent(keysTo_, e);
}
