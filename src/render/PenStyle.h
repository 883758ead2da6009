#pragma once
#include <QColor>

// How a figure's pixels are mixed with the picture below.
enum class Ink {
    Copy,       // replaced by the colour
    Highlight,  // ANDed with the colour: white turns into it, dark parts stay dark
    Invert,     // inverted; the same figure drawn again puts every pixel back
};

// The pen a figure is drawn with.
struct PenStyle {
    Ink ink = Ink::Copy;
    bool filled = false;        // closed figures: interior painted too
    QColor colour = Qt::black;  // outline and interior
    int width = 1;              // device pixels

    PenStyle inverted() const { return {Ink::Invert, filled, colour, width}; }
};
