#include "ui/PanelWindow.h"

#include "geometry/Placement.h"
#include "geometry/Twips.h"
#include "ui/Fonts.h"
#include "ui/KeyBox.h"

#include <QWindow>
#include <QCloseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

namespace {
// Not a tool window: those are transient for the whole application, and window managers stack
// such a window under the canvas once the canvas is clicked.
constexpr Qt::WindowFlags kFlags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint;
}  // namespace

PanelWindow::PanelWindow(platform::WindowHints& hints, platform::Keyboard& keyboard, int clientWidth,
                         int outerHeightTwips, const QRect& keyBox)
    : QWidget(nullptr, kFlags), hints_(hints), clientWidth_(clientWidth), outerHeightTwips_(outerHeightTwips) {
    setFont(fonts::gothic(9.0));
    // Made first, so it is first in the tab order and has the focus when the panel opens.
    keyBox_ = new KeyBox(this, keyboard);
    keyBox_->setGeometry(keyBox);
    connect(keyBox_, &KeyBox::keyPressed, this, [this](QKeyCombination key) { keyPressed(key); });
    setFixedSize(clientWidth, keyBox.top());
    settleTick_.setInterval(25);
    connect(&settleTick_, &QTimer::timeout, this, &PanelWindow::settle);
}

void PanelWindow::setCancelButton(QPushButton* button) {
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, button, &QPushButton::click);
}

void PanelWindow::place(QScreen* screen) {
    create();
    keyBox_->setFocus(Qt::OtherFocusReason);
    screen_ = screen;
    // Not mapped yet: Qt places the client, inside the frame to be, converting the place with
    // the origin of the screen it has the panel on, which must be this one.
    if (screen) setScreen(screen);
    fit(hints_.frameExtents(*this));
}

void PanelWindow::fit(const platform::FrameExtents& f) {
    // The frame comes in device pixels; sizes and places here are logical pixels.
    frame_ = f;
    const double r = screen_ ? screen_->devicePixelRatio() : devicePixelRatioF();
    const QSize client(clientWidth_, geometry::panelClientHeight(outerHeightTwips_, f.top + f.bottom, keyBox_->y(), r));
    setFixedSize(client);
    if (!screen_) return;
    auto logical = [r](int device) { return int(geometry::roundHalfEven(device / r)); };
    const QSize outer = client + QSize(logical(f.left + f.right), logical(f.top + f.bottom));
    const QPoint frameTopLeft = geometry::centred(outer, screen_->availableGeometry());
    setGeometry(QRect(frameTopLeft + QPoint(logical(f.left), logical(f.top)), client));
    wantedFrame_ = frameTopLeft;
}

QPointF PanelWindow::frameOrigin() { return QPointF(geometry().topLeft()) - clientOffset(); }

QPointF PanelWindow::clientOffset() const {
    const double r = devicePixelRatioF();
    return QPointF(frame_.left / r, frame_.top / r);
}

// Managers differ: some say what frame a window will get only once it is framed (KWin,
// fluxbox, icewm), some put the frame, not the client, where the panel asks (i3). While the
// panel is being shown, a frame other than the one it was fitted to fits it again, and a frame
// off its place is moved by what it is off.
void PanelWindow::settle() {
    if (settling_.hasExpired()) settleTick_.stop();
    if (!isVisible() || settling_.hasExpired() || corrections_ >= 3 || !hints_.isManaged(*this)) return;
    const platform::FrameExtents f = hints_.frameExtents(*this);
    if ((f.left || f.right || f.top || f.bottom) && f != frame_) {
        ++corrections_;
        if (shownBefore_) {
            const QPointF at = frameOrigin();
            frame_ = f;
            wantedFrame_ = at;
        } else {
            fit(f);
            return;
        }
    }
    const QPoint off = geometry::placementCorrection(wantedFrame_, frameOrigin());
    if (!off.isNull()) ++corrections_, setGeometry(QRect(geometry().topLeft() + off, size()));
}

bool PanelWindow::event(QEvent* e) {
    if (e->type() == QEvent::Move) settle();
    // Hidden by its key, it comes back with its frame where it was (managers that let a window
    // go put the client where the frame was: metacity).
    if (e->type() == QEvent::Hide) {
        wantedFrame_ = QPointF(geometry().topLeft()) - clientOffset();
        shownBefore_ = true;
    }
    return QWidget::event(e);
}

void PanelWindow::open(QWidget& owner) {
    // Owned by the toolbar, the panel stays in front of it and so of the canvas: Qt writes the
    // owner when it maps a dialog, before the window manager looks at it. While the toolbar
    // is the canvas's, the panel is too (i3 keeps only those over a full-screen window).
    winId();
    QWindow* top = owner.windowHandle();
    windowHandle()->setTransientParent(top->transientParent() ? top->transientParent() : top);
    if (!isVisible()) {
        if (shownBefore_) {
            const QPointF client = wantedFrame_ + clientOffset();
            setGeometry(QRect(QPoint(int(geometry::roundHalfEven(client.x())), int(geometry::roundHalfEven(client.y()))),
                              size()));
        }
        corrections_ = 0;
        settling_.setRemainingTime(1000);
        settleTick_.start();
    }
    // Minimised, the panel would keep its place as the open one with no way back to it. Said
    // before the map: several managers read it only then.
    hints_.setMinimizable(*this, false);
    show();
    raise();
    hints_.giveKeys(*this, platform::WindowHints::kNow);
}

QWidget* PanelWindow::keyTarget() const { return keyBox_; }

void PanelWindow::hideByKey() {
    hide();
    emit hidden();
}

void PanelWindow::closeEvent(QCloseEvent* e) {
    e->accept();
    emit closed();
}
