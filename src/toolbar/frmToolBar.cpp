#include "toolbar/frmToolBar.h"

#include "app/App.h"
#include "core/DrawingMode.h"
#include "core/KeyBox.h"
#include "core/Numeric.h"
#include "core/PanelFont.h"
#include "core/ScreenGeometry.h"
#include "hotkey/HotKey.h"
#include "core/WindowPlacement.h"
#include "help/frmHelp.h"
#include "settings/frmSetUp.h"
#include "settings/Settings.h"
#include "toolbar/ButtonPictures.h"
#include "toolbar/KeyMap.h"
#include "toolbar/Patterns.h"
#include "platform/Desktop.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QToolButton>
#include <QWindow>

using numeric::twipsToPixels;

namespace {

// Positions inside the window, in twips at 15 per pixel.
QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

QFont toolbarFont() { return panelfont::gothic(9.75); }

QToolButton* makeButton(QWidget* parent, const QString& key, const QString& tip, int x) {
    auto* b = new QToolButton(parent);
    b->setObjectName(key);
    b->setToolTip(tip);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setIconSize(QSize(16, 16));
    b->setGeometry(x, 2, 23, 22);
    return b;
}

}  // namespace

// --- frmToolBar ------------------------------------------------------------

frmToolBar::frmToolBar(App& app)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                           Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint),
      app_(app) {
    setObjectName(QStringLiteral("frmToolBar"));
    setWindowTitle(QStringLiteral("SB"));
    setWindowIcon(pictures::programIcon());
    setFont(toolbarFont());
    setAttribute(Qt::WA_DeleteOnClose, false);

    toolbar1_ = new QWidget(this);
    toolbar1_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar1_->setGeometry(twipsRect(0, 0, 840, 390));
    btnSelect_ = makeButton(toolbar1_, QStringLiteral("btnSelect"), QStringLiteral("スタイル"), 0);
    // btnSpace2: the placeholder between the two buttons.
    btnDraw_ = makeButton(toolbar1_, QStringLiteral("btnDraw"), QStringLiteral("描画オン・オフ"), 31);
    btnDraw_->setCheckable(true);
    btnDraw_->setIcon(pictures::buttonIcon(8));
    setButtonImage(patterns::kImageBeforeSelection);
    connect(btnSelect_, &QToolButton::clicked, this, [this] { Toolbar1_ButtonClick(QStringLiteral("btnSelect")); });
    connect(btnDraw_, &QToolButton::clicked, this, [this] { Toolbar1_ButtonClick(QStringLiteral("btnDraw")); });

    lblCount_ = new QLabel(QStringLiteral("Rdy"), this);
    lblCount_->setObjectName(QStringLiteral("lblCount"));
    lblCount_->setGeometry(twipsRect(900, 120, 375, 255));

    // Right of and below the visible client area: never seen, but shown and holding the focus.
    text1_ = new KeyBox(this);
    text1_->setTabIsKey(true);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(twipsRect(1440, 480, 120, 300));
    text1_->setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(text1_);
    connect(text1_, &KeyBox::keyDown, this, &frmToolBar::Text1_KeyDown);

    // The window manager frames a fixed-size window differently (no resize handle): fix the
    // size before anyone asks it for the frame.
    setFixedSize(twipsToPixels(placement::kToolbarWidthTwips), toolbar1_->height());
    create();

    tmrDelay_.setInterval(100);
    tmrDelay_.setSingleShot(false);
    connect(&tmrDelay_, &QTimer::timeout, this, &frmToolBar::tmrDelay_Timer);
    tmrDelay3_.setInterval(1000);
    connect(&tmrDelay3_, &QTimer::timeout, this, &frmToolBar::tmrDelay3_Timer);

    // A monitor unplugged under the toolbar would leave it where no one can reach it. Checked
    // once the change has settled, when the list of screens is the new one.
    auto recheck = [this] { QTimer::singleShot(0, this, &frmToolBar::makeReachable); };
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, recheck);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, recheck);
    // After a change of monitor, the place is checked against the server's once the window
    // has stopped moving for a moment (see alignWithServer).
    tmrPlace_.setSingleShot(true);
    tmrPlace_.setInterval(200);
    connect(&tmrPlace_, &QTimer::timeout, this, &frmToolBar::alignWithServer);
    connect(windowHandle(), &QWindow::screenChanged, this, [this] { tmrPlace_.start(); });
}

frmToolBar::~frmToolBar() = default;

bool frmToolBar::Form_Load() {
    Module1& m = app_.m;
    m.myWindow = 0;
    if (app_.desktop.prevInstance()) return false;
    LoadSettings(app_);
    if (!m.drawingOff) EnterDrawingModeAtStart(app_);
    if (m.startPattern >= 1 && m.startPattern <= patterns::kCount) selectPattern(m.startPattern);
    InstallHotKey(app_);
    ComputeToolbarHeight(app_);
    setOuterSize(placement::kToolbarWidthTwips, m.toolbarHeight);
    makeReachable();
    tmrDelay_.start();
    return true;
}

void frmToolBar::makeReachable() {
    // A position saved on a monitor that is gone stays in the file but not off screen.
    QList<QRect> screens;
    for (QScreen* s : QGuiApplication::screens()) screens << s->availableGeometry();
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary || screens.isEmpty()) return;
    QRect frame(framePosition(), QSize(twipsToPixels(placement::kToolbarWidthTwips), twipsToPixels(app_.m.toolbarHeight)));
    QPoint p = placement::reachablePosition(frame, screens, primary->availableGeometry());
    if (p != frame.topLeft()) placeFrame(p);
}

void frmToolBar::alignWithServer() {
    // When the toolbar passes from one monitor to another, Qt may convert the new place with
    // the origin of the monitor it leaves (logical coordinates start afresh at each monitor
    // when the device pixel ratio is not 1): its idea of the position is then far from where
    // the window is, and the next hide and show would put the toolbar there. The server's
    // position is the true one once the window manager is done; Qt is told it again, on the
    // right screen.
    tmrPlace_.stop();
    if (!isVisible()) return;
    std::optional<QPoint> device = app_.desktop.clientPosition(*this);
    if (!device) return;
    const QPointF logical = screens::logicalFromDevice(*device);
    const QPoint at(int(numeric::roundHalfEven(logical.x())), int(numeric::roundHalfEven(logical.y())));
    if ((at - geometry().topLeft()).manhattanLength() <= 1) return;
    QScreen* target = QGuiApplication::screenAt(at);
    if (target && target != screen()) setScreen(target);
    setGeometry(QRect(at, size()));
}

void frmToolBar::Form_Activate() {
    if (app_.m.drawingOff)
        EnableMinimizeBox(app_);
    else
        DisableMinimizeBox(app_);
    lblCount_->setText(QStringLiteral("Rdy"));
}

void frmToolBar::Form_Resize() { KeepToolbarOnTop(app_); }

void frmToolBar::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    RemoveHotKey(app_);
    tmrDelay_.stop();
    tmrDelay3_.stop();
    app_.unloadHelp();
    app_.unloadSetUp();
    app_.unloadScreen();
}

void frmToolBar::Toolbar1_ButtonClick(const QString& key) {
    if (key == QStringLiteral("btnDraw")) DrawButtonClicked(app_, btnDrawValue());
}

void frmToolBar::Text1_KeyDown(int keyCode, int shift) {
    using keymap::Command;
    Module1& m = app_.m;
    keymap::Action a = keymap::decide(keyCode, shift, m);
    switch (a.command) {
    case Command::None: break;
    case Command::ArmCountdown:
        m.delayCount = 4;
        tmrDelay3_.start();  // restarts a running countdown at a full second
        break;
    case Command::PreviousPattern: PreviousPattern(); break;
    case Command::NextPattern: NextPattern(); break;
    case Command::OpenSettings:
        m.myWindow = 2;
        app_.setUp().Show();
        break;
    case Command::OpenHelp:
        m.myWindow = 1;
        app_.help().Show();
        break;
    case Command::SelectPattern: selectPattern(a.pattern); break;
    case Command::ShowMyWindow: app_.msgBox(QStringLiteral("myWindow=") + QString::number(m.myWindow)); break;
    case Command::Save: SaveSettings(app_); break;
    }
    text1_->clear();
}

void frmToolBar::tmrDelay_Timer() {
    tmrDelay_.stop();
    KeepToolbarOnTop(app_);
    lblCount_->setText(QStringLiteral("Rdy"));
    text1_->setFocus(Qt::OtherFocusReason);
    activateWindow();
}

void frmToolBar::tmrDelay3_Timer() {
    Module1& m = app_.m;
    if (m.delayCount != 0) {
        lblCount_->setText(QString::number(m.delayCount));
        m.delayCount = static_cast<int16_t>(m.delayCount - 1);
        return;
    }
    tmrDelay3_.stop();
    lblCount_->setText(QStringLiteral("Rdy"));
    EnterDrawingModeAfterCountdown(app_);
}

void frmToolBar::selectPattern(int number) {
    int image = patterns::select(app_.m, number);
    if (image) setButtonImage(image);
}

void frmToolBar::SelectArrow() { selectPattern(1); }
void frmToolBar::SelectLine() { selectPattern(2); }
void frmToolBar::SelectCircle() { selectPattern(3); }
void frmToolBar::SelectFilledCircle() { selectPattern(4); }
void frmToolBar::SelectRectangle() { selectPattern(5); }
void frmToolBar::SelectFilledRectangle() { selectPattern(6); }
void frmToolBar::SelectLoupe() { selectPattern(7); }
void frmToolBar::SelectFreeDraw() { selectPattern(8); }
void frmToolBar::NextPattern() { selectPattern(patterns::next(app_.m.drawPattern)); }
void frmToolBar::PreviousPattern() { selectPattern(patterns::previous(app_.m.drawPattern)); }

void frmToolBar::setButtonImage(int image) {
    image_ = image;
    btnSelect_->setIcon(pictures::buttonIcon(image));
}

// Top and Left are those of the window frame, in twips at 15 per logical pixel. The window
// manager reports its frame in device pixels, so at a device pixel ratio of 2 a frame border of
// one pixel is half a logical pixel: the frame's place is kept as a fraction and the client,
// which Qt places in whole logical pixels, goes to the nearest place inside it. Hidden or shown,
// the same arithmetic, so that hiding the toolbar and bringing it back never moves it.
QPointF frmToolBar::frameOrigin() const {
    // Read just after a change of monitor: the check that is due is made first.
    if (tmrPlace_.isActive()) const_cast<frmToolBar*>(this)->alignWithServer();
    platform::FrameExtents f = const_cast<frmToolBar*>(this)->frame();
    const double r = devicePixelRatioF();
    return QPointF(geometry().topLeft()) - QPointF(f.left / r, f.top / r);
}

QPoint frmToolBar::framePosition() const { return frameOrigin().toPoint(); }

platform::FrameExtents frmToolBar::frame() {
    // The window manager forgets the frame while the window is hidden; it is the same frame
    // when the window comes back.
    if (!frameKnown_) {
        frame_ = app_.desktop.frameExtents(*this);
        frameKnown_ = frame_.left || frame_.right || frame_.top || frame_.bottom;
    }
    return frame_;
}

void frmToolBar::placeFrame(QPointF p) {
    platform::FrameExtents f = frame();
    const double r = devicePixelRatioF();
    const QPointF client = p + QPointF(f.left / r, f.top / r);
    const QPoint at(int(numeric::roundHalfEven(client.x())), int(numeric::roundHalfEven(client.y())));
    // Qt turns a logical position into the X server's with the origin of the screen it has the
    // window on, and logical coordinates start afresh at each monitor's device position when
    // the ratio is not 1: the window goes onto the target monitor's screen first, or a toolbar
    // placed on the right monitor while Qt has it on the left one lands far from its place.
    QScreen* target = QGuiApplication::screenAt(QRect(at, size()).center());
    if (target && target != screen()) setScreen(target);
    if (at != geometry().topLeft()) setGeometry(QRect(at, size()));
}

void frmToolBar::setFramePosition(QPoint p) { placeFrame(p); }

double frmToolBar::top() const { return numeric::pixelsToTwips(frameOrigin().y()); }
double frmToolBar::left() const { return numeric::pixelsToTwips(frameOrigin().x()); }
void frmToolBar::setTop(double twips) { placeFrame({frameOrigin().x(), twips / numeric::kTwipsPerPixel}); }
void frmToolBar::setLeft(double twips) { placeFrame({twips / numeric::kTwipsPerPixel, frameOrigin().y()}); }

void frmToolBar::setOuterSize(int widthTwips, int heightTwips) {
    platform::FrameExtents f = frame();
    const double r = devicePixelRatioF();
    // Fixed: the user moves the toolbar but does not resize or maximise it.
    setFixedSize(std::max(1, twipsToPixels(widthTwips - numeric::deviceToTwips(f.left + f.right, r))),
                 std::max(1, twipsToPixels(heightTwips - numeric::deviceToTwips(f.top + f.bottom, r))));
}

int frmToolBar::btnDrawValue() const { return btnDraw_->isChecked() ? 1 : 0; }
void frmToolBar::setBtnDrawValue(int value) { btnDraw_->setChecked(value != 0); }
QString frmToolBar::countText() const { return lblCount_->text(); }

bool frmToolBar::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) Form_Activate();
    if (e->type() == QEvent::Move && tmrPlace_.isActive()) tmrPlace_.start();
    return QWidget::event(e);
}

void frmToolBar::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Form_Resize();
}

void frmToolBar::closeEvent(QCloseEvent* e) {
    Form_Unload();
    e->accept();
}
