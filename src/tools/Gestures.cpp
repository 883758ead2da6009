#include "tools/Gestures.h"

#include "render/Surface.h"
#include "tools/Tool.h"

Gestures::Gestures(Surface& surface, ToolMaker makeTool) : surface_(surface), makeTool_(std::move(makeTool)) {}

Gestures::~Gestures() = default;

Gestures::AfterPress Gestures::press(Qt::MouseButton button, Qt::MouseButtons held, geometry::TwipPoint at) {
    if (button == Qt::RightButton) {
        // Taking back during a drag ends the drag too, so that nothing stray is inverted later.
        surface_.takeBack();
        tool_.reset();
        dragging_ = false;
        return AfterPress::ActivateToolbar;
    }
    if (dragging_) {
        if (button != button_ && (held & button_)) return AfterPress::Nothing;  // a second button during a drag
        finish(last_);  // the gesture's button was let go where this process could not see it
    }
    surface_.commit();
    tool_ = makeTool_(surface_);
    dragging_ = true;
    button_ = button;
    last_ = at;
    if (tool_) tool_->press(at);
    return AfterPress::ShowToolbar;
}

void Gestures::move(geometry::TwipPoint to, Qt::MouseButtons held) {
    if (moveLater(to, held)) show();
}

bool Gestures::moveLater(geometry::TwipPoint to, Qt::MouseButtons held) {
    if (!dragging_) return false;
    if (!(held & button_)) {
        finish(last_);  // the release was lost
        return false;
    }
    last_ = to;
    return tool_ && tool_->moveLater(to);
}

bool Gestures::countsMovesTo(geometry::TwipPoint to) const { return dragging_ && tool_ && tool_->countsMovesTo(to); }

void Gestures::show() {
    if (tool_) tool_->show();
}

void Gestures::release(Qt::MouseButton button, geometry::TwipPoint at) {
    // A release with no gesture of ours (a press made before the canvas came up), or of a
    // second button pressed during the drag.
    if (!dragging_ || button != button_) return;
    finish(at);
}

void Gestures::finish(geometry::TwipPoint at) {
    if (tool_) tool_->release(at);
    tool_.reset();
    dragging_ = false;
}
