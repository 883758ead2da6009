#include "core/ColorCombo.h"
#include "core/Module1.h"
#include "core/PanelPlacement.h"
#include "settings/SetUpApply.h"
#include "settings/Swatches.h"

#include <gtest/gtest.h>

namespace {

// The nine colours the panel offers, by item number: black, blue, green, red, yellow,
// magenta, cyan, grey, white.
struct Offered { int item; int color; QRgb rgb; };
const Offered kOffered[] = {
    {1, 0, qRgb(0, 0, 0)},       {2, 9, qRgb(0, 0, 255)},   {3, 10, qRgb(0, 255, 0)},
    {4, 12, qRgb(255, 0, 0)},    {5, 14, qRgb(255, 255, 0)}, {6, 13, qRgb(255, 0, 255)},
    {7, 11, qRgb(0, 255, 255)},  {8, 8, qRgb(128, 128, 128)}, {9, 15, qRgb(255, 255, 255)},
};

Module1 defaults() {
    Module1 m;
    m.lineColor = 12;
    m.lineWidth = 2;
    m.fillColor = 14;
    return m;
}

setup::Choices unchanged(const Module1& m) {
    setup::Choices c;
    c.lineColor = m.lineColor;
    c.fillColor = m.fillColor;
    c.autoHide = m.autoHide != 0;
    c.f1 = m.hotKeyChoice == 1;
    c.widthText = QString::number(m.lineWidth);
    return c;
}

}  // namespace

TEST(ColorCombo, ItemsAndColoursMapBothWays) {
    for (const Offered& o : kOffered) {
        EXPECT_EQ(ComboIndexToColor(o.item), o.color) << "item " << o.item;
        EXPECT_EQ(ColorToComboIndex(o.color), o.item) << "colour " << o.color;
    }
    // Items outside the list give black; colours the panel does not offer show as blue.
    for (int item : {0, -1, 10, 255, 32767, -32768}) EXPECT_EQ(ComboIndexToColor(item), 0) << item;
    for (int color : {1, 2, 3, 4, 5, 6, 7, 16, 200, 255}) EXPECT_EQ(ColorToComboIndex(color), 2) << color;
}

TEST(ColorCombo, SwatchesAreTheColourInABlackFrame) {
    for (const Offered& o : kOffered) {
        QImage img = swatchImage(o.item);
        ASSERT_EQ(img.size(), QSize(16, 16));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                bool edge = x == 0 || y == 0 || x == 15 || y == 15;
                ASSERT_EQ(img.pixel(x, y) & 0xffffff, (edge ? 0 : o.rgb) & 0xffffff) << o.item << " at " << x << "," << y;
            }
    }
    EXPECT_TRUE(swatchImage(0).isNull());
    EXPECT_TRUE(swatchImage(10).isNull());
}

TEST(SetUpApply, DrawColorFollowsTheCurrentPattern) {
    // The filled circle and rectangle draw in the fill colour, every other pattern (and no
    // pattern yet) in the line colour; new colours are in use at once.
    const std::pair<int16_t, bool> patterns[] = {{0, false}, {1, false}, {2, false}, {3, false}, {4, true},
                                                 {5, false}, {6, true},  {7, false}, {8, false}};
    for (auto [pattern, usesFill] : patterns) {
        Module1 m = defaults();
        m.drawPattern = pattern;
        m.drawColor = 12;
        setup::Choices c = unchanged(m);
        c.lineColor = 11;  // cyan lines
        c.fillColor = 10;  // green fills
        ASSERT_TRUE(setup::apply(m, c));
        EXPECT_EQ(m.lineColor, 11);
        EXPECT_EQ(m.fillColor, 10);
        EXPECT_EQ(m.drawColor, usesFill ? 10 : 11) << "pattern " << pattern;
    }
}

TEST(SetUpApply, HotKeyAndAutoHideAreStoredAsZeroOrOne) {
    // Shown: 1 as "F1", everything else as "Ctrl + Z".
    EXPECT_EQ(setup::hotKeyOption(0), 1);
    EXPECT_EQ(setup::hotKeyOption(1), 2);
    for (int16_t odd : {2, -1, 256, 32767}) EXPECT_EQ(setup::hotKeyOption(odd), 1) << odd;

    // A file value other than 0 and 1, shown as "Ctrl + Z" and applied as it is shown: 0.
    Module1 m = defaults();
    m.hotKeyChoice = 7;
    m.autoHide = 3;
    setup::Choices c = unchanged(m);
    c.f1 = setup::hotKeyOption(m.hotKeyChoice) == 2;
    ASSERT_TRUE(setup::apply(m, c));
    EXPECT_EQ(m.hotKeyChoice, 0);
    EXPECT_EQ(m.autoHide, 1);

    c.f1 = true;
    c.autoHide = false;
    ASSERT_TRUE(setup::apply(m, c));
    EXPECT_EQ(m.hotKeyChoice, 1);
    EXPECT_EQ(m.autoHide, 0);
}

TEST(SetUpApply, WidthTextIsAWholeNumberOneToFiveOrTheWidthInForce) {
    using setup::widthFromText;
    EXPECT_EQ(widthFromText("1", 2), 1);
    EXPECT_EQ(widthFromText("5", 2), 5);
    EXPECT_EQ(widthFromText(" 4 ", 2), 4);
    EXPECT_EQ(widthFromText(QStringLiteral("３"), 2), 3);  // typed with a Japanese input method
    EXPECT_EQ(widthFromText("03", 2), 3);
    for (const char* bad : {"", " ", "abc", "2a", "0", "6", "-1", "+3", "2.5", "1e1", "99999999999", "256"})
        EXPECT_FALSE(widthFromText(bad, 2).has_value()) << '"' << bad << '"';
    // A width outside 1..5 that came from the file is kept when left alone...
    EXPECT_EQ(widthFromText("7", 7), 7);
    EXPECT_EQ(widthFromText("0", 0), 0);
    // ...but cannot be typed in otherwise.
    EXPECT_FALSE(widthFromText("7", 6).has_value());

    EXPECT_EQ(setup::widthItem(1), 0);
    EXPECT_EQ(setup::widthItem(5), 4);
    EXPECT_EQ(setup::widthItem(0), -1);
    EXPECT_EQ(setup::widthItem(6), -1);
}

TEST(SetUpApply, RefusedWidthChangesNothing) {
    for (const char* bad : {"", "x", "9"}) {
        Module1 m = defaults();
        m.drawPattern = 4;
        m.drawColor = 14;
        setup::Choices c;
        c.lineColor = 0;
        c.fillColor = 9;
        c.autoHide = true;
        c.f1 = true;
        c.widthText = bad;
        EXPECT_FALSE(setup::apply(m, c)) << bad;
        EXPECT_EQ(m.lineWidth, 2);
        EXPECT_EQ(m.lineColor, 12);
        EXPECT_EQ(m.fillColor, 14);
        EXPECT_EQ(m.drawColor, 14);
        EXPECT_EQ(m.autoHide, 0);
        EXPECT_EQ(m.hotKeyChoice, 0);
    }
    Module1 m = defaults();
    setup::Choices c = unchanged(m);
    c.widthText = "5";
    ASSERT_TRUE(setup::apply(m, c));
    EXPECT_EQ(m.lineWidth, 5);
}

TEST(PanelPlacement, OuterHeightIncludesTheFrameAndHidesTheKeyBox) {
    // The help panel: 5700 twips outer, a 20-pixel caption and 1-pixel border: 359 pixels inside.
    EXPECT_EQ(panels::clientHeight(5700, {1, 1, 20, 1}, 368), 359);
    // The settings panel under the same frame: 170 - 21 = 149, above its key box at 152.
    EXPECT_EQ(panels::clientHeight(2550, {1, 1, 20, 1}, 152), 149);
    // No frame known: the client stops where the key box starts.
    EXPECT_EQ(panels::clientHeight(2550, {}, 152), 152);
    EXPECT_EQ(panels::clientHeight(5700, {}, 368), 368);
    // A frame taller than the window still leaves a window.
    EXPECT_EQ(panels::clientHeight(150, {0, 0, 30, 0}, 152), 1);
    // The frame in device pixels at two of them per logical pixel: 21 device pixels are 157.5
    // twips, so the help panel would reach 369.5 logical pixels down and stops at its key box.
    EXPECT_EQ(panels::clientHeight(5700, {1, 1, 20, 1}, 368, 2.0), 368);
    EXPECT_EQ(panels::clientHeight(5700, {1, 1, 32, 1}, 368, 2.0), 364);  // 380 - 16.5, half to even
    EXPECT_EQ(panels::clientHeight(2550, {1, 1, 40, 1}, 152, 2.0), 150);  // 170 - 20.5

    EXPECT_EQ(panels::centred({361, 380}, {0, 0, 1024, 768}), QPoint(331, 194));
    EXPECT_EQ(panels::centred({237, 170}, {1024, 30, 1920, 1050}), QPoint(1024 + 841, 30 + 440));
}
