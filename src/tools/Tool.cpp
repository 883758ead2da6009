#include "tools/Tool.h"

#include "render/Surface.h"

void RubberBandTool::press(geometry::TwipPoint at) {
    start_ = band_ = at;
    started();
    toggleBand();
}

void RubberBandTool::move(geometry::TwipPoint to) {
    surface_.beginSwap();
    toggleBand();
    follow(to);
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
    finish(at);
}
