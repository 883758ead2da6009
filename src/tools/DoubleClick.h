#pragma once
#include <QPointF>
#include <Qt>

// Tells which press makes a double-click, as the toolkit does for the windows it delivers to:
// the same button pressed again within `interval` milliseconds of the previous press, the
// pointer never having gone further than `distance` from that press on either axis meanwhile.
// The press after a double-click begins a new count.
class DoubleClick {
public:
    DoubleClick(unsigned long interval, double distance) : interval_(interval), distance_(distance) {}
    // Times are milliseconds of a clock that may wrap round.
    bool press(Qt::MouseButton button, QPointF at, unsigned long time);
    void move(QPointF to);

private:
    unsigned long interval_;
    double distance_;
    Qt::MouseButton button_ = Qt::NoButton;  // none: the next press cannot make a double-click
    QPointF at_;
    unsigned long time_ = 0;
};
