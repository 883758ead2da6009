#include "toolbar/ButtonPictures.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// The pictures the program puts on its buttons; the others only fill the list.
const std::vector<int> kShown = {1, 2, 3, 4, 5, 6, 7, 8, 12};

// The picture's device pixels, unpremultiplied so colours can be compared directly.
QImage pixels(int image, qreal dpr) {
    QImage img = pictures::buttonPicture(image, dpr).toImage().convertToFormat(QImage::Format_ARGB32);
    img.setDevicePixelRatio(1.0);
    return img;
}

int countPixels(const QImage& img, const std::function<bool(QRgb)>& pred) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += pred(img.pixel(x, y));
    return n;
}

QRect boundingBox(const QImage& img, const std::function<bool(QRgb)>& pred) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (pred(img.pixel(x, y))) box |= QRect(x, y, 1, 1);
    return box;
}

bool opaque(QRgb c) { return qAlpha(c) == 255; }
bool dark(QRgb c) { return opaque(c) && qRed(c) < 80 && qGreen(c) < 80 && qBlue(c) < 80; }
bool paleYellow(QRgb c) { return opaque(c) && qRed(c) >= 230 && qGreen(c) >= 230 && qBlue(c) >= 100 && qBlue(c) <= 215; }
bool yellow(QRgb c) { return opaque(c) && qRed(c) >= 220 && qGreen(c) >= 180 && qBlue(c) <= 80; }
bool silver(QRgb c) { return qAlpha(c) > 0 && qRed(c) == 192 && qGreen(c) == 192 && qBlue(c) == 192; }

TEST(ButtonPicture, SizesScalesTransparencyAndContent) {
    for (int image = 1; image <= pictures::kImageCount; ++image) {
        SCOPED_TRACE(image);
        for (qreal dpr : {1.0, 1.5, 2.0, 3.0}) {
            const QPixmap pm = pictures::buttonPicture(image, dpr);
            EXPECT_EQ(pm.size(), QSize(16, 16) * dpr);
            EXPECT_DOUBLE_EQ(pm.devicePixelRatio(), dpr);
            EXPECT_EQ(pm.deviceIndependentSize(), QSizeF(16, 16));
            EXPECT_EQ(countPixels(pixels(image, dpr), silver), 0) << "the mask colour is drawn at " << dpr;
        }
        // At scale one every pixel is fully on or off, with some of each.
        const QImage one = pixels(image, 1.0);
        EXPECT_EQ(countPixels(one, [](QRgb c) { return qAlpha(c) != 0 && qAlpha(c) != 255; }), 0);
        EXPECT_GT(countPixels(one, [](QRgb c) { return qAlpha(c) == 0; }), 0);
        EXPECT_GT(countPixels(one, opaque), 0);
        // The icon holds both scales, the sharp one the same as the picture.
        const QIcon icon = pictures::buttonIcon(image);
        EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)) && icon.availableSizes().contains(QSize(32, 32)));
        QImage sharp = icon.pixmap(QSize(16, 16), 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
        sharp.setDevicePixelRatio(1.0);
        EXPECT_EQ(sharp, pixels(image, 2.0));
        // Twice the size shows the same shape.
        const QImage two = pixels(image, 2.0);
        int agree = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int alpha = qAlpha(two.pixel(2 * x, 2 * y)) + qAlpha(two.pixel(2 * x + 1, 2 * y)) +
                                  qAlpha(two.pixel(2 * x, 2 * y + 1)) + qAlpha(two.pixel(2 * x + 1, 2 * y + 1));
                agree += (alpha >= 2 * 255) == opaque(one.pixel(x, y));
            }
        EXPECT_GE(agree, 16 * 16 * 85 / 100);
        // Every picture differs from every other.
        for (int other = image + 1; other <= pictures::kImageCount; ++other) EXPECT_NE(one, pixels(other, 1.0)) << other;
        if (std::find(kShown.begin(), kShown.end(), image) == kShown.end()) continue;

        // A picture on a button neither empty nor full, with a dark letter in one of its 3 x 5 corner blocks,
        // blown up by whole pixels at higher scales.
        EXPECT_GE(countPixels(one, opaque), 20);
        EXPECT_LE(countPixels(one, opaque), 200);
        for (int factor : {2, 3}) {
            const QImage big = pixels(image, factor);
            bool found = false;
            for (QRect corner : {QRect(0, 0, 3, 5), QRect(13, 0, 3, 5), QRect(0, 11, 3, 5), QRect(13, 11, 3, 5)}) {
                const QImage glyph = one.copy(corner);
                found |= countPixels(glyph, dark) >= 5 &&
                         big.copy(QRect(corner.topLeft() * factor, corner.size() * factor)) ==
                             glyph.scaled(glyph.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            }
            EXPECT_TRUE(found) << "no crisp letter at scale " << factor;
        }
    }
    for (int image : {0, pictures::kImageCount + 1, -1}) {
        EXPECT_TRUE(pictures::buttonPicture(image).isNull()) << image;
        EXPECT_TRUE(pictures::buttonPicture(image, 2.0).isNull()) << image;
        EXPECT_TRUE(pictures::buttonIcon(image).isNull()) << image;
    }
}

TEST(ButtonPicture, FilledRectangleIsPaleYellowToItsCornersAndFilledEllipseYellowAllRound) {
    for (qreal dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        const QImage img = pixels(4, dpr);
        const QRect fill = boundingBox(img, paleYellow);
        ASSERT_GE(fill.width(), 6 * dpr);
        ASSERT_GE(fill.height(), 5 * dpr);
        EXPECT_EQ(countPixels(img.copy(fill), paleYellow), fill.width() * fill.height());
        EXPECT_EQ(countPixels(img, yellow), 0);
        // Surrounded by a dark frame.
        const QRect ring = fill.adjusted(-1, -1, 1, 1);
        ASSERT_TRUE(img.rect().contains(ring));
        for (int x = ring.left(); x <= ring.right(); ++x)
            EXPECT_TRUE(dark(img.pixel(x, ring.top())) && dark(img.pixel(x, ring.bottom()))) << x;
        for (int y = ring.top(); y <= ring.bottom(); ++y)
            EXPECT_TRUE(dark(img.pixel(ring.left(), y)) && dark(img.pixel(ring.right(), y))) << y;
    }

    const QImage img = pixels(6, 1.0);
    const QRect fill = boundingBox(img, yellow);
    ASSERT_GE(fill.width(), 6);
    ASSERT_GE(fill.height(), 5);
    EXPECT_EQ(countPixels(img, paleYellow), 0);
    // Yellow at the centre and towards its box's four corners, while the corners lie outside the round shape.
    const QPointF c = QRectF(fill).center();
    EXPECT_TRUE(yellow(img.pixel(c.toPoint())));
    for (int sx : {-1, 1})
        for (int sy : {-1, 1}) {
            const QPoint inner = (c + QPointF(sx * 0.55 * fill.width() / 2, sy * 0.55 * fill.height() / 2)).toPoint();
            EXPECT_TRUE(yellow(img.pixel(inner))) << inner.x() << "," << inner.y();
        }
    for (QPoint corner : {fill.topLeft(), fill.topRight(), fill.bottomLeft(), fill.bottomRight()})
        EXPECT_FALSE(yellow(img.pixel(corner))) << corner.x() << "," << corner.y();
}

TEST(ProgramIcon, DrawnAtEachSizeOnATransparentGround) {
    for (int size : {16, 32, 256}) {
        SCOPED_TRACE(size);
        QImage img = pictures::programIconImage(size).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(img.size(), QSize(size, size));
        const int drawn = countPixels(img, [](QRgb c) { return qAlpha(c) > 128; });
        EXPECT_GE(drawn, size * size / 3);
        EXPECT_LT(drawn, size * size);
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(img.pixel(size - 1, 0)), 0);
        // A red stroke runs across the board.
        EXPECT_GT(countPixels(img, [](QRgb c) { return opaque(c) && qRed(c) > 180 && qGreen(c) < 60; }), 0);
    }
    EXPECT_TRUE(pictures::programIconImage(0).isNull());
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        EXPECT_TRUE(pictures::programIcon().availableSizes().contains(QSize(size, size))) << size;
}

}  // namespace
