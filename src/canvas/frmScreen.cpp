#include "canvas/frmScreen.h"

#include "app/App.h"
#include "canvas/RoundCorners.h"
#include "core/DrawingMode.h"
#include "core/Numeric.h"
#include "core/ScreenGeometry.h"
#include "platform/Desktop.h"
#include "toolbar/frmToolBar.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

namespace {

int buttonOf(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton: return gestures::Left;
    case Qt::RightButton: return gestures::Right;
    case Qt::MiddleButton: return gestures::Middle;
    default: return 0;
    }
}

int shiftOf(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

}  // namespace

frmScreen::frmScreen(App& app)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus), app_(app) {
    setObjectName(QStringLiteral("frmScreen"));
    setWindowTitle(QStringLiteral("画面スクリーン"));
    // The canvas never takes the focus: the toolbar above it keeps the keys, and a focused
    // full-screen window would be raised over the always-on-top toolbar.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::CrossCursor);
}

frmScreen::~frmScreen() = default;

void frmScreen::Form_Load() {
    // The canvas covers the primary monitor, the one the presenter shows; other monitors keep
    // showing the live desktop.
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect logical = screen->geometry();
    ratio_ = screen->devicePixelRatio();
    const QRect device = screens::deviceGeometry(*screen);

    // The toolbar is hidden by now; make sure it has left the screen before reading it.
    frmToolBar& toolbar = app_.toolBar();
    app_.desktop.waitUntilGone(toolbar);
    surface_ = std::make_unique<Surface>(device.size(), numeric::kTwipsPerPixel / ratio_);
    surface_->setBackgroundColor(palette().color(QPalette::Button));
    surface_->setImage(app_.desktop.capture(device));
    surface_->takeDirty();

    setScreen(screen);
    setGeometry(logical);
    show();

    app_.m.isDragging = false;
    toolbar.setTop(app_.m.savedToolbarTop);
    toolbar.setLeft(app_.m.savedToolbarLeft);
    toolbar.show();
    toolbar.raise();
    toolbar.activateWindow();

    DrawRoundCorners(*surface_);
    // The desktop copy is committed at once, so a take-back before the first drawing keeps it.
    surface_->commit();
    surface_->takeDirty();
}

void frmScreen::Form_DblClick() { LeaveDrawingModeByDoubleClick(app_); }

void frmScreen::Form_MouseDown(int button, int, float x, float y) {
    switch (gestures::MouseDown(app_.m, *surface_, gesture_, button, x, y)) {
    case gestures::AfterPress::Nothing: break;
    case gestures::AfterPress::FocusToolbar:
        app_.toolBar().activateWindow();
        break;
    case gestures::AfterPress::ShowToolbar:
        app_.toolBar().show();
        app_.toolBar().raise();
        app_.toolBar().activateWindow();
        break;
    }
    repaintDirty();
}

void frmScreen::Form_MouseMove(int, int, float x, float y) {
    gestures::MouseMove(app_.m, *surface_, gesture_, x, y);
    repaintDirty();
}

void frmScreen::Form_MouseUp(int button, int, float x, float y) {
    gestures::MouseUp(app_.m, *surface_, gesture_, button, x, y);
    repaintDirty();
}

void frmScreen::repaintDirty() {
    QRect dirty = surface_->takeDirty();
    if (dirty.isEmpty()) return;
    // Device pixels to logical, rounded outwards.
    QRectF r(dirty.x() / ratio_, dirty.y() / ratio_, dirty.width() / ratio_, dirty.height() / ratio_);
    update(r.toAlignedRect());
}

QPointF frmScreen::toTwips(const QMouseEvent& e) const {
    // The canvas is a top-level window, so the event's position in the window is its position
    // in the canvas. Qt rounds position() to whole logical pixels, which at a device pixel ratio
    // of 2 would put every odd device pixel on its even neighbour; the window position keeps
    // the fraction, so the drawing lands on the device pixel under the pointer.
    return e.scenePosition() * double(numeric::kTwipsPerPixel);
}

void frmScreen::paintEvent(QPaintEvent* e) {
    if (!surface_) return;
    QPainter p(this);
    const QRect r = e->rect();
    const QRectF source(r.x() * ratio_, r.y() * ratio_, r.width() * ratio_, r.height() * ratio_);
    p.drawImage(QRectF(r), surface_->image(), source);
}

void frmScreen::mousePressEvent(QMouseEvent* e) {
    QPointF t = toTwips(*e);
    Form_MouseDown(buttonOf(e->button()), shiftOf(e->modifiers()), float(t.x()), float(t.y()));
}

void frmScreen::mouseMoveEvent(QMouseEvent* e) {
    QPointF t = toTwips(*e);
    Form_MouseMove(0, shiftOf(e->modifiers()), float(t.x()), float(t.y()));
}

void frmScreen::mouseReleaseEvent(QMouseEvent* e) {
    QPointF t = toTwips(*e);
    Form_MouseUp(buttonOf(e->button()), shiftOf(e->modifiers()), float(t.x()), float(t.y()));
}

void frmScreen::mouseDoubleClickEvent(QMouseEvent* e) {
    // Only the left button's double-click leaves; with another button it is a second press.
    if (e->button() != Qt::LeftButton) {
        mousePressEvent(e);
        return;
    }
    Form_DblClick();
}
