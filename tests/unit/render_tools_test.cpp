// The drawing surface and the tools on it, driven through the gestures as the canvas drives them.
#include "render/CornerMarks.h"
#include "render/Palette.h"
#include "render/Surface.h"
#include "tools/DoubleClick.h"
#include "tools/Gestures.h"
#include "tools/Patterns.h"
#include "tools/Tool.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using geometry::TwipPoint;

namespace {

constexpr QRgb kBackground = 0xff2080c0;  // (32, 128, 192)
constexpr QRgb kRed = 0xffff0000;

TwipPoint px(int x, int y) { return {float(x * 15), float(y * 15)}; }

QImage gradient(QSize size) {
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) img.setPixel(x, y, qRgb(x & 255, y & 255, (x * y) & 255));
    return img;
}

// A canvas of 200 x 150 pixels at 15 twips each, one colour, and the gestures on it.
struct Canvas {
    Surface surface{{200, 150}, 15};
    Settings settings;  // red lines 4 pixels wide, yellow fills
    std::optional<Pattern> pattern = Pattern::Line;
    int toolsMade = 0;
    Gestures gestures{surface, [this](Surface& s) { return ++toolsMade, pattern ? makeTool(*pattern, settings, s) : nullptr; }};

    Canvas() { surface.setImage(QImage(200, 150, QImage::Format_RGB32)), surface.fill({0, 0, 200, 150}, kBackground); }
    QRgb at(int x, int y) const { return surface.image().pixel(x, y); }
    void drag(TwipPoint from, TwipPoint to, Qt::MouseButton button = Qt::LeftButton, int steps = 4) {
        gestures.press(button, button, from);
        for (int i = 1; i <= steps; ++i)
            gestures.move({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps}, button);
        gestures.release(button, to);
    }
    void takeBack() { gestures.press(Qt::RightButton, Qt::RightButton, {}), gestures.release(Qt::RightButton, {}); }
};

}  // namespace

// The columns and rows that red pixels span, "x0-x1 y0-y1".
std::string redBox(const QImage& img) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == kRed) box |= QRect(x, y, 1, 1);
    return std::to_string(box.left()) + "-" + std::to_string(box.right()) + " " + std::to_string(box.top()) + "-" +
           std::to_string(box.bottom());
}

TEST(Surface, ARoundPenCoversItsWidthAndRoundsItsEnds) {
    // A line's own pixel and those below and right of it first; a round end reaches up to half the
    // width beyond its pixel's centre, the edge itself left out (a 2-pixel pen not at all).
    const struct {
        int width;
        QPoint from, to;
        const char* pixels;
    } cases[] = {
        {4, {31, 41}, {71, 41}, "30-72 40-43"},  {4, {91, 31}, {91, 61}, "90-93 30-62"},
        {2, {31, 41}, {71, 41}, "31-71 41-42"},  {3, {31, 41}, {71, 41}, "30-72 40-42"},
        {6, {91, 31}, {91, 61}, "89-94 29-63"},  {4, {50, 50}, {50, 50}, "49-51 49-51"},
    };
    for (const auto& c : cases) {
        Surface s({120, 90}, 15);
        s.setImage(QImage(120, 90, QImage::Format_RGB32));
        s.fill({0, 0, 120, 90}, kBackground);
        s.line(px(c.from.x(), c.from.y()), px(c.to.x(), c.to.y()), PenStyle{Ink::Copy, false, Qt::red, c.width});
        EXPECT_EQ(redBox(s.image()), c.pixels) << "width " << c.width << " from " << c.from.x() << "," << c.from.y();
    }
}

TEST(Surface, InvertedFiguresDrawnTwiceLeaveNoTrace) {
    Surface s({120, 90}, 15);
    s.setImage(gradient({120, 90}));
    const QImage before = s.image().copy();
    const std::array<Surface::Segment, 3> arrow = {{{px(10, 10), px(80, 60)}, {px(60, 60), px(80, 60)}, {px(80, 40), px(80, 60)}}};
    for (int width : {1, 4, 9})
        for (bool filled : {false, true}) {
            const PenStyle pen = PenStyle{Ink::Copy, filled, Qt::red, width}.inverted();
            const std::function<void()> figures[] = {[&] { s.line(px(5, 80), px(110, 3), pen); },
                                                     [&] { s.box(px(100, 70), px(20, 10), pen); },
                                                     [&] { s.ellipse(px(60, 45), 600, 0.4f, pen); },
                                                     [&] { s.lines(arrow, pen); }};
            for (const auto& draw : figures) {
                draw();
                EXPECT_NE(s.image(), before);
                draw();
                EXPECT_EQ(s.image(), before) << "width " << width << " filled " << filled;
            }
        }
    // One inversion makes white opaque black; strokes that meet are inverted once, not twice.
    Surface w({10, 10}, 15);
    w.fill({0, 0, 10, 10}, Qt::white);
    w.takeDirty();
    const std::array<Surface::Segment, 2> twice = {{{px(1, 5), px(8, 5)}, {px(1, 5), px(8, 5)}}};
    w.lines(twice, PenStyle{}.inverted());
    EXPECT_EQ(reinterpret_cast<const QRgb*>(w.image().constScanLine(5))[4], 0xff000000u);  // alpha kept
    EXPECT_EQ(w.image().pixel(8, 5), 0xffffffffu);  // a thin line leaves out its end pixel
    EXPECT_EQ(w.takeDirty(), QRect(1, 5, 7, 1));
}

// A move of a band inverts, in one pass, only what differs between the bands: the same pixels
// as erasing the old band and drawing the new one, whichever figures and however they overlap.
TEST(Surface, ABandSwappedLeavesWhatErasingAndDrawingLeave) {
    const QSize size(160, 120);
    const std::array<Surface::Segment, 3> arrow = {{{px(10, 10), px(80, 60)}, {px(60, 60), px(80, 60)}, {px(80, 40), px(80, 60)}}};
    using Draw = std::function<void(Surface&, const PenStyle&)>;
    const Draw box1 = [](Surface& s, const PenStyle& p) { s.box(px(20, 15), px(120, 90), p); };
    const Draw box2 = [](Surface& s, const PenStyle& p) { s.box(px(20, 15), px(121, 92), p); };  // one corner moved
    const Draw box3 = [](Surface& s, const PenStyle& p) { s.box(px(150, 5), px(60, 50), p); };   // crossing the others
    const Draw tiny = [](Surface& s, const PenStyle& p) { s.box(px(40, 40), px(40, 40), p); };   // a dot
    const Draw ring = [](Surface& s, const PenStyle& p) { s.ellipse(px(80, 60), 700, 0.6f, p); };
    const Draw line = [](Surface& s, const PenStyle& p) { s.line(px(5, 100), px(150, 8), p); };
    const Draw arrows = [&arrow](Surface& s, const PenStyle& p) { s.lines(arrow, p); };
    const struct {
        const char* name;
        std::vector<Draw> figures;
    } cases[] = {
        {"a box moved by its corner", {box1, box2}},
        {"two boxes crossing", {box1, box3}},
        {"the same box twice", {box1, box1}},
        {"three boxes and a dot", {box1, box3, tiny, box2}},
        {"a box then other figures", {box1, ring, box3, line}},
        {"other figures then a box", {ring, arrows, box2}},
        {"an ellipse and a line", {ring, line}},
    };
    for (const auto& c : cases)
        for (int width : {1, 4})
            for (bool filled : {false, true}) {
                const PenStyle pen = PenStyle{Ink::Copy, filled, Qt::red, width}.inverted();
                Surface swapped(size, 15), plain(size, 15);
                swapped.setImage(gradient(size)), plain.setImage(gradient(size));
                swapped.takeDirty();
                const QImage before = swapped.image().copy();
                swapped.beginSwap();
                for (const Draw& draw : c.figures) draw(swapped, pen);
                swapped.endSwap();
                for (const Draw& draw : c.figures) draw(plain, pen);
                EXPECT_EQ(swapped.image(), plain.image()) << c.name << ", width " << width << ", filled " << filled;
                const QRegion dirty = swapped.takeDirty();
                int outside = 0;
                for (int y = 0; y < size.height(); ++y)
                    for (int x = 0; x < size.width(); ++x)
                        outside += swapped.image().pixel(x, y) != before.pixel(x, y) && !dirty.contains(QPoint(x, y));
                EXPECT_EQ(outside, 0) << c.name << ": changed pixels outside the region";
            }
}

// A move of a band repaints what changed and little more: every changed pixel lies in the region
// recorded, and for outlines the region is strips along them, far smaller than their bounding box,
// in few rectangles.
TEST(Surface, DirtyRegionCoversEveryChangedPixelAndFollowsOutlines) {
    const QSize size(640, 360);
    struct Case {
        const char* name;
        Pattern pattern;
        TwipPoint from, to;
        double mostOfBox;  // the region's pixels over the bounding box of the two bands, at most
    } cases[] = {
        {"box", Pattern::Rectangle, px(100, 60), px(540, 300), 0.15},
        {"ellipse", Pattern::Circle, px(100, 60), px(540, 300), 0.35},
        {"line", Pattern::Line, px(100, 60), px(540, 300), 0.25},
        {"arrow", Pattern::Arrow, px(540, 300), px(100, 60), 0.3},
        {"steep line", Pattern::Line, px(300, 10), px(320, 350), 1.0},  // narrow: one rectangle is cheapest
        {"filled box", Pattern::FilledRectangle, px(100, 60), px(540, 300), 1.1},
        {"free-hand", Pattern::FreeDraw, px(100, 60), px(540, 300), 2.5},  // a short segment and its round ends
    };
    for (const Case& c : cases) {
        Surface s(size, 15);
        s.setImage(gradient(size));
        s.takeDirty();
        const std::unique_ptr<Tool> tool = makeTool(c.pattern, Settings{}, s);
        tool->press(c.from);
        tool->move({c.to.x - 150, c.to.y - 90});
        s.takeDirty();
        const QImage before = s.image().copy();
        tool->move(c.to);  // one move: the band drawn 10 pixels further, or a segment more
        const QRegion dirty = s.takeDirty();
        QRect changed;
        int outside = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                if (s.image().pixel(x, y) != before.pixel(x, y)) changed |= QRect(x, y, 1, 1), outside += !dirty.contains(QPoint(x, y));
        EXPECT_EQ(outside, 0) << c.name;
        int64_t area = 0;
        for (const QRect& r : dirty) area += int64_t(r.width()) * r.height();
        EXPECT_GT(area, 0) << c.name;
        EXPECT_LE(area, c.mostOfBox * changed.width() * changed.height()) << c.name << ": " << dirty.rectCount() << " rectangles";
        EXPECT_LE(dirty.rectCount(), 30) << c.name;  // each is a request to the display
    }
}

TEST(Surface, InksCornerMarksAndPalette) {
    Canvas c;
    c.surface.box(px(10, 10), px(30, 20), {Ink::Copy, false, Qt::red, 1});
    EXPECT_EQ(c.at(10, 10), kRed);  // both corners included
    EXPECT_EQ(c.at(30, 20), kRed);
    EXPECT_EQ(c.at(20, 15), kBackground);

    Surface screen({1024, 768}, 15);
    screen.setImage(gradient({1024, 768}));
    drawCornerMarks(screen);
    const QImage& img = screen.image();
    for (auto [x, y, black] : {std::tuple{15, 0, true}, {16, 0, false}, {1008, 0, true}, {13, 767, false}, {1011, 767, true}})
        EXPECT_EQ(img.pixel(x, y) == 0xff000000u, black) << x << "," << y;
    EXPECT_EQ(paletteColour(3), QColor(0, 128, 128));
    EXPECT_EQ(paletteColour(16), QColor(0, 0, 0));  // outside the palette: black
}

TEST(Tools, TakeBackReachesTheLatestDrawingOnly) {
    Canvas c;
    c.drag(px(20, 30), px(100, 30));   // a line
    c.pattern = Pattern::Rectangle;
    c.drag(px(20, 60), px(100, 90));
    c.takeBack();
    EXPECT_EQ(c.at(60, 60), kBackground);
    EXPECT_EQ(c.at(60, 30), kRed);     // the line stays
    c.takeBack();
    EXPECT_EQ(c.at(60, 30), kRed);     // a second take-back changes nothing
    c.drag(px(50, 100), px(50, 100));  // a click without moving draws nothing...
    EXPECT_EQ(c.at(50, 100), kBackground);
    c.takeBack();
    EXPECT_EQ(c.at(60, 30), kRed);     // ...but commits what is there
}

// The copy that the first commit takes is made ahead, on a thread of its own; what the user
// sees must be as if it were made at the press.
TEST(Tools, TheFirstCommitMadeAheadIsThePictureAsItStandsAtThePress) {
    enum class Before { Nothing, Fill, TakeBack, Leave };
    struct Case {
        const char* name;
        QSize size;
        Before before;  // what happens between the start of the copy and the first press
    } cases[] = {
        {"nothing before the press", {200, 150}, Before::Nothing},
        {"a 4K screen, copied in pieces", {3840, 2160}, Before::Nothing},
        {"a fill before the press is in the picture", {200, 150}, Before::Fill},
        {"a take-back before any commit changes nothing", {200, 150}, Before::TakeBack},
        {"leaving before the copy is taken", {3840, 2160}, Before::Leave},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage desktop = gradient(c.size);
        Surface surface(c.size, 15);
        surface.setImage(desktop);
        surface.commitAhead();
        if (c.before == Before::Leave) continue;  // the surface goes with its copy unfinished
        Settings red;
        Gestures gestures(surface, [&red](Surface& s) { return makeTool(Pattern::Line, red, s); });
        QImage atPress = desktop;
        if (c.before == Before::Fill) {
            surface.fill({10, 10, 20, 20}, kRed);
            atPress = surface.image().copy();
        }
        if (c.before == Before::TakeBack) {
            gestures.press(Qt::RightButton, Qt::RightButton, px(5, 5)), gestures.release(Qt::RightButton, px(5, 5));
            EXPECT_TRUE(surface.image() == desktop);
            EXPECT_TRUE(surface.picture().isNull());
        }
        gestures.press(Qt::LeftButton, Qt::LeftButton, px(40, 40));
        EXPECT_TRUE(surface.picture() == atPress);
        gestures.move(px(150, 100), Qt::LeftButton);
        gestures.release(Qt::LeftButton, px(150, 100));
        EXPECT_EQ(surface.image().pixel(100, 73), kRed);
        gestures.press(Qt::RightButton, Qt::RightButton, px(5, 5)), gestures.release(Qt::RightButton, px(5, 5));
        EXPECT_TRUE(surface.image() == atPress);  // the line taken back, to the last pixel
    }
}

TEST(Tools, GesturesIgnoreWhatIsNotTheirs) {
    Canvas c;
    const QImage clean = c.surface.image().copy();
    constexpr Qt::MouseButton L = Qt::LeftButton, M = Qt::MiddleButton, R = Qt::RightButton;
    // A right press during a drag takes the band back and ends the drag.
    c.gestures.press(L, L, px(20, 30));
    c.gestures.move(px(80, 30), L);
    EXPECT_EQ(c.gestures.press(R, L | R, px(80, 30)), Gestures::AfterPress::ActivateToolbar);
    c.gestures.move(px(90, 30), L | R);
    c.gestures.release(L, px(90, 30));
    EXPECT_EQ(c.surface.image(), clean);
    // A release without a press of ours, and a second button pressed and let go in a drag, do nothing.
    c.gestures.release(L, px(90, 90));
    EXPECT_EQ(c.surface.image(), clean);
    EXPECT_EQ(c.gestures.press(L, L, px(20, 30)), Gestures::AfterPress::ShowToolbar);
    EXPECT_EQ(c.gestures.press(M, L | M, px(50, 50)), Gestures::AfterPress::Nothing);
    c.gestures.release(M, px(50, 50));
    EXPECT_TRUE(c.gestures.open());
    // The pattern and colour of the press hold for the whole gesture.
    c.pattern = Pattern::Rectangle;
    c.settings.lineColour = 9;
    c.gestures.move(px(100, 30), L);
    c.gestures.release(L, px(100, 30));
    EXPECT_EQ(c.at(60, 30), kRed);
    EXPECT_EQ(c.toolsMade, 2);  // one a gesture: none for the press during the drag
    // With no pattern chosen a press commits the canvas and draws nothing.
    c.pattern.reset();
    c.drag(px(20, 80), px(100, 80));
    EXPECT_EQ(c.at(60, 80), kBackground);
    c.takeBack();
    EXPECT_EQ(c.at(60, 30), kRed);
}

// The canvas shows a band once a refresh of the screen, however many moves came meanwhile: each
// picture shown, and the drawing the gesture ends with, is what showing every move would give.
// So is what it shows when it reads the moves between two refreshes only where the gesture counts
// them, and otherwise the pointer's latest place alone. The moves end straight below the press,
// where an ellipse keeps the shape it was last aimed at off the press column.
TEST(Tools, MovesShownLaterGiveWhatMovesShownAtOnceGive) {
    constexpr Qt::MouseButton L = Qt::LeftButton;
    const std::vector<TwipPoint> moves = {px(60, 50), px(120, 70), px(140, 120), px(90, 100), px(40, 110), px(40, 130)};
    for (Pattern pattern : {Pattern::Line, Pattern::Arrow, Pattern::Rectangle, Pattern::Circle, Pattern::FilledRectangle,
                            Pattern::FilledCircle, Pattern::FreeDraw, Pattern::Loupe})
        for (size_t showEvery : {size_t(2), size_t(3), moves.size() + 1}) {
            Canvas atOnce, later, latest;
            for (Canvas* c : {&atOnce, &later, &latest}) {
                c->surface.setImage(gradient({200, 150}));
                c->pattern = pattern;
                c->gestures.press(L, L, px(40, 30));
            }
            size_t unread = 0;  // the first move `latest` has not been given
            for (size_t i = 0; i < moves.size(); ++i) {
                atOnce.gestures.move(moves[i], L);
                const bool waits = later.gestures.moveLater(moves[i], L);
                EXPECT_EQ(waits, pattern != Pattern::FreeDraw) << int(pattern);
                if ((i + 1) % showEvery) continue;
                const bool counted = latest.gestures.countsMovesTo(latest.gestures.lastSeen()) ||
                                     latest.gestures.countsMovesTo(moves[i]);
                for (size_t j = counted ? unread : i; j <= i; ++j) latest.gestures.moveLater(moves[j], L);
                unread = i + 1;
                later.gestures.show();
                latest.gestures.show();
                EXPECT_EQ(later.surface.image(), atOnce.surface.image()) << int(pattern) << ", move " << i;
                EXPECT_EQ(latest.surface.image(), atOnce.surface.image()) << int(pattern) << ", move " << i << ", latest";
            }
            EXPECT_EQ(latest.gestures.countsMovesTo(moves.back()),
                      pattern == Pattern::FreeDraw || pattern == Pattern::Circle || pattern == Pattern::FilledCircle)
                << int(pattern);
            // A release comes with every move since the last refresh.
            for (size_t j = unread; j < moves.size(); ++j) latest.gestures.moveLater(moves[j], L);
            for (Canvas* c : {&atOnce, &later, &latest}) c->gestures.release(L, moves.back());
            EXPECT_EQ(later.surface.image(), atOnce.surface.image()) << int(pattern) << ", shown every " << showEvery;
            EXPECT_EQ(latest.surface.image(), atOnce.surface.image()) << int(pattern) << ", latest every " << showEvery;
        }
}

// The canvas's own windows get their pointer from the display, not the toolkit: a press makes a
// double-click as the toolkit would tell it.
TEST(Tools, DoubleClicksByButtonTimeAndDistance) {
    constexpr Qt::MouseButton L = Qt::LeftButton, R = Qt::RightButton;
    struct Step {
        char what;  // p: press, m: move
        Qt::MouseButton button;
        double x, y;
        unsigned long time;
        bool doubleClick;
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"two quick presses", {{'p', L, 10, 10, 1000, false}, {'p', L, 10, 10, 1399, true}}},
        {"too slow", {{'p', L, 10, 10, 1000, false}, {'p', L, 10, 10, 1400, false}}},
        {"another button", {{'p', L, 10, 10, 1000, false}, {'p', R, 10, 10, 1100, false}}},
        {"the right button's own", {{'p', R, 10, 10, 1000, false}, {'p', R, 12, 8, 1100, true}}},
        {"pressed further away", {{'p', L, 10, 10, 1000, false}, {'p', L, 16, 10, 1100, false}}},
        {"moved away and back", {{'p', L, 10, 10, 1000, false}, {'m', L, 10, 16, 0, false}, {'p', L, 10, 10, 1100, false}}},
        {"a third press starts afresh",
         {{'p', L, 10, 10, 1000, false}, {'p', L, 10, 10, 1100, true}, {'p', L, 10, 10, 1200, false},
          {'p', L, 10, 10, 1300, true}}},
        {"the display's clock wraps round", {{'p', L, 10, 10, 0xffffff00ul, false}, {'p', L, 10, 10, 0x40, true}}},
    };
    for (const auto& c : cases) {
        DoubleClick clicks(400, 5);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            if (s.what == 'm') {
                clicks.move({s.x, s.y});
                continue;
            }
            EXPECT_EQ(clicks.press(s.button, {s.x, s.y}, s.time), s.doubleClick) << c.name << ", press " << i;
        }
    }
}

TEST(Tools, LoupeStretchesLongDragsAndZoomsAtThePressOtherwise) {
    // On 200 pixels the threshold is 60 twips: 4 pixels. The source pixels shown at the canvas's
    // top-left and centre; a drag let go beyond the canvas (on another monitor) ends at its edge.
    struct Case { TwipPoint from, to; QPoint topLeft, centre; } cases[] = {
        {px(10, 10), px(15, 15), {10, 10}, {12, 12}},        // stretched box
        {px(10, 10), px(14, 15), {5, 5}, {55, 42}},          // 4 across is not more than 4: point zoom
        {px(10, 10), px(90, 14), {5, 5}, {55, 42}},
        {px(100, 75), px(10, 10), {50, 37}, {100, 75}},      // up and left: point zoom round the press
        {px(10, 10), px(400, 300), {10, 10}, {105, 80}},     // beyond the bottom-right corner
        {px(198, 10), px(400, 100), {100, 5}, {150, 42}},    // 2 pixels to the right edge: point zoom
    };
    for (const Case& c : cases) {
        Canvas canvas;
        canvas.surface.setImage(gradient({200, 150}));
        canvas.surface.commit();
        const QImage before = canvas.surface.image().copy();
        canvas.pattern = Pattern::Loupe;
        canvas.drag(c.from, c.to);
        for (auto [at, source] : {std::pair{QPoint(0, 0), c.topLeft}, {QPoint(100, 75), c.centre}}) {
            const QRgb shown = canvas.at(at.x(), at.y());  // the gradient tells its source: red x, green y
            EXPECT_EQ(shown, before.pixel(source))
                << c.from.x << "->" << c.to.x << ": " << qRed(shown) << "," << qGreen(shown);
        }
        canvas.takeBack();
        EXPECT_EQ(canvas.surface.image(), before);
    }
}
