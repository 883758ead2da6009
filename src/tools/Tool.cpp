#include "tools/Tool.h"

#include "render/Surface.h"

#include <utility>

void RubberBandTool::press(geometry::TwipPoint at) {
    start_ = band_ = aim_ = at;
    started();
    toggleBand();
}

void RubberBandTool::move(geometry::TwipPoint to) {
    moveLater(to);
    show();
}

bool RubberBandTool::moveLater(geometry::TwipPoint to) {
    aim(to);
    waiting_ = true;
    return true;
}

void RubberBandTool::show() {
    if (!std::exchange(waiting_, false)) return;
    surface_.beginSwap();
    toggleBand();
    takeAim();
    toggleBand();
    surface_.endSwap();
}

void RubberBandTool::release(geometry::TwipPoint at) {
    const bool moved = float(at.x - start_.x) != 0.0f || float(at.y - start_.y) != 0.0f;
    if (!moved) {
        surface_.takeBack();
        return;
    }
    toggleBand();
    if (std::exchange(waiting_, false)) takeAim();
    finish(at);
}
