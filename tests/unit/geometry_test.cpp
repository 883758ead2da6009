// Pure numbers: arrow heads, the ellipse fit, the loupe, corner marks, placement, rounding.
#include "geometry/Arrow.h"
#include "geometry/Corners.h"
#include "geometry/Ellipse.h"
#include "geometry/Loupe.h"
#include "geometry/Placement.h"

#include <gtest/gtest.h>

#include <map>

using namespace geometry;

TEST(Geometry, ArrowHeadsInTheFourDirectionsAndWithoutAHead) {
    struct Case { TwipPoint start, tip; int width; TwipPoint first, second; } cases[] = {
        {{0, 0}, {1500, 0}, 2, {1090, 287}, {1090, -288}},     // right
        {{1500, 0}, {0, 0}, 2, {408, -288}, {408, 287}},       // left
        {{0, 0}, {0, 1500}, 2, {-288, 1090}, {287, 1090}},     // down
        {{0, 1500}, {0, 0}, 2, {287, 408}, {-288, 408}},       // up
        {{700, 700}, {700, 700}, 2, {412, 290}, {987, 290}},   // no length: opens upwards, ~500 long
        {{0, 0}, {1500, 0}, 0, {1500, 0}, {1500, 0}},          // widths outside 1..5: no head
        {{0, 0}, {1500, 0}, 6, {1500, 0}, {1500, 0}},
    };
    for (const Case& c : cases) {
        const ArrowHeads h = arrowHeads(c.start, c.tip, c.width);
        EXPECT_EQ(h.first, c.first) << c.start.x << "," << c.start.y << " -> " << c.tip.x << "," << c.tip.y;
        EXPECT_EQ(h.second, c.second) << c.start.x << "," << c.start.y << " -> " << c.tip.x << "," << c.tip.y;
    }
}

TEST(Geometry, EllipseFillsTheDragBoxInEitherDirection) {
    for (auto [from, to] : {std::pair{TwipPoint{1500, 1500}, TwipPoint{4500, 2400}}, {{4500, 2400}, {1500, 1500}}}) {
        const EllipseFit f = fitEllipse(from, to, 1);
        EXPECT_EQ(f.centre, (TwipPoint{3000, 1950}));
        EXPECT_EQ(f.radius, 1500);
        EXPECT_FLOAT_EQ(f.aspect, 0.3f);
        const SemiAxes a = semiAxes(f.radius, f.aspect);
        EXPECT_DOUBLE_EQ(a.horizontal, 1500);
        EXPECT_NEAR(a.vertical, 450, 1e-3);
    }
    // Straight down from the press point: the aspect of the press (1), a circle of the drag's length.
    const EllipseFit down = fitEllipse({1000, 1000}, {1000, 3000}, 1);
    EXPECT_EQ(down.radius, 1000);
    EXPECT_EQ(down.aspect, 1);
    EXPECT_EQ(fitEllipse({0, 0}, {0.5f, 900}, 0.25f).aspect, 0.25f);  // less than a twip across: kept
    EXPECT_DOUBLE_EQ(semiAxes(900, 3).horizontal, 300);
}

TEST(Geometry, LoupeThresholdAndPointZoomOnA1024x768Screen) {
    EXPECT_EQ(loupeThreshold(1024, 15), 307);
    EXPECT_EQ(loupeThreshold(1366, 15), 410);
    EXPECT_EQ(loupeThreshold(1275, 15), 382);  // 382.5 to the even neighbour
    EXPECT_EQ(loupeThreshold(2048, 7.5), 307);
    const int32_t t = loupeThreshold(1200, 15);
    EXPECT_EQ(t, 360);
    EXPECT_FALSE(loupeStretches({1000, 1000}, {1360, 5000}, t));  // exactly t across
    EXPECT_FALSE(loupeStretches({1000, 1000}, {5000, 1360}, t));  // exactly t down
    EXPECT_TRUE(loupeStretches({1000, 1000}, {1361, 1361}, t));
    EXPECT_FALSE(loupeStretches({5000, 5000}, {1000, 1000}, t));  // up and left

    struct Case { TwipPoint press; TwipRect region; } cases[] = {
        {{7680, 5760}, {3840, 2880, 7680, 5760}},  // the middle quarter
        {{300, 300}, {0, 0, 7680, 5760}},          // snapped to the top-left
        {{15000, 11000}, {7680, 5760, 7680, 5760}},
        {{15000, 300}, {7680, 0, 7680, 5760}},
        {{600, 5760}, {0, 2880, 7680, 5760}},      // rx 0.0195 snaps
        {{700, 5760}, {350, 2880, 7680, 5760}},    // rx 0.0228 does not
        {{7680, 700}, {3840, 350, 7680, 5760}},    // ry 0.0304 does not
        {{7680, 690}, {3840, 0, 7680, 5760}},      // ry 0.0299 snaps
    };
    for (const Case& c : cases) {
        const TwipRect r = pointZoomRegion(c.press, {1024, 768}, 15);
        EXPECT_NEAR(r.x, c.region.x, 1e-3) << c.press.x << "," << c.press.y;
        EXPECT_NEAR(r.y, c.region.y, 1e-3) << c.press.x << "," << c.press.y;
        EXPECT_NEAR(r.width, c.region.width, 1e-3);
        EXPECT_NEAR(r.height, c.region.height, 1e-3);
    }
}

TEST(Geometry, CornerRunsOfTheTopAndBottomRows) {
    std::map<int, int> length;
    for (const CornerRun& r : cornerRuns(1024, 768)) length[r.row] = r.length;
    EXPECT_EQ(length.size(), 31u);
    // Top rows 16, 13 ... 1 pixels; the bottom's outermost run lies below the screen.
    for (auto [row, run] : {std::pair{0, 16}, {1, 13}, {15, 1}, {16, 0}, {767, 13}, {753, 1}, {752, 0}})
        EXPECT_EQ(length[row], run) << row;
    // On a screen 20 pixels high and 10 wide the corners meet: the longer run, within the width.
    const auto tiny = cornerRuns(10, 20);
    EXPECT_EQ(tiny.front(), (CornerRun{0, 10}));
    EXPECT_EQ(tiny.back(), (CornerRun{19, 10}));
}

TEST(Geometry, ToolbarSizeAndReachablePlaces) {
    EXPECT_EQ(toolbarHeightFor(22), 810);
    EXPECT_EQ(toolbarHeightFor(18), 750);
    EXPECT_EQ(toolbarHeightFor(19, 2.0), 622);  // 142.5 twips to the even neighbour, + 480
    EXPECT_EQ(captionPixels(20, 1), 19);
    EXPECT_EQ(captionPixels(3, 5), 0);

    const QList<QRect> screens{{0, 0, 1024, 768}, {1024, 0, 1024, 768}};
    const QRect primary(0, 0, 1024, 768);
    // At least 40 x 20 pixels on some screen: kept where it is, however far out the rest lies.
    EXPECT_EQ(reachablePosition({-49, 100, 89, 51}, screens, primary), QPoint(-49, 100));
    EXPECT_EQ(reachablePosition({2008, 748, 89, 51}, screens, primary), QPoint(2008, 748));
    EXPECT_EQ(reachablePosition({-50, 100, 89, 51}, screens, primary), QPoint(0, 100));
    EXPECT_EQ(reachablePosition({500, 749, 89, 51}, screens, primary), QPoint(500, 717));
    EXPECT_EQ(reachablePosition({3000, -400, 89, 51}, screens, primary), QPoint(935, 0));

    EXPECT_EQ(panelClientHeight(5700, 24, 368), 356);
    EXPECT_EQ(panelClientHeight(5700, 0, 368), 368);  // the key box stays out of sight
    EXPECT_EQ(panelClientHeight(2550, 24, 152), 146);
    EXPECT_EQ(panelClientHeight(2550, 48, 152, 2.0), 146);
    EXPECT_EQ(centred({100, 50}, {1024, 0, 1024, 768}), QPoint(1486, 359));
    EXPECT_EQ(twipsToPixels(5685), 379);
}
