#pragma once
#include <QImage>

// The pictures of ImageList1: one 16 x 16 swatch for each of the nine colours the settings
// panel offers (item numbers 1..9): the colour as a 14 x 14 square in a one-pixel black frame,
// so item 1 (black) is all black. A null image for any other number.
QImage swatchImage(int item);
