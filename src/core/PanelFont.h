#pragma once
#include <QFont>

// Fonts of the toolbar and the two panels. Their controls are sized for the Japanese proportional Gothic
// "ＭＳ Ｐゴシック"; where that font is not installed, IPA's proportional Gothic (about the same
// widths) stands in, so that the captions fit their labels and Japanese text has glyphs.
namespace panelfont {

QFont gothic(double points, bool bold = false);

// The panels' form font: the Gothic at 9 points.
QFont form();

}  // namespace panelfont
