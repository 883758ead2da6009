#pragma once
#include "tools/Gestures.h"
#include "ui/LaterPtr.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class CanvasWindow;
class ToolbarWindow;
namespace platform {
class DirectWindows;
class ScreenCapture;
class WindowHints;
}  // namespace platform

// Drawing mode: the frozen desktop in the canvas, the toolbar above it. Each way in and out has
// its reason, and each reason its order of steps on the desktop. Every entry takes a new copy of
// the screen; every exit throws the canvas and its drawing away.
class DrawingSession final : public QObject {
    Q_OBJECT
public:
    enum class Enter {
        HotKey,                  // the minimise action goes once the canvas is up
        HotKeyAutoHide,          // the minimise action goes first
        HotKeyRestore,           // the minimised toolbar is restored, then as HotKeyAutoHide
        HotKeyRestoreFullSize,   // the same, and the toolbar back at its standard size
        Button,                  // the minimise action goes first
        Countdown,               // the minimise action goes once the canvas is up
        Start,                   // drawing mode saved as on: the minimise action goes first
    };
    enum class Leave {
        HotKey,       // the minimise action comes back once the canvas is gone
        DoubleClick,  // likewise
        Button,       // the minimise action comes back first
        Exit,         // the program ends: only the canvas goes
    };

    // `direct`, where the display has them, shows the canvas and takes its pointer.
    DrawingSession(ToolbarWindow& toolbar, platform::WindowHints& hints, platform::ScreenCapture& capture,
                   Gestures::ToolMaker makeTool, platform::DirectWindows* direct = nullptr);
    ~DrawingSession() override;

    bool active() const { return canvas_ != nullptr; }
    const CanvasWindow* canvas() const { return canvas_.get(); }
    void enter(Enter reason);
    // `minimiseToolbar`: Auto-Hide's last step.
    void leave(Leave reason, bool minimiseToolbar = false);
    void toggle();
    // Where keys typed on the canvas go (the open panel's key box); nullptr: to the toolbar.
    void passKeysTo(QWidget* target);

signals:
    // Drawing mode began or ended; the toolbar's button shows it.
    void activeChanged(bool active);
    // A double-click on the canvas.
    void leaveRequested();
    // The screen could not be read: drawing mode was not entered.
    void captureFailed(const QString& why);

private:
    bool showCanvas();
    void dropCanvas();

    ToolbarWindow& toolbar_;
    platform::WindowHints& hints_;
    platform::ScreenCapture& capture_;
    platform::DirectWindows* direct_;
    Gestures::ToolMaker makeTool_;
    LaterPtr<CanvasWindow> canvas_;
    QPointer<QWidget> keysTo_;
    bool capturing_ = false;  // the desktop may take its time to answer, and events come meanwhile
};
