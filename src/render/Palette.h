#pragma once
#include <QColor>

// The sixteen-colour palette that colour settings index. An index outside 0..15 gives black.
QColor paletteColour(int index);
