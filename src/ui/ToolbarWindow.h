#pragma once
#include "model/Pattern.h"
#include "platform/Keyboard.h"
#include "platform/WindowHints.h"

#include <QKeyCombination>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>

#include <optional>

class KeyBox;
class QLabel;
class QToolButton;

// The toolbar: the program's first window and the one it lives in. It shows the current
// pattern's picture and the drawing-mode button, counts the delayed capture down, keeps its
// place and the always-on-top band, and passes on every key typed while it is active.
class ToolbarWindow final : public QWidget {
    Q_OBJECT
public:
    ToolbarWindow(platform::WindowHints& hints, platform::Keyboard& keyboard);
    ~ToolbarWindow() override;

    std::optional<Pattern> pattern() const { return pattern_; }
    void selectPattern(Pattern pattern);

    // The frame's place in twips (15 per logical pixel), as it is saved in settings.ini.
    double top() const;
    double left() const;
    void moveFrameTo(double top, double left);
    // Sizes the window to its standard outer size (1335 twips wide, the caption plus 480 twips
    // high) and brings it onto a screen if its place is on none.
    void takeStandardSize();
    // Back at the standard size after a restore.
    void restoreStandardSize();

    // The button's look and what the minimise action follows when the window is activated.
    void setDrawingMode(bool on);
    bool drawingMode() const { return drawing_; }
    // Gives the minimise action back (and the always-on-top band with it) or takes it away.
    // thenMinimise: minimised at once after, as leaving drawing mode with Auto-Hide does.
    void allowMinimise(bool allowed, bool thenMinimise = false);
    // Takes the keys while the canvas is up, without asking to be activated; at the display's
    // time of the press that asks for them, if one does.
    void takeKeys(unsigned long userTime = platform::WindowHints::kNow);
    // Called while hidden: the toolbar is shown next above this canvas, and kept above it.
    void stayAbove(QWidget* canvas);

    // A hundred milliseconds after the start: on top, "Rdy", and the keys.
    void finishStartUpSoon();
    // Shows 4, 3, 2, 1 a second apart, then emits countdownFinished(); started again, it goes
    // back to 4.
    void startCountdown();
    QString countText() const;

    // Adds to the drawing-mode button's tool tip that the hot key could not be had.
    void noteHotKeyUnavailable(const QString& name);
    // Adds to that tool tip how the hot key works in this session (nothing for an empty text).
    void noteHotKeyWay(const QString& way);
    // Something the user was told and may look up again: kept in the drawing-mode button's tool
    // tip until the next notice.
    void showNotice(const QString& text);
    QString notice() const { return notice_; }

signals:
    void drawButtonClicked(bool pressed);
    void keyPressed(QKeyCombination key);
    void countdownFinished();
    void closing();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void countdownTick();
    void finishStartUp();
    void makeReachable();
    void alignWithServer();
    platform::FrameExtents frame();
    QPointF frameOrigin() const;
    QPointF observedFrameOrigin();
    void placeFrame(QPointF topLeft);
    void settlePlace();
    void relateTo(QWidget* canvas);
    void watchPlace();
    void settled();
    void setOuterSize(int widthTwips, int heightTwips);
    void askFixedSize();  // the size it is fixed at, which the manager may have changed
    void updateDrawTip();

    platform::WindowHints& hints_;
    QToolButton* patternButton_;
    QToolButton* drawButton_;
    QLabel* countLabel_;
    KeyBox* keyBox_;
    QTimer startUp_;
    QTimer countdown_;
    QTimer placeCheck_;
    QTimer settleEnd_;
    QTimer settleTick_;
    int count_ = 0;
    QString hotKeyNote_;
    QString notice_;
    std::optional<Pattern> pattern_;
    bool drawing_ = false;
    std::optional<bool> minimisable_;
    int16_t heightTwips_ = 0;
    platform::FrameExtents frame_;
    bool frameKnown_ = false;
    bool sizedWithoutFrame_ = false;
    int sizeAsks_ = 0;  // how often the fixed size was asked for again since it was set
    std::optional<QPointF> refitAt_;  // the frame's place while a new frame's size is taken
    std::optional<QPointF> wantedFrame_;  // where placeFrame sent it, until it is there
    // Where it was last sent and where its client came to rest there.
    struct Placed {
        QPointF frame;
        QPoint client;
    };
    std::optional<Placed> placed_;
    bool geometryConfirmed_ = false;  // the server asked once more for what Qt has, if needed
    int corrections_ = 0;
    bool awaitingMove_ = false;
    int inPlaceLooks_ = 0;
    bool movedSinceShown_ = false;
    QDeadlineTimer settleLimit_;  // a busy manager may place the window late, not later than this
    bool fromOwnWindow_ = true;  // the program itself, not another application, had the user last
};
