#pragma once
#include <QIcon>
#include <QImage>
#include <QPixmap>

// The toolbar's button pictures and the program icon, all drawn in code.
namespace pictures {

// The toolbar's image list: fourteen 16x16 pictures numbered from 1. Silver (192,192,192) is
// the transparent mask colour of the list: the pixmaps returned here carry real transparency
// there instead.
inline constexpr int kImageCount = 14;

// Picture `image` (1..kImageCount), 16x16 logical pixels rendered for `devicePixelRatio`
// (pixel-exact at 1, crisp at 2 and 3, reasonable at 1.5). A null pixmap for any other number.
QPixmap buttonPicture(int image, qreal devicePixelRatio = 1.0);

// Picture `image` at device pixel ratios 1 and 2; a null icon for an unknown number.
QIcon buttonIcon(int image);

// The application / window icon at 16, 24, 32, 48, 64, 128 and 256 pixels.
QIcon programIcon();

// The program icon drawn at `size` x `size` pixels (null for size <= 0).
QImage programIconImage(int size);

}  // namespace pictures
