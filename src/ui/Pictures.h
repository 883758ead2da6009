#pragma once
#include "model/Pattern.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

// The pictures of the toolbar's buttons and the settings panel's swatches, and the program
// icon, all drawn in code so that they are crisp at any device pixel ratio.
namespace pictures {

// The 16x16 (logical) picture the first button shows for a pattern, with a transparent ground.
QPixmap patternPicture(Pattern pattern, qreal devicePixelRatio = 1.0);
QIcon patternIcon(Pattern pattern);
// The drawing-mode button's emblem.
QIcon drawButtonIcon();

// A 16x16 swatch: the palette colour as a 14x14 square in a one-pixel black frame.
QImage swatch(int colour);

// The program icon at 16 to 256 pixels, and drawn at one size (null for size <= 0).
QIcon programIcon();
QImage programIconImage(int size);

}  // namespace pictures
