#pragma once
#include <QColor>

// The sixteen-colour palette that colour indices (lineColor, fillColor, drawColor) refer to.
// An index outside 0..15 gives black.
QColor QBColor(int index);
