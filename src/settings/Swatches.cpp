#include "settings/Swatches.h"

#include "canvas/QBColor.h"
#include "core/ColorCombo.h"

QImage swatchImage(int item) {
    if (item < 1 || item > colorcombo::kItems) return {};
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Qt::black);
    const QRgb inside = QBColor(ComboIndexToColor(item)).rgb();
    for (int y = 1; y < 15; ++y)
        for (int x = 1; x < 15; ++x) img.setPixel(x, y, inside);
    return img;
}
