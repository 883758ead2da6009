#pragma once
#include "geometry/Twips.h"

#include <Qt>

#include <functional>
#include <memory>

class Surface;
class Tool;

// The pointer on the canvas: a press commits the canvas (so that the drawing can be taken back)
// and starts the current tool, moves drive it and the release finishes it. The right button
// takes the latest drawing back. Points are twips.
class Gestures {
public:
    // The tool for a new gesture, or none while no pattern is chosen.
    using ToolMaker = std::function<std::unique_ptr<Tool>(Surface&)>;
    // What the window must do after a press: bring the toolbar back in front and active, so
    // that keys keep reaching it, or only make it active.
    enum class AfterPress { Nothing, ActivateToolbar, ShowToolbar };

    Gestures(Surface& surface, ToolMaker makeTool);
    ~Gestures();

    AfterPress press(Qt::MouseButton button, geometry::TwipPoint at);
    void move(geometry::TwipPoint to);
    void release(Qt::MouseButton button, geometry::TwipPoint at);

private:
    Surface& surface_;
    ToolMaker makeTool_;
    std::unique_ptr<Tool> tool_;
    bool dragging_ = false;
};
