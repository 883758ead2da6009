#pragma once
#include "platform/Keyboard.h"
#include "platform/WindowHints.h"

#include <QKeyCombination>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class KeyBox;
class QPushButton;
class QScreen;

// What the help and the settings panel share: a small modeless window with a title and a close
// button only, kept in front of the toolbar (and so of the canvas), centred on the toolbar's
// monitor, and a hidden key box that holds the focus when it opens. The panel's cancel button
// is clicked by Esc anywhere in it.
class PanelWindow : public QWidget {
    Q_OBJECT
public:
    // Shows the panel in front of `owner`, active, without a minimise action.
    void open(QWidget& owner);
    // The widget its keys go to while it is open.
    QWidget* keyTarget() const;

signals:
    // Hidden by its key: still there, with the user's choices, for the next opening.
    void hidden();
    // Closed by its button, Esc or the window's close command.
    void closed();

protected:
    // A panel `clientWidth` logical pixels wide whose outer height is `outerHeightTwips`; its
    // key box sits at `keyBox` and is kept below the visible part.
    PanelWindow(platform::WindowHints& hints, platform::Keyboard& keyboard, int clientWidth, int outerHeightTwips,
                const QRect& keyBox);
    // Fixes the size and centres the frame on `screen`; for a panel not shown yet.
    void place(QScreen* screen);
    void setCancelButton(QPushButton* button);
    void hideByKey();
    KeyBox* keyBox() const { return keyBox_; }
    virtual void keyPressed(QKeyCombination key) = 0;
    void closeEvent(QCloseEvent* e) override;
    bool event(QEvent* e) override;

private:
    // The frame's top-left, from the client's place and the frame the manager gives it.
    QPointF frameOrigin();
    // Sizes the panel for this frame and centres the frame on its screen.
    void fit(const platform::FrameExtents& f);
    void settle();
    // Where the client sits in the frame it had when last shown, in logical pixels.
    QPointF clientOffset() const;

    platform::WindowHints& hints_;
    KeyBox* keyBox_;
    const int clientWidth_;
    const int outerHeightTwips_;
    // Where the frame belongs (centred, or where it was when hidden), and until when a move by the
    // window manager is corrected.
    QPointF wantedFrame_;
    QDeadlineTimer settling_;
    QTimer settleTick_;
    QPointer<QScreen> screen_;
    int corrections_ = 0;
    platform::FrameExtents frame_;
    bool shownBefore_ = false;
};
