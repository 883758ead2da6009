#include "canvas/Gestures.h"
#include "canvas/QBColor.h"
#include "canvas/Surface.h"
#include "core/Module1.h"
#include "toolbar/Patterns.h"

#include <gtest/gtest.h>

using namespace gestures;

namespace {

constexpr float kTw = 15;  // twips per pixel

// A canvas holding a recognisable "desktop", committed as the canvas does when it loads.
struct Canvas {
    Surface s{QSize(200, 150)};
    Module1 m;
    Gesture g;

    explicit Canvas(int pattern = 2) {
        QImage desk(200, 150, QImage::Format_RGB32);
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x) desk.setPixel(x, y, qRgb(x, y, 200));
        s.setImage(desk);
        s.commit();
        m.lineColor = 12;
        m.fillColor = 14;
        m.lineWidth = 1;
        patterns::select(m, pattern);
    }
    // Pointer positions in pixels, as the window reports them.
    AfterPress down(float x, float y, int button = Left) { return MouseDown(m, s, g, button, x * kTw, y * kTw); }
    void move(float x, float y) { MouseMove(m, s, g, x * kTw, y * kTw); }
    void up(float x, float y, int button = Left) { MouseUp(m, s, g, button, x * kTw, y * kTw); }
    void drag(float x1, float y1, float x2, float y2, int button = Left) {
        down(x1, y1, button);
        for (int i = 1; i <= 4; ++i) move(x1 + (x2 - x1) * i / 4, y1 + (y2 - y1) * i / 4);
        up(x2, y2, button);
    }
    QRgb at(int x, int y) const { return s.image().pixel(x, y); }
};

const QRgb kRed = qRgb(255, 0, 0);

int differing(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

}  // namespace

TEST(Gestures, LineDrawsInTheLineColourAndTheRightButtonTakesItBack) {
    Canvas c(2);
    const QImage before = c.s.image();
    EXPECT_EQ(c.down(20, 20), AfterPress::ShowToolbar);
    EXPECT_TRUE(c.m.isDragging);
    EXPECT_EQ(c.s.DrawWidth, 2);  // lineWidth 1 draws 2 pixels wide
    c.move(60, 40);
    c.move(100, 20);
    c.up(100, 20);
    EXPECT_FALSE(c.m.isDragging);
    EXPECT_EQ(c.at(60, 20), kRed);
    EXPECT_EQ(c.at(60, 30), before.pixel(60, 30));  // the preview at (60,40) is gone
    // Only the line differs from the desktop.
    EXPECT_GT(differing(before, c.s.image()), 70);
    EXPECT_LT(differing(before, c.s.image()), 3 * 82);

    EXPECT_EQ(c.down(5, 5, Right), AfterPress::FocusToolbar);
    EXPECT_EQ(c.s.image(), before);
    c.up(5, 5, Right);
    c.down(5, 5, Right);
    EXPECT_EQ(c.s.image(), before);
}

TEST(Gestures, OnlyTheLatestDrawingIsTakenBack) {
    Canvas c(2);
    c.drag(10, 10, 80, 10);
    const QImage withLine = c.s.image();
    patterns::select(c.m, 5);
    c.drag(100, 50, 150, 100);
    EXPECT_EQ(c.at(100, 75), kRed);
    c.down(1, 1, Right);
    EXPECT_EQ(c.s.image(), withLine);

    // A whole free-hand stroke goes with one take-back.
    patterns::select(c.m, 8);
    c.down(20, 100);
    for (int i = 0; i < 30; ++i) c.move(20 + i * 4, 100 + (i % 5) * 3);
    c.up(140, 112);
    EXPECT_NE(c.s.image(), withLine);
    c.down(1, 1, Right);
    EXPECT_EQ(c.s.image(), withLine);
}

TEST(Gestures, ClickWithoutMovingLeavesTheCanvasButCommitsIt) {
    for (int pattern : {1, 2, 3, 5}) {
        Canvas c(pattern);
        c.drag(10, 10, 60, 60);
        const QImage drawn = c.s.image();
        c.down(100, 100);
        c.up(100, 100);
        EXPECT_EQ(c.s.image(), drawn) << "pattern " << pattern;
        c.down(1, 1, Right);  // the click committed the drawing: it stays
        EXPECT_EQ(c.s.image(), drawn) << "pattern " << pattern;
    }
}

TEST(Gestures, MiddleButtonDrawsLikeTheLeft) {
    Canvas left(5), middle(5);
    left.drag(30, 30, 120, 90, Left);
    middle.drag(30, 30, 120, 90, Middle);
    EXPECT_EQ(left.s.image(), middle.s.image());
    EXPECT_NE(left.s.image(), Canvas(5).s.image());
}

TEST(Gestures, CircleFillsTheDragBoxInEitherDirection) {
    Canvas a(3), b(3);
    a.down(100, 100);
    a.move(300, 160);
    a.up(300, 160);
    EXPECT_FLOAT_EQ(a.m.previewX, 3000);
    EXPECT_FLOAT_EQ(a.m.previewY, 1950);
    EXPECT_FLOAT_EQ(a.m.circleRadius, 1500);
    EXPECT_FLOAT_EQ(a.m.circleAspect, 0.3f);
    b.down(300, 160);
    b.move(100, 100);
    b.up(100, 100);
    EXPECT_FLOAT_EQ(b.m.previewX, 3000);
    EXPECT_FLOAT_EQ(b.m.previewY, 1950);
    EXPECT_FLOAT_EQ(b.m.circleRadius, 1500);
    EXPECT_FLOAT_EQ(b.m.circleAspect, 0.3f);

    // Straight down: a circle with the drag as diameter, aspect 1 from the press.
    Canvas d(3);
    d.down(100, 20);
    d.move(100, 100);
    d.up(100, 100);
    EXPECT_FLOAT_EQ(d.m.circleAspect, 1.0f);
    EXPECT_FLOAT_EQ(d.m.circleRadius, 600);
    EXPECT_EQ(d.at(100, 21), kRed);
    EXPECT_EQ(d.at(61, 60), kRed);
}

TEST(Gestures, FilledShapesTintLikeAHighlighter) {
    Canvas c(6);
    const QImage before = c.s.image();
    c.drag(20, 20, 120, 100);
    // Yellow ANDed: red and green kept, blue cleared.
    QRgb was = before.pixel(70, 60), now = c.at(70, 60);
    EXPECT_EQ(now, qRgb(qRed(was), qGreen(was), 0));
}

TEST(Gestures, RightPressDuringADragCancelsIt) {
    Canvas c(5);
    const QImage before = c.s.image();
    c.down(20, 20);
    c.move(80, 80);
    EXPECT_NE(c.s.image(), before);
    c.down(80, 80, Right);
    EXPECT_EQ(c.s.image(), before);
    EXPECT_FALSE(c.m.isDragging);
    c.move(120, 100);  // nothing stray inverted back
    c.up(120, 100);
    EXPECT_EQ(c.s.image(), before);
}

TEST(Gestures, StrayReleasesAndSecondPressesAreIgnored) {
    Canvas c(2);
    const QImage before = c.s.image();
    c.up(50, 50);  // a release with no gesture of ours
    EXPECT_EQ(c.s.image(), before);

    c.down(20, 20);
    c.move(60, 20);
    EXPECT_EQ(c.down(90, 90, Middle), AfterPress::Nothing);
    EXPECT_FLOAT_EQ(c.m.startX, 20 * kTw);
    c.move(100, 20);
    c.up(100, 20);
    EXPECT_EQ(c.at(80, 20), kRed);
    EXPECT_EQ(c.at(90, 90), before.pixel(90, 90));
}

TEST(Gestures, PatternAndColourHoldForTheWholeGesture) {
    Canvas c(2);
    const QImage before = c.s.image();
    c.down(20, 20);
    c.move(60, 60);
    patterns::select(c.m, 6);  // a key pressed on the toolbar mid-drag
    c.m.lineColor = 9;
    c.move(100, 100);
    c.up(100, 100);
    EXPECT_EQ(c.at(60, 60), kRed);                  // a red line, not a filled rectangle
    EXPECT_EQ(c.at(90, 30), before.pixel(90, 30));  // nothing of a box
    // The next gesture uses the new pattern.
    c.drag(120, 20, 180, 60);
    QRgb was = before.pixel(150, 40);
    EXPECT_EQ(c.at(150, 40), qRgb(qRed(was), qGreen(was), 0));
}

TEST(Gestures, LoupeStretchesALongDragAndZoomsAtAPointOtherwise) {
    Canvas c(7);
    const QImage before = c.s.image();
    // 200 px wide: the threshold is 200 * 15 / 50 = 60 twips (4 px).
    c.drag(50, 40, 150, 115);  // 100 x 75 px: half the screen each way, stretched 2x
    EXPECT_EQ(c.at(0, 0), before.pixel(50, 40));
    EXPECT_EQ(c.at(100, 74), before.pixel(100, 77));
    c.down(1, 1, Right);
    EXPECT_EQ(c.s.image(), before);

    // Up and left: the point zoom, also taken back whole.
    c.drag(150, 115, 50, 40);
    EXPECT_NE(c.s.image(), before);
    c.down(1, 1, Right);
    EXPECT_EQ(c.s.image(), before);
}
