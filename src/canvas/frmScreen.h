#pragma once
#include "canvas/Gestures.h"
#include "canvas/Surface.h"

#include <QWidget>

#include <memory>

class App;

// The canvas: a borderless window over the whole primary monitor showing the desktop as it was
// when drawing mode was entered, on which the pointer gestures draw.
class frmScreen final : public QWidget {
    Q_OBJECT
public:
    explicit frmScreen(App& app);
    ~frmScreen() override;

    // Captures the desktop, shows the canvas with the copy, brings the toolbar back above it
    // and marks the corners.
    void Form_Load();
    void Form_DblClick();
    void Form_MouseDown(int button, int shift, float x, float y);
    void Form_MouseMove(int button, int shift, float x, float y);
    void Form_MouseUp(int button, int shift, float x, float y);

    Surface& surface() { return *surface_; }
    // Device pixels per logical pixel of the canvas's screen.
    qreal pixelRatio() const { return ratio_; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    void repaintDirty();
    QPointF toTwips(const QMouseEvent& e) const;

    App& app_;
    std::unique_ptr<Surface> surface_;
    gestures::Gesture gesture_;
    qreal ratio_ = 1.0;
};
