#include "ui/ToolbarWindow.h"

#include "geometry/Placement.h"
#include "geometry/Twips.h"
#include "ui/Fonts.h"
#include "ui/KeyBox.h"
#include "ui/Pictures.h"
#include "ui/Screens.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QToolButton>
#include <QWindow>

#include <algorithm>
#include <utility>

using geometry::twipsRect;
using geometry::twipsToPixels;

namespace {

const QString kReady = QStringLiteral("Rdy");
const QString kDrawTip = QStringLiteral("描画オン・オフ");

QToolButton* makeButton(QWidget* parent, const QString& name, const QString& tip, int x) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setIconSize(QSize(16, 16));
    b->setGeometry(x, 2, 23, 22);
    return b;
}

}  // namespace

ToolbarWindow::ToolbarWindow(platform::WindowHints& hints, platform::Keyboard& keyboard)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint),
      hints_(hints) {
    setWindowTitle(QStringLiteral("SB"));
    setWindowIcon(pictures::programIcon());
    setFont(fonts::gothic(9.75));

    auto* buttons = new QWidget(this);
    buttons->setGeometry(twipsRect(0, 0, 840, 390));
    // Before a pattern is chosen the first button shows the filled rectangle.
    patternButton_ = makeButton(buttons, QStringLiteral("patternButton"), QStringLiteral("スタイル"), 0);
    patternButton_->setIcon(pictures::patternIcon(Pattern::FilledRectangle));
    drawButton_ = makeButton(buttons, QStringLiteral("drawButton"), kDrawTip, 31);
    drawButton_->setCheckable(true);
    drawButton_->setIcon(pictures::drawButtonIcon());
    connect(drawButton_, &QToolButton::clicked, this, &ToolbarWindow::drawButtonClicked);

    countLabel_ = new QLabel(kReady, this);
    countLabel_->setGeometry(twipsRect(900, 120, 375, 255));

    // Right of and below the visible client area: never seen, but shown and holding the focus.
    keyBox_ = new KeyBox(this, keyboard, true);
    keyBox_->setGeometry(twipsRect(1440, 480, 120, 300));
    keyBox_->setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(keyBox_);
    connect(keyBox_, &KeyBox::keyPressed, this, &ToolbarWindow::keyPressed);

    // The window manager frames a fixed-size window differently (no resize handle): the size is
    // fixed before anyone asks it for the frame.
    setFixedSize(twipsToPixels(geometry::kToolbarWidthTwips), buttons->height());
    create();

    startUp_.setInterval(100);
    connect(&startUp_, &QTimer::timeout, this, &ToolbarWindow::finishStartUp);
    countdown_.setInterval(1000);
    connect(&countdown_, &QTimer::timeout, this, &ToolbarWindow::countdownTick);

    // A monitor unplugged under the toolbar would leave it where no one can reach it. Checked
    // once the change has settled, when the list of screens is the new one.
    auto recheck = [this] { QTimer::singleShot(0, this, &ToolbarWindow::makeReachable); };
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, recheck);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, recheck);
    // After a change of monitor the place is checked against the server's once the window has
    // stopped moving for a moment (see alignWithServer).
    settleEnd_.setSingleShot(true);
    settleEnd_.setInterval(500);
    connect(&settleEnd_, &QTimer::timeout, this, [this] {
        // Not placed by the manager yet (a busy one may take longer): it is waited for.
        if (!movedSinceShown_ && !settleLimit_.hasExpired()) return settleEnd_.start();
        settled();
    });
    settleTick_.setInterval(20);
    connect(&settleTick_, &QTimer::timeout, this, &ToolbarWindow::settlePlace);
    // Framed anew once it is shown (icewm frames a window that cannot be resized more thinly
    // once it has read its hints): the same outer size and place in the new frame.
    // A minimised one is fitted when it comes back (a move would bring it back on some).
    hints_.watchFrame(*this, [this] {
        if (!hints_.isMinimized(*this)) frame();
    });
    placeCheck_.setSingleShot(true);
    placeCheck_.setInterval(200);
    connect(&placeCheck_, &QTimer::timeout, this, &ToolbarWindow::alignWithServer);
    connect(windowHandle(), &QWindow::screenChanged, this, [this] { placeCheck_.start(); });

    // The toolbar's activation counts only when it comes from another of the program's windows
    // (a panel, a message, the canvas), not when the user comes back from another application.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now || now->window() != this) fromOwnWindow_ = now != nullptr;
    });
    qApp->installEventFilter(this);
}

ToolbarWindow::~ToolbarWindow() = default;

void ToolbarWindow::selectPattern(Pattern pattern) {
    pattern_ = pattern;
    patternButton_->setIcon(pictures::patternIcon(pattern));
}

void ToolbarWindow::setDrawingMode(bool on) {
    drawing_ = on;
    drawButton_->setChecked(on);
}

void ToolbarWindow::allowMinimise(bool allowed, bool thenMinimise) {
    // A toolbar on its way to the minimised state is not asked to stay on top, which raises it:
    // KWin shows a window raised as it maps it minimised. The stays-on-top flag asks for the
    // above state again whenever it is mapped.
    if (minimisable_ == allowed) {
        if (thenMinimise)
            hints_.minimize(*this);
        else if (allowed)
            hints_.keepOnTop(*this);
        return;
    }
    // Some window managers read the hints only when a window is mapped: a shown toolbar whose
    // manager did not take the change is mapped again to get its minimise action back. Taking
    // it away needs no such step, since entering drawing mode maps the toolbar again anyway.
    const bool active = isActiveWindow();
    const QPointF at = frameOrigin();
    const bool wasHinted = minimisable_.has_value();
    minimisable_ = allowed;
    if (allowed) relateTo(nullptr);
    const bool taken = hints_.setMinimizable(*this, allowed);
    const bool remap = allowed && wasHinted && isVisible() && !taken;
    if (remap) {
        hints_.withdraw(*this);
        placeFrame(at);
    }
    if (thenMinimise) {
        hints_.minimize(*this);  // a hidden one is mapped again straight into the minimised state
        return;
    }
    if (remap) {
        show();
        if (active) activateWindow();
    }
    if (allowed) hints_.keepOnTop(*this);
}

void ToolbarWindow::stayAbove(QWidget* canvas) {
    relateTo(canvas);
    hints_.setMinimizable(*this, minimisable_.value_or(true));
}

void ToolbarWindow::relateTo(QWidget* canvas) {
    // Where the manager has an always-on-top band the toolbar stays above the canvas in it (and
    // KWin would hide a toolbar transient for a window that is never active). A manager without
    // it (i3) shows no window over a full-screen one but its transients, and fluxbox lifts a
    // full-screen window over its docks only for them: there the toolbar is a tool window
    // transient for the canvas. Qt writes the relation when it maps such a window;
    // a shown one is told here. The flags rewrite the minimise hints.
    hints_.liftAboveDocks(*this, canvas != nullptr);
    if (canvas && !hints_.keepsAboveFullScreenByOwner()) canvas = nullptr;
    QWindow* w = windowHandle();
    if (!w->transientParent() && !canvas) return;
    w->setTransientParent(canvas ? canvas->windowHandle() : nullptr);
    setAttribute(Qt::WA_ShowWithoutActivating, canvas != nullptr);  // it takes the keys without that
    w->setFlags((w->flags() & ~Qt::WindowType_Mask) | (canvas ? Qt::Tool : Qt::Window));
    if (isVisible()) hints_.setOwner(*this, canvas);
}

void ToolbarWindow::takeKeys(unsigned long userTime) {
    // A transient is kept above the canvas by the manager, which may take a request to raise it
    // for one to activate it (i3 then ends the canvas's full screen).
    if (!windowHandle()->transientParent()) raise();
    hints_.giveKeys(*this, userTime);
}

void ToolbarWindow::finishStartUpSoon() { startUp_.start(); }

void ToolbarWindow::finishStartUp() {
    startUp_.stop();
    hints_.keepOnTop(*this);
    countLabel_->setText(kReady);
    keyBox_->setFocus(Qt::OtherFocusReason);
    // A panel opened in these first moments keeps the keys, also while the manager has not yet
    // given them to it (an activation now would take them back); over the canvas the toolbar
    // takes them without an activation.
    if (QApplication::activeWindow() && QApplication::activeWindow() != this) return;
    const QWidgetList windows = QApplication::topLevelWidgets();
    if (std::any_of(windows.begin(), windows.end(),
                    [](const QWidget* w) { return w->windowType() == Qt::Dialog && w->isVisible(); }))
        return;
    if (drawing_)
        takeKeys();
    else
        activateWindow();
}

void ToolbarWindow::startCountdown() {
    count_ = 4;
    countdown_.start();  // a running countdown starts again at a full second
}

void ToolbarWindow::countdownTick() {
    if (count_ != 0) {
        countLabel_->setText(QString::number(count_--));
        return;
    }
    countdown_.stop();
    countLabel_->setText(kReady);
    emit countdownFinished();
}

QString ToolbarWindow::countText() const { return countLabel_->text(); }

void ToolbarWindow::noteHotKeyUnavailable(const QString& name) {
    hotKeyNote_ = QStringLiteral("Hot key %1 unavailable: another program holds it").arg(name);
    updateDrawTip();
}

void ToolbarWindow::noteHotKeyWay(const QString& way) {
    hotKeyNote_ = way;
    updateDrawTip();
}

void ToolbarWindow::showNotice(const QString& text) {
    notice_ = text;
    updateDrawTip();
}

void ToolbarWindow::updateDrawTip() {
    QString tip = kDrawTip;
    for (const QString& line : {hotKeyNote_, notice_})
        if (!line.isEmpty()) tip += QLatin1Char('\n') + line;
    drawButton_->setToolTip(tip);
}

void ToolbarWindow::takeStandardSize() {
    const platform::FrameExtents f = frame();
    // A manager that tells the frame only once the window is framed: sized again then.
    sizedWithoutFrame_ = !frameKnown_;
    heightTwips_ = geometry::toolbarHeightFor(geometry::captionPixels(f.top, f.left), devicePixelRatioF());
    restoreStandardSize();
    makeReachable();
}

void ToolbarWindow::restoreStandardSize() { setOuterSize(geometry::kToolbarWidthTwips, heightTwips_); }

void ToolbarWindow::setOuterSize(int widthTwips, int heightTwips) {
    const platform::FrameExtents f = frame();
    const double r = devicePixelRatioF();
    sizeAsks_ = 0;
    // Fixed: the user moves the toolbar but does not resize or maximise it. (Qt resizes it only
    // when the fixed size changes, and the manager may have given it another since.)
    const QSize size(std::max(1, twipsToPixels(widthTwips - geometry::deviceToTwips(f.left + f.right, r))),
                     std::max(1, twipsToPixels(heightTwips - geometry::deviceToTwips(f.top + f.bottom, r))));
    setFixedSize(size);
    if (this->size() != size) askFixedSize();
}

void ToolbarWindow::makeReachable() {
    // A place saved on a monitor that is gone stays in the file, but the window comes on screen.
    QList<QRect> areas;
    for (QScreen* s : QGuiApplication::screens()) areas << s->availableGeometry();
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary || areas.isEmpty()) return;
    const QSize size(twipsToPixels(geometry::kToolbarWidthTwips), twipsToPixels(heightTwips_));
    const QRect frame(frameOrigin().toPoint(), size);
    const int caption = int(this->frame().top / devicePixelRatioF());  // with the border above it
    const QPoint p = geometry::reachablePosition(frame, caption, areas, primary->availableGeometry());
    if (p != frame.topLeft()) placeFrame(p);
}

void ToolbarWindow::alignWithServer() {
    // When the toolbar passes from one monitor to another, Qt may convert the new place with the
    // origin of the monitor it leaves (logical coordinates start afresh at each monitor when the
    // device pixel ratio is not 1): its idea of the position is then far from where the window
    // is, and the next hide and show would put the toolbar there. The server's position is the
    // true one once the window manager is done; Qt is told it again, on the right screen.
    placeCheck_.stop();
    if (!isVisible()) return;
    const std::optional<QPoint> device = hints_.clientPosition(*this);
    if (!device) return;
    const QPointF logical = screens::logicalFromDevice(*device);
    const QPoint at(int(geometry::roundHalfEven(logical.x())), int(geometry::roundHalfEven(logical.y())));
    if ((at - geometry().topLeft()).manhattanLength() <= 1) return;
    QScreen* target = QGuiApplication::screenAt(at);
    if (target && target != screen()) setScreen(target);
    setGeometry(QRect(at, size()));
}

// Top and Left are the frame's, in twips at 15 per logical pixel. The window manager gives its
// frame in device pixels, so at a device pixel ratio of 2 a border of one pixel is half a
// logical pixel: the frame's place is kept as a fraction and the client, which Qt places in
// whole logical pixels, goes to the nearest place inside it. Hidden or shown, the same
// arithmetic, so that hiding the toolbar and bringing it back never moves it.
QPointF ToolbarWindow::frameOrigin() const {
    // On its way to a place, the toolbar is where it goes.
    if (wantedFrame_) return *wantedFrame_;
    auto* self = const_cast<ToolbarWindow*>(this);
    // Read just after a change of monitor: the check that is due is made first.
    if (placeCheck_.isActive()) self->alignWithServer();
    return self->observedFrameOrigin();
}

QPointF ToolbarWindow::observedFrameOrigin() {
    const platform::FrameExtents f = frame();
    const double r = devicePixelRatioF();
    return QPointF(geometry().topLeft()) - QPointF(f.left / r, f.top / r);
}

platform::FrameExtents ToolbarWindow::frame() {
    // The window manager forgets the frame while the window is hidden; it is the same frame
    // when the window comes back. A shown window's frame is asked again, since some managers
    // frame a toolbar in drawing mode differently.
    if (!frameKnown_ || isVisible()) {
        const platform::FrameExtents f = hints_.frameExtents(*this);
        if (f.left || f.right || f.top || f.bottom) {
            // A manager that frames a toolbar-type window otherwise (fluxbox), or frames a window
            // again once mapped (icewm): the same outer size and frame place with the new frame,
            // the place where it was sent while it has not moved since (at a device pixel ratio of
            // 2 the old frame's odd width may have put the client half a logical pixel off). Not
            // moved: its client is still there, or its frame is, the manager having moved the
            // client inside it (fluxbox, as it gives back the border it takes over the canvas).
            if (frameKnown_ && f != frame_ && !refitAt_) {
                const double r = devicePixelRatioF();
                const QPoint client = geometry().topLeft();
                const QPointF frameNow = QPointF(client) - QPointF(f.left / r, f.top / r);
                const bool stayed = placed_ && (placed_->client == client ||
                                                geometry::placementCorrection(placed_->frame, frameNow).isNull());
                refitAt_ = wantedFrame_ ? *wantedFrame_
                           : stayed     ? placed_->frame
                                        : QPointF(client) - QPointF(frame_.left / r, frame_.top / r);
                QTimer::singleShot(0, this, [this] {
                    const QPointF at = *refitAt_;
                    refitAt_.reset();
                    takeStandardSize();
                    placeFrame(at);
                });
            }
            frame_ = f;
            frameKnown_ = true;
            if (sizedWithoutFrame_) {
                sizedWithoutFrame_ = false;
                QTimer::singleShot(0, this, &ToolbarWindow::takeStandardSize);
            }
        }
    }
    return frame_;
}

void ToolbarWindow::placeFrame(QPointF topLeft) {
    wantedFrame_ = topLeft;
    corrections_ = 0;
    awaitingMove_ = false;
    const platform::FrameExtents f = frame();
    const double r = devicePixelRatioF();
    const QPointF client = topLeft + QPointF(f.left / r, f.top / r);
    const QPoint at(int(geometry::roundHalfEven(client.x())), int(geometry::roundHalfEven(client.y())));
    // Qt turns a logical position into the server's with the origin of the screen it has the
    // window on, and logical coordinates start afresh at each monitor's device position when the
    // ratio is not 1: the window goes onto the target monitor's screen first.
    QScreen* target = QGuiApplication::screenAt(QRect(at, size()).center());
    if (target && target != screen()) setScreen(target);
    if (at != geometry().topLeft()) setGeometry(QRect(at, size()));
    watchPlace();
}

// Window managers differ in what a position asks for: most put the client there, some (i3) the
// frame, and some learn the frame only once the window is mapped. For a moment after the window
// is placed or shown, its frame is measured and moved by what it is off, each move once the
// manager has made the last one; the user's own moves come later.
void ToolbarWindow::settlePlace() {
    if (!wantedFrame_ || !isVisible() || awaitingMove_) return;
    const QPoint off = geometry::placementCorrection(*wantedFrame_, observedFrameOrigin());
    if (off.isNull()) {
        // In place once the manager has taken it in, with its frame measured (or with none after
        // a few looks): done. Before that, a slow manager (KWin) may still move it.
        // A manager busy mapping the window may have dropped a request for its size or place
        // (fluxbox), while Qt takes it as done: the server is told again once what Qt has.
        if (hints_.isManaged(*this) && (frameKnown_ || ++inPlaceLooks_ >= 3) &&
            (std::exchange(geometryConfirmed_, true) || hints_.confirmGeometry(*this, screens::deviceGeometry(*this))))
            settleEnd_.stop(), settled();
        return;
    }
    if (corrections_ >= 3) return;
    ++corrections_;
    awaitingMove_ = true;
    setGeometry(QRect(geometry().topLeft() + off, size()));
}

void ToolbarWindow::settled() {
    // Recorded only where the manager let it be (some keep a window wholly on the screen).
    placed_.reset();
    if (wantedFrame_ && geometry::placementCorrection(*wantedFrame_, observedFrameOrigin()).isNull())
        placed_ = Placed{*wantedFrame_, geometry().topLeft()};
    wantedFrame_.reset();
    settleTick_.stop();
}

void ToolbarWindow::watchPlace() {
    inPlaceLooks_ = 0;
    geometryConfirmed_ = false;
    movedSinceShown_ = false;
    settleLimit_.setRemainingTime(3000);
    settleEnd_.start();
    settleTick_.start();
}

double ToolbarWindow::top() const { return geometry::pixelsToTwips(frameOrigin().y()); }
double ToolbarWindow::left() const { return geometry::pixelsToTwips(frameOrigin().x()); }
void ToolbarWindow::moveFrameTo(double top, double left) {
    placeFrame(QPointF(left, top) / geometry::kTwipsPerPixel);
}

bool ToolbarWindow::eventFilter(QObject* watched, QEvent* e) {
    // The canvas never takes the focus: a press on it is the way back through it.
    if (e->type() == QEvent::MouseButtonPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() != this)
        fromOwnWindow_ = true;
    return false;
}

bool ToolbarWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && fromOwnWindow_) {
        allowMinimise(!drawing_);
        countLabel_->setText(kReady);
    }
    if (e->type() == QEvent::Move && placeCheck_.isActive()) placeCheck_.start();
    if (e->type() == QEvent::Show && wantedFrame_) watchPlace();
    if (e->type() == QEvent::Move) {
        awaitingMove_ = false;
        movedSinceShown_ = true;
        settlePlace();
    }
    return QWidget::event(e);
}

void ToolbarWindow::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    hints_.keepOnTop(*this);
    // A manager that frames the window anew may give the client a size it had before (fluxbox,
    // once it has read a new type): the fixed size is asked for again, twice at most a sizing,
    // so that a manager that insists on its own size (KWin's least height) is not fought. Not
    // while minimised: each new size asks to stay on top, which raises the window.
    if (size() != minimumSize() && isVisible() && !isMinimized() && sizeAsks_ < 2) {
        ++sizeAsks_;
        QTimer::singleShot(0, this, [this] {
            if (size() != minimumSize() && !isMinimized()) askFixedSize();
        });
    }
}

void ToolbarWindow::askFixedSize() {
    if (isVisible())
        hints_.askSize(*this, (QSizeF(minimumSize()) * devicePixelRatioF()).toSize());
    else
        resize(minimumSize());
}

void ToolbarWindow::closeEvent(QCloseEvent* e) {
    startUp_.stop();
    countdown_.stop();
    emit closing();
    e->accept();
}
