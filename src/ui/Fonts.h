#pragma once
#include <QFont>

// The toolbar and the panels are laid out for the Japanese proportional Gothic "ＭＳ Ｐゴシック";
// where it is not installed IPA's proportional Gothic, of about the same widths, stands in, so
// that the captions fit their places and Japanese text has glyphs.
namespace fonts {

QFont gothic(double points, bool bold = false);

}  // namespace fonts
