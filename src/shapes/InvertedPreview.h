#pragma once
#include "canvas/Surface.h"
#include "core/Module1.h"

namespace shapes {

// Runs `draw` (calls without a colour) in the invert mode, then returns the surface to the
// pattern's pen mode.
template <class Draw>
void drawInverted(const Module1& m, Surface& s, Draw&& draw) {
    s.DrawMode = Surface::kInvert;
    draw();
    s.DrawMode = m.penMode;
}

}  // namespace shapes
