#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <string>
#include <tuple>
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
constexpr QRgb kBlack = 0, kWhite = 0xffffff, kYellow = 0xffff00, kCyan = 0x00ffff;

QRgb rgb(const QImage& im, int x, int y) { return im.pixel(x, y) & 0xffffff; }

void expectPixels(const QImage& im, std::initializer_list<std::tuple<int, int, QRgb>> expected) {
    for (auto [x, y, c] : expected) EXPECT_EQ(rgb(im, x, y), c) << "pixel " << x << "," << y;
}

QImage patterned(QSize size) {
    QImage im(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            im.setPixel(x, y, qRgb((x * 37 + y * 11) & 255, (x * 5 + y * 71) & 255, ((x ^ y) * 13) & 255));
    return im;
}

QImage plain(QSize size) {
    QImage im(size, QImage::Format_RGB32);
    im.fill(Qt::white);
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

Module1 pressedAt(int x, int y, uint8_t penMode, uint8_t lineWidth = 2, uint8_t drawColor = 12) {
    Module1 m;
    m.startX = tw(x);
    m.startY = tw(y);
    m.penMode = penMode;
    m.lineWidth = lineWidth;
    m.drawColor = drawColor;
    return m;
}

void setPen(Surface& s, const Module1& m, int drawWidth, int fillStyle) {
    s.DrawMode = m.penMode;
    s.FillStyle = fillStyle;
    s.FillColor = s.ForeColor = QBColor(m.drawColor);
    s.DrawWidth = drawWidth;
}

struct Drag {
    int x0, y0, x1, y1;
};

const std::pair<std::string, std::function<void(const Module1&, Surface&, const Drag&)>> kPreviews[] = {
    {"line", [](const Module1& m, Surface& s, const Drag& d) { PreviewLine(m, s, tw(d.x1), tw(d.y1)); }},
    {"box", [](const Module1& m, Surface& s, const Drag& d) { PreviewBox(m, s, tw(d.x1), tw(d.y1)); }},
    {"ellipse", [](const Module1& m, Surface& s, const Drag& d) {
         auto fit = shapes::fitEllipse(m.startX, m.startY, tw(d.x1), tw(d.y1), 1);
         PreviewEllipse(m, s, fit.centreX, fit.centreY, fit.radius, fit.aspect);
     }},
    {"arrow", [](const Module1& m, Surface& s, const Drag& d) { DrawArrow(m, s, tw(d.x1), tw(d.y1), 0); }},
};

}  // namespace

TEST(SurfacePreview, InvertingTwiceRestoresEveryPixelForEveryPreviewAndWidth) {
    const QImage original = patterned({64, 48});
    const Drag drags[] = {{10, 10, 50, 40}, {50, 40, 10, 10}, {50, 8, 12, 41}, {32, 24, 32, 24}, {5, 20, 60, 20},
                          {20, 5, 20, 45},  {30, 30, 31, 29}, {0, 0, 63, 47},  {-5, -5, 70, 60}};
    auto unbroken = [](const std::vector<int>& v) { return v.empty() || v.back() - v.front() + 1 == int(v.size()); };
    for (const auto& [name, draw] : kPreviews)
        for (int width = 1; width <= 10; ++width)
            for (int fill : {Surface::kSolid, Surface::kTransparent})
                for (uint8_t penMode : {uint8_t(13), uint8_t(9)})
                    for (const Drag& d : drags) {
                        SCOPED_TRACE(testing::Message() << name << " width " << width << " fill " << fill << " pen "
                                                        << int(penMode) << " drag " << d.x0 << "," << d.y0 << "-"
                                                        << d.x1 << "," << d.y1);
                        Surface s = surfaceShowing(original);
                        Module1 m = pressedAt(d.x0, d.y0, penMode, uint8_t((width + 1) / 2));
                        setPen(s, m, width, fill);
                        draw(m, s, d);
                        EXPECT_EQ(s.DrawMode, penMode);
                        const auto changed = changedPixels(original, s.image());
                        std::vector<std::vector<int>> rows(48), columns(64);
                        for (QPoint p : changed) {
                            ASSERT_EQ(rgb(s.image(), p.x(), p.y()), ~rgb(original, p.x(), p.y()) & 0xffffff);
                            rows[size_t(p.y())].push_back(p.x());
                            columns[size_t(p.x())].push_back(p.y());
                        }
                        // Only a thin line of no length and a hollow box round the whole image show nothing.
                        const bool invisible = (name == "line" && width == 1 && d.x0 == d.x1 && d.y0 == d.y1) ||
                                               (name == "box" && fill == Surface::kTransparent && d.x0 < 0 && width < 10);
                        EXPECT_EQ(changed.empty(), invisible);
                        if (fill == Surface::kSolid && (name == "box" || name == "ellipse")) {
                            // One inverted pass over outline and interior: every row and column is one run, and
                            // a box covers its corners.
                            for (const auto& run : rows) EXPECT_TRUE(unbroken(run));
                            for (const auto& run : columns) EXPECT_TRUE(unbroken(run));
                            for (QPoint c : {QPoint(d.x0, d.y0), QPoint(d.x1, d.y1)}) {
                                if (name == "box" && original.rect().contains(c)) {
                                    EXPECT_NE(rgb(s.image(), c.x(), c.y()), rgb(original, c.x(), c.y()));
                                }
                            }
                        }
                        if (name == "arrow") {
                            // Exactly the pixels of the three strokes drawn one by one, also where they overlap.
                            Surface strokes = surfaceShowing(plain({64, 48}));
                            strokes.DrawWidth = width;
                            auto heads = shapes::arrowHeads(m.startX, m.startY, tw(d.x1), tw(d.y1), m.lineWidth);
                            for (auto from : {shapes::TwipPoint{m.startX, m.startY}, heads.first, heads.second})
                                strokes.Line(from.x, from.y, tw(d.x1), tw(d.y1));
                            EXPECT_EQ(changed, changedPixels(plain({64, 48}), strokes.image()));
                        }
                        draw(m, s, d);
                        EXPECT_EQ(s.DrawMode, penMode);
                        ASSERT_TRUE(changedPixels(original, s.image()).empty());
                    }
}

TEST(SurfaceShapes, MaskPenAndsTheColourOfShapesAndTheFinalArrow) {
    QImage im = plain({64, 48});
    for (int y = 0; y < 48; ++y) {
        for (int x = 32; x < 64; ++x) im.setPixel(x, y, qRgb(0, 0, 0));
        if (y >= 20 && y < 28)
            for (int x = 0; x < 64; ++x) im.setPixel(x, y, qRgb(128, 128, 128));
    }
    for (bool ellipse : {false, true}) {
        SCOPED_TRACE(ellipse ? "ellipse" : "box");
        Surface s = surfaceShowing(im);
        Module1 m = pressedAt(4, 4, 9, 2, 14);
        setPen(s, m, 4, Surface::kSolid);
        if (ellipse)
            s.Circle(tw(32), tw(24), tw(28), QBColor(m.drawColor), 20.0f / 28);
        else
            s.Line(m.startX, m.startY, tw(59), tw(43), QBColor(m.drawColor), Surface::LineForm::Box);
        // Over white, black and grey; on the box's outline; outside.
        expectPixels(s.image(), {{16, 10, kYellow}, {48, 10, kBlack}, {16, 24, 0x808000},
                                 {5, 10, ellipse ? kWhite : kYellow}, {1, 1, kWhite}, {62, 46, kBlack}});
    }

    // The final arrow: the pattern colour in the current mode, which it leaves alone. Shaft, tip, the ends of both
    // head strokes, the black half, untouched white.
    Surface a = surfaceShowing(im);
    Module1 m = pressedAt(60, 10, 13, 1, 14);
    setPen(a, m, 3, Surface::kTransparent);
    a.DrawMode = Surface::kMaskPen;
    DrawArrow(m, a, tw(4), tw(10), -1);
    EXPECT_EQ(a.DrawMode, Surface::kMaskPen);
    const auto [h1, h2] = shapes::arrowHeads(m.startX, m.startY, tw(4), tw(10), 1);
    expectPixels(a.image(), {{10, 10, kYellow}, {4, 10, kYellow}, {int(h1.x / kTw), int(h1.y / kTw), kYellow},
                             {int(h2.x / kTw), int(h2.y / kTw), kYellow}, {50, 10, kBlack}, {10, 30, kWhite}});

    // A pen colour other than the fill colour: the outline shows the pen colour, not the AND of both.
    Surface s = surfaceShowing(plain({64, 48}));
    s.DrawMode = Surface::kMaskPen;
    s.FillStyle = Surface::kSolid;
    s.FillColor = QBColor(14);
    s.DrawWidth = 3;
    s.Line(tw(10), tw(10), tw(50), tw(40), QBColor(11), Surface::LineForm::Box);
    expectPixels(s.image(), {{30, 25, kYellow}, {10, 25, kCyan}, {30, 40, kCyan}});
}

TEST(SurfaceShapes, EllipseFillsTheDragBox) {
    // A 120 x 60 pixel drag: the ellipse spans it plus half the pen, touching the sides at their middles.
    Surface e = surfaceShowing(plain({200, 150}));
    e.DrawWidth = 2;
    auto fit = shapes::fitEllipse(tw(40), tw(30), tw(160), tw(90), 1);
    e.Circle(fit.centreX, fit.centreY, fit.radius, QBColor(0), fit.aspect);
    QRect box;
    for (QPoint p : changedPixels(plain({200, 150}), e.image())) box |= QRect(p, QSize(1, 1));
    EXPECT_NEAR(box.left(), 39, 1);
    EXPECT_NEAR(box.right(), 161, 1);
    EXPECT_NEAR(box.top(), 29, 1);
    EXPECT_NEAR(box.bottom(), 91, 1);
    expectPixels(e.image(), {{40, 60, kBlack}, {160, 60, kBlack}, {100, 30, kBlack}, {100, 90, kBlack},
                             {100, 60, kWhite}});
}

TEST(SurfaceLine, ThinLinesLeaveOutTheirEndPixel) {
    Surface s = surfaceShowing(plain({64, 48}));
    s.DrawWidth = 1;
    s.ForeColor = QBColor(0);
    for (const Drag& d : {Drag{0, 1, 16, 1}, Drag{5, 10, 5, 20}, Drag{40, 30, 30, 30}}) {
        s.Line(tw(d.x0), tw(d.y0), tw(d.x1), tw(d.y1));
        const int dx = (d.x1 > d.x0) - (d.x1 < d.x0), dy = (d.y1 > d.y0) - (d.y1 < d.y0);
        const int n = std::abs(d.x1 - d.x0) + std::abs(d.y1 - d.y0);
        for (int i = 0; i <= n; ++i)
            EXPECT_EQ(rgb(s.image(), d.x0 + i * dx, d.y0 + i * dy), i < n ? kBlack : kWhite)
                << d.x0 << "," << d.y0 << " step " << i;
    }

    // A thin box includes both corner pixels and leaves a transparent interior alone.
    Surface b = surfaceShowing(plain({64, 48}));
    b.FillStyle = Surface::kTransparent;
    b.Line(tw(2), tw(2), tw(6), tw(5), QBColor(0), Surface::LineForm::Box);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 9; ++x) {
            const bool ring = (x >= 2 && x <= 6 && (y == 2 || y == 5)) || (y >= 2 && y <= 5 && (x == 2 || x == 6));
            EXPECT_EQ(rgb(b.image(), x, y), ring ? kBlack : kWhite) << x << "," << y;
        }
}

TEST(SurfaceCorners, RoundCornersBlackenTheRunsAndRestoreThePen) {
    // Each run blackened at both ends of its row, nothing else; 16 pixels on the top row, 13 on the bottom row.
    auto checkCorners = [](const Surface& s) {
        const int w = s.pixelSize().width(), h = s.pixelSize().height();
        SCOPED_TRACE(w);
        size_t total = 0;
        for (auto run : shapes::cornerRuns(w, h)) {
            const int n = run.length, y = run.row;
            expectPixels(s.image(), {{n - 1, y, kBlack}, {n, y, kWhite}, {w - n, y, kBlack}, {w - n - 1, y, kWhite}});
            total += 2 * size_t(n);
        }
        EXPECT_EQ(changedPixels(plain(s.pixelSize()), s.image()).size(), total);
        expectPixels(s.image(), {{15, 0, kBlack}, {16, 0, kWhite}, {12, h - 1, kBlack}, {13, h - 1, kWhite}});
    };

    Surface s = surfaceShowing(plain({200, 150}));
    s.DrawMode = Surface::kInvert;
    s.FillStyle = Surface::kTransparent;
    s.FillColor = QBColor(12);
    s.ForeColor = QBColor(9);
    s.DrawWidth = 7;
    DrawRoundCorners(s);
    checkCorners(s);
    EXPECT_EQ(std::tuple(s.DrawMode, s.FillStyle, s.FillColor.rgb(), s.ForeColor.rgb(), s.DrawWidth),
              std::tuple(int(Surface::kInvert), int(Surface::kTransparent), QBColor(12).rgb(), QBColor(9).rgb(), 7));

    // Another twips-per-pixel factor: the marks keep their size in pixels.
    Surface other(QSize(200, 150), 12);
    other.setImage(plain({200, 150}));
    DrawRoundCorners(other);
    EXPECT_TRUE(changedPixels(s.image(), other.image()).empty());

    // A 4K screen, wider than 16-bit twips can hold.
    Surface big = surfaceShowing(plain({3840, 2160}));
    DrawRoundCorners(big);
    checkCorners(big);
}

TEST(SurfaceImages, TakeBackAndLoupeUseTheCommittedPicture) {
    const QImage pattern = patterned({64, 48});
    Surface s = surfaceShowing(pattern);
    s.Cls();  // nothing committed yet: the background colour
    const QRgb background = s.backgroundColor().rgb() & 0xffffff;
    expectPixels(s.image(), {{10, 10, background}, {63, 47, background}});
    s.setImage(pattern);
    s.takeDirty();
    s.commit();
    EXPECT_TRUE(s.takeDirty().isEmpty());  // a commit changes nothing on the screen
    auto drawOver = [&] {
        s.DrawWidth = 5;
        s.Line(tw(0), tw(0), tw(63), tw(47), QBColor(12));
        s.Circle(tw(30), tw(20), tw(10), QBColor(9), 1);
        ASSERT_FALSE(changedPixels(pattern, s.image()).empty());
        s.takeDirty();
    };
    drawOver();
    s.Cls();
    EXPECT_TRUE(changedPixels(pattern, s.image()).empty());
    EXPECT_EQ(s.takeDirty(), QRect(0, 0, 64, 48));

    // Point zoom: twice the size about the press. Press and source origin in pixels: centre, corners, edge.
    for (const Drag& c : {Drag{32, 24, 16, 12}, Drag{1, 1, 0, 0}, Drag{63, 47, 32, 24}, Drag{63, 1, 32, 0},
                          Drag{20, 30, 10, 15}}) {
        SCOPED_TRACE(testing::Message() << "press " << c.x0 << "," << c.y0);
        drawOver();  // drawn after the commit: the zoom shows the committed picture, not this
        ExpandAtPoint(pressedAt(c.x0, c.y0, 13), s);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                ASSERT_EQ(rgb(s.image(), x, y), rgb(pattern, c.x1 + x / 2, c.y1 + y / 2)) << x << "," << y;
        EXPECT_EQ(s.takeDirty(), QRect(0, 0, 64, 48));
    }

    // Drag zoom: the dragged box stretched over the canvas, whatever the mode, then taken back.
    Module1 m = pressedAt(8, 6, 13);
    m.pointerX = tw(24);
    m.pointerY = tw(18);
    ASSERT_TRUE(
        shapes::loupeDragStretches(m.startX, m.startY, m.pointerX, m.pointerY, shapes::loupeThreshold(64, kTw)));
    const auto box = shapes::loupeDragSource(m.startX, m.startY, m.pointerX, m.pointerY);
    s.DrawMode = Surface::kInvert;
    s.PaintPicture(s.picture(), 0, 0, s.Width(), s.Height(), box.x, box.y, box.width, box.height);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(rgb(s.image(), x, y), rgb(pattern, 8 + x / 4, 6 + y / 4)) << x << "," << y;
    s.Cls();
    EXPECT_TRUE(changedPixels(pattern, s.image()).empty());
}

TEST(SurfaceDirty, DirtyRectangleCoversEveryChangedPixelAndLittleMore) {
    const QImage original = patterned({200, 150});
    Surface s = surfaceShowing(original);
    Module1 m = pressedAt(60, 40, 9, 3, 14);
    const std::pair<std::string, std::function<void()>> steps[] = {
        {"line", [&] { PreviewLine(m, s, tw(150), tw(120)); }},
        {"box", [&] { PreviewBox(m, s, tw(10), tw(130)); }},
        {"ellipse", [&] { PreviewEllipse(m, s, tw(100), tw(70), tw(45), 0.5f); }},
        {"tall ellipse", [&] { PreviewEllipse(m, s, tw(100), tw(70), tw(45), 2.5f); }},
        {"arrow", [&] { DrawArrow(m, s, tw(190), tw(10), 0); }},
        {"final arrow", [&] { DrawArrow(m, s, tw(5), tw(140), -1); }},
        {"final box", [&] { s.Line(m.startX, m.startY, tw(199), tw(149), QBColor(14), Surface::LineForm::Box); }},
        {"final circle", [&] { s.Circle(tw(0), tw(0), tw(30), QBColor(12), 1); }},
        {"dot smaller than the pen", [&] { s.Circle(tw(100), tw(100), tw(3), QBColor(12), 1); }},
        {"small box", [&] { s.Line(tw(100), tw(100), tw(102), tw(101), QBColor(12), Surface::LineForm::Box); }},
        {"free segment", [&] { s.Line(tw(3), tw(3), tw(4), tw(140), QBColor(12)); }},
        {"corners", [&] { DrawRoundCorners(s); }},
    };
    for (int width : {1, 2, 7, 10})
        for (int fill : {Surface::kSolid, Surface::kTransparent})
            for (auto& [name, step] : steps) {
                SCOPED_TRACE(testing::Message() << name << " width " << width << " fill " << fill);
                s.setImage(original);
                s.takeDirty();
                setPen(s, m, width, fill);
                const QImage before = s.image().copy();
                step();
                const QRect dirty = s.takeDirty();
                QRect changed;
                for (QPoint p : changedPixels(before, s.image())) changed |= QRect(p, QSize(1, 1));
                // It covers every changed pixel, and little more: the window repaints only that.
                ASSERT_FALSE(changed.isEmpty());
                EXPECT_TRUE(dirty.contains(changed));
                EXPECT_TRUE(changed.adjusted(-width - 2, -width - 2, width + 2, width + 2).contains(dirty));
                EXPECT_TRUE(s.takeDirty().isEmpty());
            }
}

TEST(SurfaceColours, QBColorPalette) {
    const QRgb expected[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xc0c0c0,
                               0x808080, 0x0000ff, 0x00ff00, 0x00ffff, 0xff0000, 0xff00ff, 0xffff00, 0xffffff};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(QBColor(i).rgb() & 0xffffff, expected[i]) << i;
    for (int i : {-1, 16, 255, 100000}) EXPECT_EQ(QBColor(i).rgb(), qRgb(0, 0, 0)) << i;
}
