#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/Numeric.h"

TEST(Numeric, RoundHalfEvenAndRangeChecks) {
    // Halves go to the even neighbour, in both directions.
    EXPECT_EQ(numeric::roundHalfEven(2.5), 2.0);
    EXPECT_EQ(numeric::roundHalfEven(3.5), 4.0);
    EXPECT_EQ(numeric::roundHalfEven(-2.5), -2.0);
    EXPECT_EQ(numeric::roundHalfEven(-3.5), -4.0);
    EXPECT_EQ(numeric::roundHalfEven(0.5), 0.0);
    EXPECT_EQ(numeric::roundHalfEven(-0.5), 0.0);
    // Anything that is not a half goes to the nearest integer.
    EXPECT_EQ(numeric::roundHalfEven(2.4999), 2.0);
    EXPECT_EQ(numeric::roundHalfEven(2.5001), 3.0);
    EXPECT_EQ(numeric::roundHalfEven(-1.6), -2.0);

    // The range is checked after rounding.
    EXPECT_EQ(numeric::toIntegerInRange(254.5, 0, 255), 254);
    EXPECT_EQ(numeric::toIntegerInRange(255.4, 0, 255), 255);
    EXPECT_EQ(numeric::toIntegerInRange(255.5, 0, 255), std::nullopt);
    EXPECT_EQ(numeric::toIntegerInRange(-0.5, 0, 255), 0);
    EXPECT_EQ(numeric::toIntegerInRange(-0.6, 0, 255), std::nullopt);
    EXPECT_EQ(numeric::toIntegerInRange(-32768.4, -32768, 32767), -32768);
    EXPECT_EQ(numeric::toIntegerInRange(32767.5, -32768, 32767), std::nullopt);
    EXPECT_EQ(numeric::toIntegerInRange(2147483647.0, INT32_MIN, INT32_MAX), 2147483647);
    EXPECT_EQ(numeric::toIntegerInRange(2147483648.0, INT32_MIN, INT32_MAX), std::nullopt);
    EXPECT_EQ(numeric::toIntegerInRange(std::nan(""), 0, 255), std::nullopt);
    EXPECT_EQ(numeric::toIntegerInRange(std::numeric_limits<double>::infinity(), INT32_MIN, INT32_MAX),
              std::nullopt);
    EXPECT_EQ(numeric::toIntegerInRange(-std::numeric_limits<double>::infinity(), INT32_MIN, INT32_MAX),
              std::nullopt);
}

TEST(Numeric, TwipsAndPixels) {
    // The default toolbar position, 6600 x 5685 twips, lands on whole pixels.
    EXPECT_EQ(numeric::twipsToPixels(6600), 440);
    EXPECT_EQ(numeric::twipsToPixels(5685), 379);
    EXPECT_EQ(numeric::twipsToPixels(-900), -60);
    EXPECT_EQ(numeric::twipsToPixels(0), 0);
    // Positions between pixels: nearest pixel, halves to even.
    EXPECT_EQ(numeric::twipsToPixels(7), 0);
    EXPECT_EQ(numeric::twipsToPixels(8), 1);
    EXPECT_EQ(numeric::twipsToPixels(7.5), 0);    // 0.5 px
    EXPECT_EQ(numeric::twipsToPixels(22.5), 2);   // 1.5 px
    EXPECT_EQ(numeric::twipsToPixels(37.5), 2);   // 2.5 px
    EXPECT_EQ(numeric::twipsToPixels(-22.5), -2);
    // Beyond a 16-bit twip range (second monitor).
    EXPECT_EQ(numeric::twipsToPixels(57600), 3840);
    // Back to twips and again gives the same pixel.
    for (int px : {-1920, -1, 0, 1, 379, 440, 3839}) {
        EXPECT_EQ(numeric::twipsToPixels(numeric::pixelsToTwips(px)), px) << px;
    }
    EXPECT_EQ(numeric::pixelsToTwips(440), 6600.0);
    EXPECT_EQ(numeric::pixelsToTwips(379.5), 5692.5);
    // Device pixels: 15 twips each at a ratio of 1, 7.5 at 2, 10 at 1.5.
    EXPECT_EQ(numeric::deviceToTwips(21, 1.0), 315.0);
    EXPECT_EQ(numeric::deviceToTwips(21, 2.0), 157.5);
    EXPECT_EQ(numeric::deviceToTwips(3, 1.5), 30.0);
}
