#include "tools/Gestures.h"

#include "render/Surface.h"
#include "tools/Tool.h"

Gestures::Gestures(Surface& surface, ToolMaker makeTool) : surface_(surface), makeTool_(std::move(makeTool)) {}

Gestures::~Gestures() = default;

Gestures::AfterPress Gestures::press(Qt::MouseButton button, geometry::TwipPoint at) {
    if (button == Qt::RightButton) {
        // Taking back during a drag ends the drag too, so that nothing stray is inverted later.
        surface_.takeBack();
        tool_.reset();
        dragging_ = false;
        return AfterPress::ActivateToolbar;
    }
    if (dragging_) return AfterPress::Nothing;  // a second button during a drag
    surface_.commit();
    tool_ = makeTool_(surface_);
    dragging_ = true;
    if (tool_) tool_->press(at);
    return AfterPress::ShowToolbar;
}

void Gestures::move(geometry::TwipPoint to) {
    if (dragging_ && tool_) tool_->move(to);
}

void Gestures::release(Qt::MouseButton button, geometry::TwipPoint at) {
    // A release with no gesture of ours: a press made before the canvas came up.
    if (button == Qt::RightButton || !dragging_) return;
    if (tool_) tool_->release(at);
    tool_.reset();
    dragging_ = false;
}
