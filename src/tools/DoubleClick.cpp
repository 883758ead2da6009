#include "tools/DoubleClick.h"

#include <cmath>
#include <cstdint>

bool DoubleClick::press(Qt::MouseButton button, QPointF at, unsigned long time) {
    move(at);
    // The display's clock is 32 bits of milliseconds.
    const bool twice = button == button_ && uint32_t(time - time_) < interval_;
    button_ = twice ? Qt::NoButton : button;  // a third press is a first one again
    at_ = at;
    time_ = time;
    return twice;
}

void DoubleClick::move(QPointF to) {
    if (std::abs(to.x() - at_.x()) > distance_ || std::abs(to.y() - at_.y()) > distance_) button_ = Qt::NoButton;
}
