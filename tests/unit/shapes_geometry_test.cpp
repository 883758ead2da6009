#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "canvas/Surface.h"
#include "shapes/ArrowGeometry.h"
#include "shapes/CornerGeometry.h"
#include "shapes/EllipseFit.h"
#include "shapes/LoupeGeometry.h"

using shapes::TwipPoint;

namespace {

void expectPoint(TwipPoint p, float x, float y) {
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
}

// Angle in degrees between the head stroke (tip -> head) and the shaft seen from the tip.
double openingDegrees(TwipPoint head, TwipPoint start, TwipPoint tip) {
    const double ax = head.x - tip.x, ay = head.y - tip.y;
    const double bx = start.x - tip.x, by = start.y - tip.y;
    const double c = (ax * bx + ay * by) / (std::hypot(ax, ay) * std::hypot(bx, by));
    return std::acos(c) * 180 / std::numbers::pi;
}

// Which side of the shaft the point lies on: the sign of the cross product.
double side(TwipPoint p, TwipPoint start, TwipPoint tip) {
    return (tip.x - start.x) * (p.y - start.y) - (tip.y - start.y) * (p.x - start.x);
}

}  // namespace

TEST(ArrowGeometry, HeadPointsOfTheFourAxisDirections) {
    // lineWidth 2: heads 500 twips long.
    auto right = shapes::arrowHeads(0, 0, 1500, 0, 2);
    expectPoint(right.first, 1090, 287);
    expectPoint(right.second, 1090, -288);

    auto left = shapes::arrowHeads(1500, 0, 0, 0, 2);
    expectPoint(left.first, 408, -288);
    expectPoint(left.second, 408, 287);

    auto down = shapes::arrowHeads(0, 0, 0, 1500, 2);
    expectPoint(down.first, -288, 1090);
    expectPoint(down.second, 287, 1090);

    auto up = shapes::arrowHeads(0, 1500, 0, 0, 2);
    expectPoint(up.first, 287, 408);
    expectPoint(up.second, -288, 408);

    // The same shapes anywhere on the screen: only the offsets from the tip count.
    auto moved = shapes::arrowHeads(3000, 4500, 3000, 3000, 2);
    expectPoint(moved.first, 3287, 3408);
    expectPoint(moved.second, 2712, 3408);
}

TEST(ArrowGeometry, HeadsOpenAboutThirtyFiveDegreesOnBothSidesInEveryDirection) {
    const TwipPoint start{6000, 6000};
    const TwipPoint tips[] = {{9000, 6000}, {9000, 8000}, {7000, 9500}, {6000, 9000},
                              {4000, 8500}, {3000, 6000}, {3500, 4000}, {6000, 2000},
                              {8200, 3100}, {6001, 1000}, {5999, 1000}};
    for (int width = 1; width <= 5; ++width) {
        for (TwipPoint tip : tips) {
            SCOPED_TRACE(testing::Message() << "width " << width << " tip " << tip.x << ","
                                            << tip.y);
            auto heads = shapes::arrowHeads(start.x, start.y, tip.x, tip.y, width);
            for (TwipPoint h : {heads.first, heads.second}) {
                EXPECT_NEAR(std::hypot(h.x - tip.x, h.y - tip.y), 250.0 * width, 1.5);
                EXPECT_NEAR(openingDegrees(h, start, tip), 35.1, 0.4);
            }
            // One stroke each side of the shaft.
            EXPECT_LT(side(heads.first, start, tip) * side(heads.second, start, tip), 0);
        }
    }
}

TEST(ArrowGeometry, ZeroLengthAndOutOfRangeWidths) {
    // The press draws an arrow whose tip is the start: two strokes opening upwards, 500 long.
    auto dot = shapes::arrowHeads(3000, 3000, 3000, 3000, 2);
    for (TwipPoint h : {dot.first, dot.second}) {
        EXPECT_LT(h.y, 3000 - 400);
        EXPECT_NEAR(std::hypot(h.x - 3000, h.y - 3000), 500, 1.5);
    }
    EXPECT_LT(dot.first.x, 3000);
    EXPECT_GT(dot.second.x, 3000);

    // Head lengths by width, and none outside 1..5.
    for (int width = 1; width <= 5; ++width)
        EXPECT_EQ(shapes::arrowHeadLength(width), 250.0 * width);
    for (int width : {0, 6, 10, 255, -1}) {
        SCOPED_TRACE(width);
        auto heads = shapes::arrowHeads(0, 0, 1500, 900, width);
        expectPoint(heads.first, 1500, 900);
        expectPoint(heads.second, 1500, 900);
    }
}

TEST(EllipseFit, FillsTheDragBoxInEveryDirection) {
    // The worked example, dragged both ways.
    for (auto [sx, sy, x, y] : {std::array<float, 4>{1500, 1500, 4500, 2400},
                                std::array<float, 4>{4500, 2400, 1500, 1500}}) {
        auto fit = shapes::fitEllipse(sx, sy, x, y, 1);
        EXPECT_EQ(fit.centreX, 3000);
        EXPECT_EQ(fit.centreY, 1950);
        EXPECT_EQ(fit.radius, 1500);
        EXPECT_FLOAT_EQ(fit.aspect, 0.3f);
    }

    // With the Circle rule the semi-axes are half the box's sides, wide or tall, any quadrant.
    const float boxes[][2] = {{3000, 900}, {900, 3000}, {1200, 1200}, {15, 4500}, {4500, 15}};
    for (auto [w, h] : boxes) {
        for (int sxSign : {1, -1}) {
            for (int sySign : {1, -1}) {
                SCOPED_TRACE(testing::Message() << w << "x" << h << " " << sxSign << sySign);
                const float sx = 6000, sy = 5000;
                auto fit = shapes::fitEllipse(sx, sy, sx + sxSign * w, sy + sySign * h, 1);
                EXPECT_FLOAT_EQ(fit.centreX, sx + sxSign * w / 2);
                EXPECT_FLOAT_EQ(fit.centreY, sy + sySign * h / 2);
                SemiAxes axes = circleSemiAxes(fit.radius, fit.aspect);
                EXPECT_NEAR(axes.horizontal, w / 2, 1e-3);
                EXPECT_NEAR(axes.vertical, h / 2, 1e-3);
            }
        }
    }
}

TEST(EllipseFit, PressColumnKeepsTheAspect) {
    // Straight down: a circle as wide as the drag is long (aspect 1 from the press).
    auto down = shapes::fitEllipse(3000, 3000, 3000, 4200, 1);
    EXPECT_EQ(down.radius, 600);
    EXPECT_EQ(down.aspect, 1);
    EXPECT_EQ(down.centreX, 3000);
    EXPECT_EQ(down.centreY, 3600);

    // Back in the press column (less than a twip off) after a wide move: the last aspect stays.
    auto back = shapes::fitEllipse(3000, 3000, 3000.5f, 3300, 0.25f);
    EXPECT_EQ(back.aspect, 0.25f);
    EXPECT_EQ(back.radius, 150);
    // One twip off is enough for a new aspect.
    auto near = shapes::fitEllipse(3000, 3000, 3001, 3300, 0.25f);
    EXPECT_FLOAT_EQ(near.aspect, 300);

    // A purely horizontal drag is a flat ellipse; a square drag a circle.
    EXPECT_EQ(shapes::fitEllipse(0, 0, 900, 0, 1).aspect, 0);
    auto square = shapes::fitEllipse(0, 0, -900, 900, 0.5f);
    EXPECT_EQ(square.aspect, 1);
    EXPECT_EQ(square.radius, 450);
}

TEST(LoupeGeometry, ThresholdIsTwoPercentOfTheScreenWidth) {
    EXPECT_EQ(shapes::loupeThreshold(1024, 15), 307);  // 307.2
    EXPECT_EQ(shapes::loupeThreshold(1366, 15), 410);  // 409.8
    EXPECT_EQ(shapes::loupeThreshold(1275, 15), 382);  // 382.5, to the even neighbour
    EXPECT_EQ(shapes::loupeThreshold(1277, 15), 383);  // 383.1
    EXPECT_EQ(shapes::loupeThreshold(3840, 15), 1152);
    EXPECT_EQ(shapes::loupeThreshold(2560, 12), 614);  // 614.4: the factor is the platform's

    // On a 1200-pixel screen t = 360: exactly t is not enough, in either direction.
    const int32_t t = shapes::loupeThreshold(1200, 15);
    ASSERT_EQ(t, 360);
    EXPECT_FALSE(shapes::loupeDragStretches(1000, 1000, 1360, 2000, t));
    EXPECT_FALSE(shapes::loupeDragStretches(1000, 1000, 2000, 1360, t));
    EXPECT_TRUE(shapes::loupeDragStretches(1000, 1000, 1361, 1361, t));
    // Up or to the left never stretches, however long the drag.
    EXPECT_FALSE(shapes::loupeDragStretches(9000, 9000, 1000, 1000, t));
    EXPECT_FALSE(shapes::loupeDragStretches(1000, 9000, 9000, 1000, t));
    EXPECT_FALSE(shapes::loupeDragStretches(9000, 1000, 1000, 9000, t));

    auto box = shapes::loupeDragSource(1500, 750, 4500, 3000);
    EXPECT_EQ(box.x, 1500);
    EXPECT_EQ(box.y, 750);
    EXPECT_EQ(box.width, 3000);
    EXPECT_EQ(box.height, 2250);
}

TEST(LoupeGeometry, PointZoomRegionsOnA1024x768Screen) {
    auto at = [](float x, float y) { return shapes::expandRegion(x, y, 1024, 768, 15, 15); };
    auto expectSource = [](const shapes::LoupeRegion& r, double x, double y) {
        EXPECT_NEAR(r.source.x, x, 1e-3);
        EXPECT_NEAR(r.source.y, y, 1e-3);
        // Always half the screen each way: a magnification of 2.
        EXPECT_NEAR(r.source.width, 7680, 1e-3);
        EXPECT_NEAR(r.source.height, 5760, 1e-3);
    };
    expectSource(at(7680, 5760), 3840, 2880);  // the centre: the middle quarter
    expectSource(at(300, 300), 0, 0);          // top-left quarter
    expectSource(at(15000, 11000), 7680, 5760);
    expectSource(at(15000, 300), 7680, 0);
    expectSource(at(300, 11000), 0, 5760);

    EXPECT_EQ(at(300, 300).rx, 0.0f);
    EXPECT_EQ(at(300, 300).ry, 0.0f);
    EXPECT_EQ(at(15000, 11000).rx, 0.5f);
    EXPECT_EQ(at(15000, 11000).ry, 0.5f);

    // Snapping to the left edge ends between x = 600 (rx 0.0195) and x = 700 (rx 0.0228).
    EXPECT_EQ(at(600, 5760).source.x, 0);
    EXPECT_NEAR(at(700, 5760).source.x, 350, 1e-3);
    // To the top edge between y = 690 (ry 0.0299) and y = 700 (ry 0.0304).
    EXPECT_EQ(at(7680, 690).source.y, 0);
    EXPECT_NEAR(at(7680, 700).source.y, 350, 1e-3);

    // Away from the edges the press point stays put: the region starts at half of it.
    for (float x : {800.0f, 4000.0f, 9999.0f, 14500.0f}) {
        for (float y : {800.0f, 5000.0f, 10000.0f}) {
            auto r = at(x, y);
            EXPECT_NEAR(r.source.x, x / 2, 1e-2);
            EXPECT_NEAR(r.source.y, y / 2, 1.0);  // the bottom edge is a whole twip
            // Shown at twice the size over the whole screen, the press point lands on itself.
            EXPECT_NEAR((x - r.source.x) * 15360 / r.source.width, x, 1e-2);
            EXPECT_NEAR((y - r.source.y) * 11520 / r.source.height, y, 2.0);
        }
    }
}

TEST(LoupeGeometry, PointZoomUsesThePlatformFactor) {
    // 1280 x 960 at 12 twips per pixel is the same twip screen as 1024 x 768 at 15.
    auto r = shapes::expandRegion(7680, 5760, 1280, 960, 12, 12);
    EXPECT_NEAR(r.source.x, 3840, 1e-3);
    EXPECT_NEAR(r.source.y, 2880, 1e-3);
    EXPECT_NEAR(r.source.width, 7680, 1e-3);
    EXPECT_NEAR(r.source.height, 5760, 1e-3);
    // A 4K screen at 15: the bottom-right press takes the bottom-right quarter.
    auto big = shapes::expandRegion(57000, 32000, 3840, 2160, 15, 15);
    EXPECT_NEAR(big.source.x, 28800, 1e-3);
    EXPECT_NEAR(big.source.y, 16200, 1e-3);
    EXPECT_NEAR(big.source.width, 28800, 1e-3);
    EXPECT_NEAR(big.source.height, 16200, 1e-3);
}

TEST(CornerGeometry, RunsOfTheTopAndBottomRows) {
    auto runs = shapes::cornerRuns(1024, 768);
    auto lengthAt = [&](int row) {
        for (auto r : runs)
            if (r.row == row) return r.length;
        return 0;
    };
    // Top: 16 pixels on row 0 down to 1 pixel on rows 13..15, nothing from row 16.
    const int top[16] = {16, 13, 10, 8, 6, 5, 4, 4, 3, 3, 2, 2, 2, 1, 1, 1};
    for (int row = 0; row < 16; ++row) EXPECT_EQ(lengthAt(row), top[row]) << row;
    EXPECT_EQ(lengthAt(16), 0);
    // Bottom: the first table row falls just below the screen, so the last visible row
    // carries the 13-pixel run and row 768 - 15 the last 1-pixel run.
    for (int i = 1; i < 16; ++i) EXPECT_EQ(lengthAt(768 - i), top[i]) << i;
    EXPECT_EQ(lengthAt(768 - 16), 0);
    EXPECT_EQ(runs.size(), 31u);
}

TEST(CornerGeometry, LargeDisplaysKeepTheirCornersInPlace) {
    // 3840 x 2160 is 57600 x 32400 twips, more than a 16-bit width can hold.
    for (const auto& l : shapes::cornerLines(3840, 2160)) {
        EXPECT_GE(l.x1, 0);
        EXPECT_LE(l.x2, 57600);
        EXPECT_GE(l.y1, 0);
        EXPECT_LE(l.y1, 32400);
    }
    auto lines = shapes::cornerLines(3840, 2160);
    // Row 0, top-right: from 16 pixels in to the right edge.
    EXPECT_EQ(lines[1].x1, (3840 - 16) * 15);
    EXPECT_EQ(lines[1].x2, 3840 * 15);
    // Row 1, bottom-right: on the last pixel row.
    EXPECT_EQ(lines[7].y1, 2159 * 15);
    EXPECT_EQ(lines[7].x1, (3840 - 13) * 15);

    auto runs = shapes::cornerRuns(3840, 2160);
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.back().row, 2159);
    EXPECT_EQ(runs.back().length, 13);
}
