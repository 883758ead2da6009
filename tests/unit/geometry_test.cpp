// Pure numbers: arrow heads, the ellipse fit, the loupe, placement. (Corner marks: render_tools_test.)
#include "geometry/Arrow.h"
#include "geometry/Ellipse.h"
#include "geometry/Loupe.h"
#include "geometry/Placement.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace geometry;

TEST(Geometry, ArrowHeadsInTheFourDirectionsAndWithoutAHead) {
    struct Case { TwipPoint start, tip; int width; TwipPoint first, second; } cases[] = {
        {{0, 0}, {1500, 0}, 2, {1090, 287}, {1090, -288}},     // right
        {{1500, 0}, {0, 0}, 2, {408, -288}, {408, 287}},       // left
        {{0, 0}, {0, 1500}, 2, {-288, 1090}, {287, 1090}},     // down
        {{0, 1500}, {0, 0}, 2, {287, 408}, {-288, 408}},       // up
        {{700, 700}, {700, 700}, 2, {412, 290}, {987, 290}},   // no length: opens upwards, ~500 long
        {{0, 0}, {1500, 0}, 6, {1500, 0}, {1500, 0}},          // widths outside 1..5: no head
    };
    for (const Case& c : cases) {
        const ArrowHeads h = arrowHeads(c.start, c.tip, c.width);
        EXPECT_TRUE(h.first == c.first && h.second == c.second) << c.start.x << "," << c.start.y << " -> " << c.tip.x
                                                                << "," << c.tip.y << ": " << h.first.x << "," << h.first.y;
    }
}

TEST(Geometry, EllipseFillsTheDragBoxInEitherDirection) {
    for (auto [from, to] : {std::pair{TwipPoint{1500, 1500}, TwipPoint{4500, 2400}}, {{4500, 2400}, {1500, 1500}}}) {
        const EllipseFit f = fitEllipse(from, to, 1);
        EXPECT_EQ(f.centre, (TwipPoint{3000, 1950}));
        EXPECT_EQ(f.radius, 1500);
        EXPECT_FLOAT_EQ(f.aspect, 0.3f);
        EXPECT_NEAR(semiAxes(f.radius, f.aspect).vertical, 450, 1e-3);
    }
    // Straight down from the press point: the aspect of the press (1), a circle of the drag's length.
    EXPECT_EQ(fitEllipse({1000, 1000}, {1000, 3000}, 1).radius, 1000);
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
        const TwipRect r = pointZoomRegion(c.press, {1024, 768}, 15), w = c.region;
        const double off = std::max({std::abs(r.x - w.x), std::abs(r.y - w.y), std::abs(r.width - w.width), std::abs(r.height - w.height)});
        EXPECT_LT(off, 1e-3) << c.press.x << "," << c.press.y;
    }
}

TEST(Geometry, ToolbarSizeAndReachablePlaces) {
    EXPECT_EQ(toolbarHeightFor(22), 810);
    EXPECT_EQ(toolbarHeightFor(18), 750);
    EXPECT_EQ(toolbarHeightFor(19, 2.0), 622);  // 142.5 twips to the even neighbour, + 480

    const QList<QRect> screens{{0, 0, 1024, 768}, {1024, 0, 1024, 768}};
    const QRect primary(0, 0, 1024, 768);
    // At least 16 x 8 pixels of the caption on some screen: kept where it is, however far out the
    // rest lies. A toolbar of 89 x 51 pixels with a caption of 22 (0: none known, the top 20 count).
    struct Case { int caption; QPoint at, placed; } cases[] = {
        {22, {-60, 100}, {-60, 100}},  // Left -900 twips
        {22, {-73, 100}, {-73, 100}}, {22, {-74, 100}, {0, 100}}, {22, {2032, 300}, {2032, 300}},
        {22, {2033, 300}, {935, 300}}, {22, {500, -14}, {500, -14}}, {22, {500, -15}, {500, 0}},
        {22, {500, 760}, {500, 760}}, {22, {500, 761}, {500, 717}}, {22, {3000, -400}, {935, 0}},
        {22, {500, -30}, {500, 0}},  // only the body on screen
        {22, {500, -13}, {500, -13}}, {0, {500, -13}, {500, 0}}, {0, {500, 762}, {500, 717}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(reachablePosition({c.at, QSize(89, 51)}, c.caption, screens, primary), c.placed)
            << c.caption << ": " << c.at.x() << "," << c.at.y();
    // A frame put off its place by the manager: moved back by what it is off, beyond half a
    // logical pixel (at a ratio of 2, one device pixel: an odd frame's client cannot do better).
    struct Off { QPointF wanted, observed; QPoint by; } offs[] = {
        {{379, 440}, {379, 440}, {0, 0}}, {{379, 440}, {381, 458}, {-2, -18}},  // i3: the client there
        {{379, 440}, {378, 420}, {1, 20}}, {{1249.5, 290}, {1250, 289}, {0, 1}},  // i3 at ratio 2: 2 device pixels
        {{100, 100}, {101.5, 98.4}, {-2, 2}}, {{100, 100}, {100.4, 99.5}, {0, 0}},
    };
    for (const Off& o : offs)
        EXPECT_EQ(placementCorrection(o.wanted, o.observed), o.by) << o.observed.x() << "," << o.observed.y();
    EXPECT_EQ(panelClientHeight(5700, 24, 368), 356);
    EXPECT_EQ(panelClientHeight(5700, 0, 368), 368);  // the key box stays out of sight
}
