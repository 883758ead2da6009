#include "core/WindowPlacement.h"

#include <gtest/gtest.h>

using namespace placement;

TEST(WindowPlacement, ToolbarHeightFromCaption) {
    EXPECT_EQ(toolbarHeightFor(22), 810);
    EXPECT_EQ(toolbarHeightFor(18), 750);
    EXPECT_EQ(toolbarHeightFor(19), 765);
    EXPECT_EQ(toolbarHeightFor(0), 480);
    EXPECT_EQ(toolbarHeightFor(-4), 480);
    EXPECT_GT(toolbarHeightFor(100000), 0);  // never wraps into a negative height
    // openbox's frame: 20 px on top with a 1 px side border is a 19 px caption.
    EXPECT_EQ(captionPixels(20, 1), 19);
    EXPECT_EQ(captionPixels(0, 0), 0);
    EXPECT_EQ(captionPixels(2, 4), 0);
}

TEST(WindowPlacement, ToolbarHeightFromCaptionAtTwoDevicePixelsPerLogical) {
    // The caption comes in device pixels: at a ratio of 2 each is 7.5 twips.
    EXPECT_EQ(toolbarHeightFor(20, 2.0), 630);
    EXPECT_EQ(toolbarHeightFor(19, 2.0), 622);  // 142.5 twips, half to even
    EXPECT_EQ(toolbarHeightFor(31, 2.0), 712);  // 232.5 twips
    EXPECT_EQ(toolbarHeightFor(19, 1.0), 765);
}

TEST(WindowPlacement, ToolbarStaysReachable) {
    const QRect primary(0, 0, 1920, 1080);
    const QRect right(1920, 0, 1280, 1024);
    const QRect left(-1280, 0, 1280, 1024);
    const QSize size(89, 51);
    // On a screen: unchanged, on the primary or any other monitor.
    EXPECT_EQ(reachablePosition(QRect(QPoint(379, 440), size), {primary}, primary), QPoint(379, 440));
    EXPECT_EQ(reachablePosition(QRect(QPoint(2500, 300), size), {primary, right}, primary), QPoint(2500, 300));
    EXPECT_EQ(reachablePosition(QRect(QPoint(-60, 300), size), {primary, left}, primary), QPoint(-60, 300));
    // Partly off the edge but the caption can still be grabbed: unchanged.
    EXPECT_EQ(reachablePosition(QRect(QPoint(1870, 300), size), {primary}, primary), QPoint(1870, 300));
    // The monitor on the right is gone: pulled to the nearest place on the primary screen.
    EXPECT_EQ(reachablePosition(QRect(QPoint(2500, 300), size), {primary}, primary), QPoint(1920 - 89, 300));
    // Far off above and left.
    EXPECT_EQ(reachablePosition(QRect(QPoint(-40000, -900), size), {primary}, primary), QPoint(0, 0));
    // Below the bottom.
    EXPECT_EQ(reachablePosition(QRect(QPoint(100, 1075), size), {primary}, primary), QPoint(100, 1080 - 51));
}
