#include "toolbar/ButtonPictures.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// The pictures the program puts on its buttons; the others only fill the list.
const std::vector<int> kShown = {1, 2, 3, 4, 5, 6, 7, 8, 12};

std::vector<int> allImages() {
    std::vector<int> all;
    for (int i = 1; i <= pictures::kImageCount; ++i) all.push_back(i);
    return all;
}

// The picture's device pixels, unpremultiplied so colours can be compared directly.
QImage pixels(int image, qreal dpr) {
    QImage img = pictures::buttonPicture(image, dpr).toImage().convertToFormat(QImage::Format_ARGB32);
    img.setDevicePixelRatio(1.0);
    return img;
}

int countPixels(const QImage& img, const std::function<bool(QRgb)>& pred) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (pred(img.pixel(x, y))) ++n;
    return n;
}

bool opaque(QRgb c) { return qAlpha(c) == 255; }
bool dark(QRgb c) { return qAlpha(c) == 255 && qRed(c) < 80 && qGreen(c) < 80 && qBlue(c) < 80; }
bool paleYellow(QRgb c) {
    return qAlpha(c) == 255 && qRed(c) >= 230 && qGreen(c) >= 230 && qBlue(c) >= 100 && qBlue(c) <= 215;
}
bool yellow(QRgb c) { return qAlpha(c) == 255 && qRed(c) >= 220 && qGreen(c) >= 180 && qBlue(c) <= 80; }

// The smallest rectangle holding every pixel that satisfies `pred`.
QRect boundingBox(const QImage& img, const std::function<bool(QRgb)>& pred) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (pred(img.pixel(x, y))) box |= QRect(x, y, 1, 1);
    return box;
}

// ---- Sizes and scale ----

TEST(ButtonPictureSize, EveryPictureIs16LogicalPixelsAtEachScale) {
    for (int image : allImages()) {
        SCOPED_TRACE(image);
        const QPixmap one = pictures::buttonPicture(image);
        ASSERT_FALSE(one.isNull());
        EXPECT_EQ(one.size(), QSize(16, 16));
        EXPECT_DOUBLE_EQ(one.devicePixelRatio(), 1.0);

        const QPixmap two = pictures::buttonPicture(image, 2.0);
        ASSERT_FALSE(two.isNull());
        EXPECT_EQ(two.size(), QSize(32, 32));
        EXPECT_DOUBLE_EQ(two.devicePixelRatio(), 2.0);
        EXPECT_EQ(two.deviceIndependentSize(), QSizeF(16, 16));

        const QPixmap oneAndHalf = pictures::buttonPicture(image, 1.5);
        EXPECT_EQ(oneAndHalf.size(), QSize(24, 24));
        EXPECT_DOUBLE_EQ(oneAndHalf.devicePixelRatio(), 1.5);

        const QPixmap three = pictures::buttonPicture(image, 3.0);
        EXPECT_EQ(three.size(), QSize(48, 48));
        EXPECT_DOUBLE_EQ(three.devicePixelRatio(), 3.0);
    }
}

TEST(ButtonPictureSize, NumbersOutsideTheListGiveNothing) {
    for (int image : {0, pictures::kImageCount + 1, -1}) {
        SCOPED_TRACE(image);
        EXPECT_TRUE(pictures::buttonPicture(image).isNull());
        EXPECT_TRUE(pictures::buttonPicture(image, 2.0).isNull());
        EXPECT_TRUE(pictures::buttonIcon(image).isNull());
    }
}

TEST(ButtonPictureSize, IconHoldsBothScales) {
    for (int image : allImages()) {
        SCOPED_TRACE(image);
        const QIcon icon = pictures::buttonIcon(image);
        ASSERT_FALSE(icon.isNull());
        const QList<QSize> sizes = icon.availableSizes();
        EXPECT_TRUE(sizes.contains(QSize(16, 16)));
        EXPECT_TRUE(sizes.contains(QSize(32, 32)));
        const QImage sharp = icon.pixmap(QSize(16, 16), 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(sharp.size(), QSize(32, 32));
        QImage expected = pixels(image, 2.0);
        QImage got = sharp;
        got.setDevicePixelRatio(1.0);
        EXPECT_EQ(got, expected);
    }
}

// ---- Content ----

TEST(ButtonPictureContent, ShownPicturesAreDistinctAndNeitherEmptyNorFull) {
    std::vector<QImage> images;
    for (int image : kShown) {
        SCOPED_TRACE(image);
        const QImage img = pixels(image, 1.0);
        const int drawn = countPixels(img, opaque);
        EXPECT_GE(drawn, 20) << "too little drawn";
        EXPECT_LE(drawn, 200) << "picture fills its square";
        // A letter or some outline in a dark colour gives the picture contrast on a grey button.
        EXPECT_GE(countPixels(img, dark), 5);
        images.push_back(img);
    }
    for (size_t a = 0; a < images.size(); ++a)
        for (size_t b = a + 1; b < images.size(); ++b)
            EXPECT_NE(images[a], images[b]) << "pictures " << kShown[a] << " and " << kShown[b];
}

TEST(ButtonPictureContent, UnshownPicturesAreDistinctToo) {
    const std::vector<int> all = allImages();
    for (size_t a = 0; a < all.size(); ++a) {
        EXPECT_GT(countPixels(pixels(all[a], 1.0), opaque), 0) << "picture " << all[a];
        for (size_t b = a + 1; b < all.size(); ++b)
            EXPECT_NE(pixels(all[a], 1.0), pixels(all[b], 1.0)) << "pictures " << all[a] << " and " << all[b];
    }
}

TEST(ButtonPictureContent, FilledRectangleIsPaleYellowToItsCornersWithDarkOutline) {
    for (qreal dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        const QImage img = pixels(4, dpr);
        const QRect fill = boundingBox(img, paleYellow);
        ASSERT_FALSE(fill.isNull());
        EXPECT_GE(fill.width(), 6 * dpr);
        EXPECT_GE(fill.height(), 5 * dpr);
        // Solid to the corners: every pixel of the box is the filling.
        EXPECT_EQ(countPixels(img.copy(fill), paleYellow), fill.width() * fill.height());
        EXPECT_EQ(countPixels(img, yellow), 0) << "the filled rectangle is pale, not strong yellow";
        // Surrounded by a dark frame.
        const QRect ring = fill.adjusted(-1, -1, 1, 1);
        ASSERT_TRUE(img.rect().contains(ring));
        for (const QPoint& corner : {ring.topLeft(), ring.topRight(), ring.bottomLeft(), ring.bottomRight()})
            EXPECT_TRUE(dark(img.pixel(corner))) << corner.x() << "," << corner.y();
        for (int x = ring.left(); x <= ring.right(); ++x) {
            EXPECT_TRUE(dark(img.pixel(x, ring.top())));
            EXPECT_TRUE(dark(img.pixel(x, ring.bottom())));
        }
    }
}

TEST(ButtonPictureContent, FilledEllipseIsYellowAllRound) {
    const QImage img = pixels(6, 1.0);
    const QRect fill = boundingBox(img, yellow);
    ASSERT_FALSE(fill.isNull());
    EXPECT_GE(fill.width(), 6);
    EXPECT_GE(fill.height(), 5);
    EXPECT_EQ(countPixels(img, paleYellow), 0) << "the filled ellipse is strong yellow, not pale";
    const QPointF c = QRectF(fill).center();
    const qreal rx = fill.width() / 2.0, ry = fill.height() / 2.0;
    // Towards each of its four corners the filling is yellow...
    for (int sx : {-1, 1})
        for (int sy : {-1, 1}) {
            const QPoint inner = (c + QPointF(sx * 0.55 * rx, sy * 0.55 * ry)).toPoint();
            EXPECT_TRUE(yellow(img.pixel(inner))) << inner.x() << "," << inner.y();
        }
    EXPECT_TRUE(yellow(img.pixel(c.toPoint())));
    // ...while the corners of its box lie outside the round shape.
    for (const QPoint& corner : {fill.topLeft(), fill.topRight(), fill.bottomLeft(), fill.bottomRight()})
        EXPECT_FALSE(yellow(img.pixel(corner))) << corner.x() << "," << corner.y();
}

// ---- Transparency ----

TEST(ButtonPictureTransparency, SilverMaskColourIsNeverDrawn) {
    for (int image : allImages()) {
        for (qreal dpr : {1.0, 1.5, 2.0, 3.0}) {
            const QImage img = pixels(image, dpr);
            const int silver = countPixels(img, [](QRgb c) {
                return qAlpha(c) > 0 && qRed(c) == 192 && qGreen(c) == 192 && qBlue(c) == 192;
            });
            EXPECT_EQ(silver, 0) << "picture " << image << " at dpr " << dpr;
        }
    }
}

TEST(ButtonPictureTransparency, AtScaleOneEveryPixelIsFullyOnOrOff) {
    for (int image : allImages()) {
        const QImage img = pixels(image, 1.0);
        const int blurred = countPixels(img, [](QRgb c) { return qAlpha(c) != 0 && qAlpha(c) != 255; });
        EXPECT_EQ(blurred, 0) << "picture " << image;
        EXPECT_GT(countPixels(img, [](QRgb c) { return qAlpha(c) == 0; }), 0)
            << "picture " << image << " has no transparent background";
    }
}

// ---- Sharpness at higher scales ----

// The 3x5 corner block where a letter sits, in logical pixels.
std::vector<QRect> letterCorners() {
    return {QRect(0, 0, 3, 5), QRect(13, 0, 3, 5), QRect(0, 11, 3, 5), QRect(13, 11, 3, 5)};
}

TEST(ButtonPictureSharpness, LetterIsTheSameGlyphBlownUpByWholePixels) {
    for (int image : kShown) {
        SCOPED_TRACE(image);
        const QImage one = pixels(image, 1.0);
        for (int factor : {2, 3}) {
            SCOPED_TRACE(factor);
            const QImage big = pixels(image, factor);
            bool found = false;
            for (const QRect& corner : letterCorners()) {
                const QImage glyph = one.copy(corner);
                if (countPixels(glyph, dark) < 5) continue;
                const QImage scaled = glyph.scaled(glyph.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
                const QRect bigCorner(corner.topLeft() * factor, corner.size() * factor);
                if (big.copy(bigCorner) == scaled) found = true;
            }
            EXPECT_TRUE(found) << "no corner holds a crisp, whole-pixel letter";
        }
    }
}

TEST(ButtonPictureSharpness, DoubleScaleShowsTheSameShape) {
    for (int image : allImages()) {
        SCOPED_TRACE(image);
        const QImage one = pixels(image, 1.0);
        const QImage two = pixels(image, 2.0);
        int agree = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                int alpha = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx) alpha += qAlpha(two.pixel(2 * x + dx, 2 * y + dy));
                const bool coveredTwo = alpha >= 2 * 255;
                const bool coveredOne = qAlpha(one.pixel(x, y)) == 255;
                if (coveredOne == coveredTwo) ++agree;
            }
        EXPECT_GE(agree, 16 * 16 * 85 / 100);
    }
}

// ---- Program icon ----

TEST(ProgramIcon, DrawnAtEachSizeOnATransparentGround) {
    for (int size : {16, 32, 256}) {
        SCOPED_TRACE(size);
        QImage img = pictures::programIconImage(size).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(img.size(), QSize(size, size));
        const int drawn = countPixels(img, [](QRgb c) { return qAlpha(c) > 128; });
        EXPECT_GE(drawn, size * size / 3);
        EXPECT_LT(drawn, size * size);
        // The corners stay clear.
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(img.pixel(size - 1, 0)), 0);
        // A red stroke runs across the board.
        EXPECT_GT(countPixels(img, [](QRgb c) { return qAlpha(c) == 255 && qRed(c) > 180 && qGreen(c) < 60; }), 0);
    }
    EXPECT_TRUE(pictures::programIconImage(0).isNull());
}

TEST(ProgramIcon, IconOffersEverySize) {
    const QIcon icon = pictures::programIcon();
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {16, 24, 32, 48, 64, 128, 256}) EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
}

}  // namespace
