#include <gtest/gtest.h>

#include <QImage>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "canvas/QBColor.h"
#include "canvas/RoundCorners.h"
#include "canvas/Surface.h"
#include "core/Module1.h"
#include "shapes/Arrow.h"
#include "shapes/ArrowGeometry.h"
#include "shapes/CornerGeometry.h"
#include "shapes/EllipseFit.h"
#include "shapes/Loupe.h"
#include "shapes/LoupeGeometry.h"
#include "shapes/Previews.h"

namespace {

constexpr float kTw = 15;  // twips per pixel of the test surfaces
float tw(int px) { return px * kTw; }

QRgb rgb(const QImage& im, int x, int y) { return im.pixel(x, y) & 0xffffff; }

QImage patterned(QSize size) {
    QImage im(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            im.setPixel(x, y, qRgb((x * 37 + y * 11) & 255, (x * 5 + y * 71) & 255,
                                   ((x ^ y) * 13) & 255));
    return im;
}

QImage plain(QSize size, QColor colour) {
    QImage im(size, QImage::Format_RGB32);
    im.fill(colour);
    return im;
}

Surface surfaceShowing(const QImage& im) {
    Surface s(im.size(), kTw);
    s.setImage(im);
    s.takeDirty();
    return s;
}

std::vector<QPoint> changedPixels(const QImage& before, const QImage& after) {
    std::vector<QPoint> out;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (rgb(before, x, y) != rgb(after, x, y)) out.push_back({x, y});
    return out;
}

// The gesture state after a press at pixel (x, y) with the given pattern values.
Module1 pressedAt(int x, int y, uint8_t penMode, uint8_t lineWidth = 2, uint8_t drawColor = 12) {
    Module1 m;
    m.startX = m.previewX = tw(x);
    m.startY = m.previewY = tw(y);
    m.penMode = penMode;
    m.lineWidth = lineWidth;
    m.drawColor = drawColor;
    m.isDragging = true;
    return m;
}

// The pen the press sets from the pattern values.
void setPen(Surface& s, const Module1& m, int drawWidth, int fillStyle) {
    s.DrawMode = m.penMode;
    s.FillStyle = fillStyle;
    s.FillColor = QBColor(m.drawColor);
    s.ForeColor = QBColor(m.drawColor);
    s.DrawWidth = drawWidth;
}

struct Drag {
    int x0, y0, x1, y1;
};

// Each preview procedure, drawn for the drag as the gesture draws it.
struct PreviewKind {
    std::string name;
    std::function<void(const Module1&, Surface&, const Drag&)> draw;
};

std::vector<PreviewKind> previewKinds() {
    return {
        {"line", [](const Module1& m, Surface& s, const Drag& d) {
             PreviewLine(m, s, tw(d.x1), tw(d.y1));
         }},
        {"box", [](const Module1& m, Surface& s, const Drag& d) {
             PreviewBox(m, s, tw(d.x1), tw(d.y1));
         }},
        {"ellipse", [](const Module1& m, Surface& s, const Drag& d) {
             auto fit = shapes::fitEllipse(m.startX, m.startY, tw(d.x1), tw(d.y1), 1);
             PreviewEllipse(m, s, fit.centreX, fit.centreY, fit.radius, fit.aspect);
         }},
        {"arrow", [](const Module1& m, Surface& s, const Drag& d) {
             DrawArrow(m, s, tw(d.x1), tw(d.y1), 0);
         }},
    };
}

const Drag kDrags[] = {
    {10, 10, 50, 40}, {50, 40, 10, 10}, {50, 8, 12, 41}, {32, 24, 32, 24}, {5, 20, 60, 20},
    {20, 5, 20, 45},  {30, 30, 31, 29}, {0, 0, 63, 47},  {-5, -5, 70, 60},
};

}  // namespace

TEST(SurfacePreview, InvertingTwiceRestoresEveryPixelForEveryPreviewAndWidth) {
    const QImage original = patterned({64, 48});
    for (const PreviewKind& kind : previewKinds()) {
        for (int width = 1; width <= 10; ++width) {
            for (int fillStyle : {Surface::kSolid, Surface::kTransparent}) {
                for (uint8_t penMode : {uint8_t(13), uint8_t(9)}) {
                    for (const Drag& d : kDrags) {
                        SCOPED_TRACE(testing::Message()
                                     << kind.name << " width " << width << " fill " << fillStyle
                                     << " pen " << int(penMode) << " drag " << d.x0 << ","
                                     << d.y0 << "-" << d.x1 << "," << d.y1);
                        Surface s = surfaceShowing(original);
                        Module1 m = pressedAt(d.x0, d.y0, penMode, uint8_t((width + 1) / 2));
                        setPen(s, m, width, fillStyle);

                        kind.draw(m, s, d);
                        EXPECT_EQ(s.DrawMode, penMode);
                        const auto changed = changedPixels(original, s.image());
                        for (QPoint p : changed)
                            ASSERT_EQ(rgb(s.image(), p.x(), p.y()),
                                      ~rgb(original, p.x(), p.y()) & 0xffffff);
                        // Only a thin line of no length and a hollow box around the whole
                        // image may leave nothing to see.
                        const bool invisible =
                            (kind.name == "line" && width == 1 && d.x0 == d.x1 && d.y0 == d.y1) ||
                            (kind.name == "box" && fillStyle == Surface::kTransparent &&
                             d.x0 < 0 && width < 10);
                        EXPECT_EQ(changed.empty(), invisible);

                        kind.draw(m, s, d);
                        EXPECT_EQ(s.DrawMode, penMode);
                        ASSERT_TRUE(changedPixels(original, s.image()).empty());
                    }
                }
            }
        }
    }
}

TEST(SurfacePreview, FilledPreviewsAreSolidWherePenAndFillOverlap) {
    // One inverted pass over outline and interior: no ring of pixels put back by a second
    // inversion, so every row and every column of the shape is one unbroken run.
    const QImage original = patterned({64, 48});
    for (int width = 1; width <= 10; ++width) {
        for (bool ellipse : {false, true}) {
            SCOPED_TRACE(testing::Message() << (ellipse ? "ellipse" : "box") << " width " << width);
            Surface s = surfaceShowing(original);
            Module1 m = pressedAt(14, 10, 9);
            setPen(s, m, width, Surface::kSolid);
            if (ellipse) {
                auto fit = shapes::fitEllipse(m.startX, m.startY, tw(50), tw(38), 1);
                PreviewEllipse(m, s, fit.centreX, fit.centreY, fit.radius, fit.aspect);
            } else {
                PreviewBox(m, s, tw(50), tw(38));
            }
            std::vector<std::vector<int>> rows(48), columns(64);
            for (QPoint p : changedPixels(original, s.image())) {
                rows[size_t(p.y())].push_back(p.x());
                columns[size_t(p.x())].push_back(p.y());
            }
            auto unbroken = [](const std::vector<int>& v) {
                return v.empty() || v.back() - v.front() + 1 == int(v.size());
            };
            for (int y = 0; y < 48; ++y) EXPECT_TRUE(unbroken(rows[size_t(y)])) << "row " << y;
            for (int x = 0; x < 64; ++x)
                EXPECT_TRUE(unbroken(columns[size_t(x)])) << "column " << x;
            // The middle of the shape is inside it.
            EXPECT_NE(rgb(s.image(), 32, 24), rgb(original, 32, 24));
            if (!ellipse) {
                // A box covers its corners, outline included.
                EXPECT_NE(rgb(s.image(), 14, 10), rgb(original, 14, 10));
                EXPECT_NE(rgb(s.image(), 50, 38), rgb(original, 50, 38));
            }
        }
    }
}

TEST(SurfacePreview, ArrowPreviewInvertsEveryPixelOfItsThreeStrokes) {
    // Reference: shaft and head strokes painted one by one in black on white. The preview on
    // white must blacken exactly those pixels, also where the strokes overlap at the tip.
    const QSize size(200, 150);
    const Drag drags[] = {{20, 75, 180, 75}, {180, 20, 30, 130}, {100, 140, 100, 20},
                          {40, 30, 150, 110}, {150, 90, 60, 85}};
    for (int lineWidth = 1; lineWidth <= 5; ++lineWidth) {
        for (int width = 2; width <= 10; ++width) {
            for (const Drag& d : drags) {
                SCOPED_TRACE(testing::Message() << "lineWidth " << lineWidth << " width "
                                                << width << " tip " << d.x1 << "," << d.y1);
                Module1 m = pressedAt(d.x0, d.y0, 13, uint8_t(lineWidth), 0);
                const float x = tw(d.x1), y = tw(d.y1);

                Surface reference = surfaceShowing(plain(size, Qt::white));
                setPen(reference, m, width, Surface::kTransparent);
                auto heads = shapes::arrowHeads(m.startX, m.startY, x, y, lineWidth);
                reference.Line(m.startX, m.startY, x, y);
                reference.Line(heads.first.x, heads.first.y, x, y);
                reference.Line(heads.second.x, heads.second.y, x, y);

                Surface preview = surfaceShowing(plain(size, Qt::white));
                setPen(preview, m, width, Surface::kTransparent);
                DrawArrow(m, preview, x, y, 0);

                ASSERT_EQ(changedPixels(reference.image(), preview.image()).size(), 0u);
            }
        }
    }
}

TEST(SurfaceShapes, FinalArrowUsesThePatternColourAndTheCurrentMode) {
    // Highlighter arrow pointing left: yellow ANDed, so on white it is yellow and on black it
    // stays black.
    QImage half = plain({200, 150}, Qt::white);
    for (int y = 0; y < 150; ++y)
        for (int x = 100; x < 200; ++x) half.setPixel(x, y, qRgb(0, 0, 0));
    Surface s = surfaceShowing(half);
    Module1 m = pressedAt(180, 75, 13, 2, 14);
    setPen(s, m, 5, Surface::kTransparent);
    s.DrawMode = Surface::kMaskPen;
    DrawArrow(m, s, tw(20), tw(75), -1);
    EXPECT_EQ(s.DrawMode, Surface::kMaskPen);  // the final arrow leaves the mode alone
    const QRgb yellow = qRgb(255, 255, 0) & 0xffffff;
    EXPECT_EQ(rgb(s.image(), 50, 75), yellow);
    EXPECT_EQ(rgb(s.image(), 20, 75), yellow);
    EXPECT_EQ(rgb(s.image(), 150, 75), 0u);
    EXPECT_EQ(rgb(s.image(), 50, 40), 0xffffffu);

    // The head strokes reach back to (708, 837) and (708, 1412) twips: pixels (47, 56) and
    // (47, 94), mirror images about the shaft's row 75.
    EXPECT_EQ(rgb(s.image(), 47, 56), yellow);
    EXPECT_EQ(rgb(s.image(), 47, 94), yellow);
    int above = 0, below = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 100; ++x)
            if (y != 75 && rgb(s.image(), x, y) == yellow) ++(y < 75 ? above : below);
    EXPECT_NEAR(above, below, 0.05 * above);
    EXPECT_GT(above, 150);
}

TEST(SurfaceShapes, HighlighterAndsItsColourOntoThePicture) {
    QImage im = plain({64, 48}, Qt::white);
    for (int y = 0; y < 48; ++y) {
        for (int x = 32; x < 64; ++x) im.setPixel(x, y, qRgb(0, 0, 0));
        if (y >= 20 && y < 28)
            for (int x = 0; x < 64; ++x) im.setPixel(x, y, qRgb(128, 128, 128));
    }
    const QRgb yellow = qRgb(255, 255, 0) & 0xffffff;
    for (bool ellipse : {false, true}) {
        SCOPED_TRACE(ellipse ? "ellipse" : "box");
        Surface s = surfaceShowing(im);
        Module1 m = pressedAt(4, 4, 9, 2, 14);
        setPen(s, m, 4, Surface::kSolid);
        if (ellipse)
            s.Circle(tw(32), tw(24), tw(28), QBColor(m.drawColor), 20.0f / 28);
        else
            s.Line(m.startX, m.startY, tw(59), tw(43), QBColor(m.drawColor),
                   Surface::LineForm::Box);
        EXPECT_EQ(rgb(s.image(), 16, 10), yellow);                          // white
        EXPECT_EQ(rgb(s.image(), 48, 10), 0u);                              // black
        EXPECT_EQ(rgb(s.image(), 16, 24), qRgb(128, 128, 0) & 0xffffff);    // grey
        EXPECT_EQ(rgb(s.image(), 5, 10), ellipse ? 0xffffffu : yellow);     // the outline
        EXPECT_EQ(rgb(s.image(), 1, 1), 0xffffffu);                         // outside
        EXPECT_EQ(rgb(s.image(), 62, 46), 0u);
    }

    // A pen colour other than the fill colour: the outline shows the pen colour, not the AND
    // of both.
    Surface s = surfaceShowing(plain({64, 48}, Qt::white));
    s.DrawMode = Surface::kMaskPen;
    s.FillStyle = Surface::kSolid;
    s.FillColor = QBColor(14);
    s.DrawWidth = 3;
    s.Line(tw(10), tw(10), tw(50), tw(40), QBColor(11), Surface::LineForm::Box);
    EXPECT_EQ(rgb(s.image(), 30, 25), yellow);
    EXPECT_EQ(rgb(s.image(), 10, 25), qRgb(0, 255, 255) & 0xffffff);
    EXPECT_EQ(rgb(s.image(), 30, 40), qRgb(0, 255, 255) & 0xffffff);
}

TEST(SurfaceShapes, EllipseAndBoxFillTheDragBoxInEveryDirection) {
    const QSize size(200, 150);
    const Drag corners[] = {{40, 30, 160, 90}, {160, 90, 40, 30}, {160, 30, 40, 90},
                            {40, 90, 160, 30}};
    const int width = 2;
    QImage firstEllipse, firstBox;
    for (const Drag& d : corners) {
        SCOPED_TRACE(testing::Message() << d.x0 << "," << d.y0 << "-" << d.x1 << "," << d.y1);
        Module1 m = pressedAt(d.x0, d.y0, 13, 1, 0);

        Surface e = surfaceShowing(plain(size, Qt::white));
        setPen(e, m, width, Surface::kTransparent);
        auto fit = shapes::fitEllipse(m.startX, m.startY, tw(d.x1), tw(d.y1), 1);
        e.Circle(fit.centreX, fit.centreY, fit.radius, QBColor(0), fit.aspect);
        const auto drawn = changedPixels(plain(size, Qt::white), e.image());
        ASSERT_FALSE(drawn.empty());
        QRect box;
        for (QPoint p : drawn) box |= QRect(p, QSize(1, 1));
        // 120 x 60 pixels between the pixel centres, plus the pen on each side.
        EXPECT_NEAR(box.left(), 40 - width / 2, 1);
        EXPECT_NEAR(box.right(), 160 + width / 2, 1);
        EXPECT_NEAR(box.top(), 30 - width / 2, 1);
        EXPECT_NEAR(box.bottom(), 90 + width / 2, 1);
        // The ellipse touches the box's sides at their middles.
        EXPECT_EQ(rgb(e.image(), 40, 60), 0u);
        EXPECT_EQ(rgb(e.image(), 160, 60), 0u);
        EXPECT_EQ(rgb(e.image(), 100, 30), 0u);
        EXPECT_EQ(rgb(e.image(), 100, 90), 0u);
        EXPECT_EQ(rgb(e.image(), 100, 60), 0xffffffu);
        if (firstEllipse.isNull()) firstEllipse = e.image();
        EXPECT_TRUE(changedPixels(firstEllipse, e.image()).empty());

        Surface b = surfaceShowing(plain(size, Qt::white));
        setPen(b, m, width, Surface::kTransparent);
        PreviewBox(m, b, tw(d.x1), tw(d.y1));
        if (firstBox.isNull()) firstBox = b.image();
        EXPECT_TRUE(changedPixels(firstBox, b.image()).empty());
    }
}

TEST(SurfaceLine, ThinLinesLeaveOutTheirEndPixel) {
    Surface s = surfaceShowing(plain({64, 48}, Qt::white));
    s.DrawWidth = 1;
    s.ForeColor = QBColor(0);
    s.Line(tw(0), tw(1), tw(16), tw(1));
    for (int x = 0; x <= 15; ++x) EXPECT_EQ(rgb(s.image(), x, 1), 0u) << x;
    EXPECT_EQ(rgb(s.image(), 16, 1), 0xffffffu);

    s.Line(tw(5), tw(10), tw(5), tw(20));
    for (int y = 10; y <= 19; ++y) EXPECT_EQ(rgb(s.image(), 5, y), 0u) << y;
    EXPECT_EQ(rgb(s.image(), 5, 20), 0xffffffu);

    // Right to left: the start pixel at x = 40 is set, the end at x = 30 is not.
    s.Line(tw(40), tw(30), tw(30), tw(30));
    for (int x = 31; x <= 40; ++x) EXPECT_EQ(rgb(s.image(), x, 30), 0u) << x;
    EXPECT_EQ(rgb(s.image(), 30, 30), 0xffffffu);

    // A thin box includes both corner pixels and leaves a transparent interior alone.
    Surface b = surfaceShowing(plain({64, 48}, Qt::white));
    b.DrawWidth = 1;
    b.FillStyle = Surface::kTransparent;
    b.Line(tw(2), tw(2), tw(6), tw(5), QBColor(0), Surface::LineForm::Box);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 9; ++x) {
            const bool ring = (x >= 2 && x <= 6 && (y == 2 || y == 5)) ||
                              (y >= 2 && y <= 5 && (x == 2 || x == 6));
            EXPECT_EQ(rgb(b.image(), x, y), ring ? 0u : 0xffffffu) << x << "," << y;
        }
}

TEST(SurfaceCorners, RoundCornersBlackenTheRunsAndRestoreThePen) {
    auto checkCorners = [](const Surface& s) {
        const int w = s.pixelSize().width(), h = s.pixelSize().height();
        std::vector<int> length(size_t(h), 0);
        for (auto run : shapes::cornerRuns(w, h)) length[size_t(run.row)] = run.length;
        auto rowsToCheck = std::vector<int>{};
        for (int y = 0; y < 20; ++y) rowsToCheck.push_back(y);
        for (int y = h - 20; y < h; ++y) rowsToCheck.push_back(y);
        for (int y : rowsToCheck) {
            const int n = length[size_t(y)];
            for (int x : {0, n - 1, n, w / 2, w - n - 1, w - n, w - 1}) {
                if (x < 0 || x >= w) continue;
                const bool black = x < n || x >= w - n;
                EXPECT_EQ(rgb(s.image(), x, y), black ? 0u : 0xffffffu)
                    << w << "x" << h << " row " << y << " x " << x;
            }
        }
        // The visible runs: 16 pixels on the top row, 13 on the bottom row.
        EXPECT_EQ(rgb(s.image(), 15, 0), 0u);
        EXPECT_EQ(rgb(s.image(), 16, 0), 0xffffffu);
        EXPECT_EQ(rgb(s.image(), w - 16, 0), 0u);
        EXPECT_EQ(rgb(s.image(), w - 17, 0), 0xffffffu);
        EXPECT_EQ(rgb(s.image(), 12, h - 1), 0u);
        EXPECT_EQ(rgb(s.image(), 13, h - 1), 0xffffffu);
        EXPECT_EQ(rgb(s.image(), w - 13, h - 1), 0u);
        EXPECT_EQ(rgb(s.image(), w - 14, h - 1), 0xffffffu);
        EXPECT_EQ(rgb(s.image(), 0, 16), 0xffffffu);
        EXPECT_EQ(rgb(s.image(), 0, h - 16), 0xffffffu);
    };

    Surface s = surfaceShowing(plain({200, 150}, Qt::white));
    s.DrawMode = Surface::kInvert;
    s.FillStyle = Surface::kTransparent;
    s.FillColor = QBColor(12);
    s.ForeColor = QBColor(9);
    s.DrawWidth = 7;
    DrawRoundCorners(s);
    checkCorners(s);
    EXPECT_EQ(s.DrawMode, Surface::kInvert);
    EXPECT_EQ(s.FillStyle, Surface::kTransparent);
    EXPECT_EQ(s.FillColor, QBColor(12));
    EXPECT_EQ(s.ForeColor, QBColor(9));
    EXPECT_EQ(s.DrawWidth, 7);
    // Nothing but the corners changed.
    const QImage cornersAt15 = s.image();
    EXPECT_EQ(changedPixels(plain({200, 150}, Qt::white), cornersAt15).size(),
              2u * 2 * (16 + 13 + 10 + 8 + 6 + 5 + 4 + 4 + 3 + 3 + 2 + 2 + 2 + 1 + 1 + 1) - 2 * 16);

    // Another twips-per-pixel factor: the marks keep their size in pixels.
    Surface other(QSize(200, 150), 12);
    other.setImage(plain({200, 150}, Qt::white));
    DrawRoundCorners(other);
    EXPECT_TRUE(changedPixels(cornersAt15, other.image()).empty());

    // A 4K screen, wider than 16-bit twips can hold.
    Surface big = surfaceShowing(plain({3840, 2160}, Qt::white));
    DrawRoundCorners(big);
    checkCorners(big);
}

TEST(SurfaceLoupe, PointZoomShowsThePictureAtTwiceTheSize) {
    const QImage pattern = patterned({64, 48});
    struct Case {
        int px, py;  // press, pixels
        int sx, sy;  // expected source origin, pixels
    };
    // 64 x 48 is 960 x 720 twips: the centre, the top-left and the bottom-right corners.
    const Case cases[] = {{32, 24, 16, 12}, {1, 1, 0, 0}, {63, 47, 32, 24}, {63, 1, 32, 0},
                          {20, 30, 10, 15}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "press " << c.px << "," << c.py);
        Surface s = surfaceShowing(pattern);
        s.commit();
        // Drawn after the commit: the zoom shows the committed picture, not this.
        s.DrawWidth = 5;
        s.Line(tw(0), tw(0), tw(63), tw(47), QBColor(12));
        s.takeDirty();

        Module1 m = pressedAt(c.px, c.py, 13);
        ExpandAtPoint(m, s);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                ASSERT_EQ(rgb(s.image(), x, y), rgb(pattern, c.sx + x / 2, c.sy + y / 2))
                    << x << "," << y;
        EXPECT_EQ(s.takeDirty(), QRect(0, 0, 64, 48));
    }
}

TEST(SurfaceLoupe, DragZoomStretchesTheBoxOverTheCanvasAndTakeBackUndoesIt) {
    const QImage pattern = patterned({64, 48});
    Surface s = surfaceShowing(pattern);
    s.commit();
    Module1 m = pressedAt(8, 6, 13);
    m.pointerX = tw(24);
    m.pointerY = tw(18);
    const int32_t t = shapes::loupeThreshold(64, kTw);
    ASSERT_TRUE(shapes::loupeDragStretches(m.startX, m.startY, m.pointerX, m.pointerY, t));
    const auto box = shapes::loupeDragSource(m.startX, m.startY, m.pointerX, m.pointerY);
    s.DrawMode = Surface::kInvert;  // the stretch copies whatever the mode
    s.PaintPicture(s.picture(), 0, 0, s.Width(), s.Height(), box.x, box.y, box.width,
                   box.height);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(rgb(s.image(), x, y), rgb(pattern, 8 + x / 4, 6 + y / 4)) << x << "," << y;

    s.Cls();
    EXPECT_TRUE(changedPixels(pattern, s.image()).empty());
}

TEST(SurfaceImages, ClsReturnsToTheCommittedPicture) {
    const QImage pattern = patterned({64, 48});
    Surface s = surfaceShowing(pattern);
    // Nothing committed yet: the background colour.
    s.Cls();
    EXPECT_EQ(rgb(s.image(), 10, 10), s.backgroundColor().rgb() & 0xffffff);
    EXPECT_EQ(rgb(s.image(), 63, 47), s.backgroundColor().rgb() & 0xffffff);

    s.setImage(pattern);
    s.takeDirty();
    s.commit();
    EXPECT_TRUE(s.takeDirty().isEmpty());  // a commit changes nothing on the screen
    s.DrawWidth = 4;
    s.Line(tw(5), tw(5), tw(40), tw(30), QBColor(12));
    s.Circle(tw(30), tw(20), tw(10), QBColor(9), 1);
    EXPECT_FALSE(changedPixels(pattern, s.image()).empty());
    s.Cls();
    EXPECT_TRUE(changedPixels(pattern, s.image()).empty());
    EXPECT_EQ(s.takeDirty(), QRect(0, 0, 64, 48));

    // The next commit takes the newer drawing; take-back then goes back only to it.
    s.Line(tw(5), tw(40), tw(60), tw(40), QBColor(12));
    const QImage withLine = s.image().copy();
    s.commit();
    s.Line(tw(5), tw(5), tw(60), tw(5), QBColor(10));
    s.Cls();
    EXPECT_TRUE(changedPixels(withLine, s.image()).empty());
}

TEST(SurfaceDirty, DirtyRectangleCoversEveryChangedPixel) {
    const QImage original = patterned({200, 150});
    Surface s = surfaceShowing(original);
    Module1 m = pressedAt(60, 40, 9, 3, 14);

    std::vector<std::pair<std::string, std::function<void()>>> steps = {
        {"line", [&] { PreviewLine(m, s, tw(150), tw(120)); }},
        {"box", [&] { PreviewBox(m, s, tw(10), tw(130)); }},
        {"ellipse", [&] { PreviewEllipse(m, s, tw(100), tw(70), tw(45), 0.5f); }},
        {"tall ellipse", [&] { PreviewEllipse(m, s, tw(100), tw(70), tw(45), 2.5f); }},
        {"arrow", [&] { DrawArrow(m, s, tw(190), tw(10), 0); }},
        {"final arrow", [&] { DrawArrow(m, s, tw(5), tw(140), -1); }},
        {"final box", [&] { s.Line(m.startX, m.startY, tw(199), tw(149), QBColor(14),
                                   Surface::LineForm::Box); }},
        {"final circle", [&] { s.Circle(tw(0), tw(0), tw(30), QBColor(12), 1); }},
        {"free segment", [&] { s.Line(tw(3), tw(3), tw(4), tw(140), QBColor(12)); }},
        {"corners", [&] { DrawRoundCorners(s); }},
    };
    for (int width : {1, 2, 7, 10}) {
        for (int fillStyle : {Surface::kSolid, Surface::kTransparent}) {
            for (auto& [name, step] : steps) {
                SCOPED_TRACE(testing::Message() << name << " width " << width << " fill "
                                                << fillStyle);
                s.setImage(original);
                s.takeDirty();
                setPen(s, m, width, fillStyle);
                const QImage before = s.image().copy();
                step();
                const QRect dirty = s.takeDirty();
                const auto changed = changedPixels(before, s.image());
                EXPECT_FALSE(changed.empty());
                for (QPoint p : changed) ASSERT_TRUE(dirty.contains(p)) << p.x() << "," << p.y();
                EXPECT_TRUE(s.takeDirty().isEmpty());
            }
        }
    }
}

TEST(SurfaceDirty, SmallShapeOnABigScreenDirtiesOnlyItsBox) {
    Surface s = surfaceShowing(plain({1920, 1080}, Qt::white));
    const int width = 10;
    Module1 m = pressedAt(900, 500, 13, 5, 12);
    setPen(s, m, width, Surface::kSolid);
    // Everything below lies within (900..1000) x (440..560) pixels, plus the pen.
    const QRect shape(900 - width, 440 - width, 100 + 2 * width, 120 + 2 * width);

    PreviewLine(m, s, tw(1000), tw(560));
    EXPECT_TRUE(shape.contains(s.takeDirty()));
    PreviewBox(m, s, tw(1000), tw(560));
    EXPECT_TRUE(shape.contains(s.takeDirty()));
    PreviewEllipse(m, s, tw(950), tw(530), tw(50), 0.6f);
    EXPECT_TRUE(shape.contains(s.takeDirty()));
    DrawArrow(m, s, tw(1000), tw(500), 0);  // heads 1250 twips: about 70 pixels back
    const QRect arrow = s.takeDirty();
    EXPECT_TRUE(shape.contains(arrow));
    EXPECT_LT(arrow.width() * arrow.height(), 200 * 200);
    // A highlighter dot smaller than its pen, outlined in another colour.
    s.DrawMode = Surface::kMaskPen;
    s.FillColor = QBColor(14);
    s.Circle(tw(950), tw(500), tw(3), QBColor(12), 1);
    EXPECT_TRUE(shape.contains(s.takeDirty()));
    s.Line(tw(950), tw(500), tw(952), tw(501), QBColor(12), Surface::LineForm::Box);
    EXPECT_TRUE(shape.contains(s.takeDirty()));
}

TEST(SurfaceColours, QBColorPalette) {
    const QRgb expected[16] = {
        qRgb(0, 0, 0),       qRgb(0, 0, 128),     qRgb(0, 128, 0),     qRgb(0, 128, 128),
        qRgb(128, 0, 0),     qRgb(128, 0, 128),   qRgb(128, 128, 0),   qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(0, 0, 255),     qRgb(0, 255, 0),     qRgb(0, 255, 255),
        qRgb(255, 0, 0),     qRgb(255, 0, 255),   qRgb(255, 255, 0),   qRgb(255, 255, 255),
    };
    for (int i = 0; i < 16; ++i) EXPECT_EQ(QBColor(i).rgb(), expected[i]) << i;
    for (int i : {-1, 16, 255, 100000}) EXPECT_EQ(QBColor(i).rgb(), qRgb(0, 0, 0)) << i;
}
