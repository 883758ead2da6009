#pragma once
#include "geometry/Twips.h"

#include <Qt>

#include <functional>
#include <memory>

class Surface;
class Tool;

// The pointer on the canvas: a press commits the canvas (so that the drawing can be taken back)
// and starts the current tool, moves drive it and the release of the button that began it
// finishes it. The right button takes the latest drawing back. Points are twips; `held` is
// every button down at the time of the event.
//
// A release can be lost: a modal box opened during a drag (Q, a failed save) takes it. The user
// did let go of the button, so the gesture ends as if released where the pointer was last seen
// on the canvas, and what it drew stays (the right button takes it back like any drawing),
// as soon as a move comes with the button up or a press comes while it seems still down.
class Gestures {
public:
    // The tool for a new gesture, or none while no pattern is chosen.
    using ToolMaker = std::function<std::unique_ptr<Tool>(Surface&)>;
    // What the window must do after a press: bring the toolbar back in front and active, so
    // that keys keep reaching it, or only make it active.
    enum class AfterPress { Nothing, ActivateToolbar, ShowToolbar };

    Gestures(Surface& surface, ToolMaker makeTool);
    ~Gestures();

    AfterPress press(Qt::MouseButton button, Qt::MouseButtons held, geometry::TwipPoint at);
    void move(geometry::TwipPoint to, Qt::MouseButtons held);
    // A move whose drawing may wait for show(), as the tool allows; true when something waits.
    // The gesture ends as it would had every move been shown.
    bool moveLater(geometry::TwipPoint to, Qt::MouseButtons held);
    void show();
    void release(Qt::MouseButton button, geometry::TwipPoint at);
    // A gesture is under way: its release has not come yet.
    bool open() const { return dragging_; }
    // Its button is among these.
    bool heldIn(Qt::MouseButtons held) const { return dragging_ && (held & button_); }
    // Whether the moves on the way to `to` change what the gesture draws there (the tool's
    // countsMovesTo()); lastSeen() is where the pointer was last seen during it.
    bool countsMovesTo(geometry::TwipPoint to) const;
    geometry::TwipPoint lastSeen() const { return last_; }

private:
    void finish(geometry::TwipPoint at);

    Surface& surface_;
    ToolMaker makeTool_;
    std::unique_ptr<Tool> tool_;
    bool dragging_ = false;
    Qt::MouseButton button_ = Qt::NoButton;  // the one that began the gesture
    geometry::TwipPoint last_;               // where the pointer was last seen during it
};
