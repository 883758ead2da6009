#pragma once
#include <cstdint>

class Surface;
struct Module1;

// The pointer gestures on the canvas: a press commits the canvas and starts a rubber-band
// preview, moves advance it, the release paints the final shape. The right button takes the
// latest drawing back. Positions are twips.
namespace gestures {

enum Button { Left = 1, Right = 2, Middle = 4 };

// The drawing pattern of the gesture in progress, held from its press to its release, so a
// pattern key pressed mid-drag neither mismatches the preview nor changes the shape.
struct Gesture {
    uint8_t shapeKind = 0;
    uint8_t penMode = 0;
    uint8_t drawColor = 0;
    uint8_t fillStyle = 0;
};

// What the window must do after a press.
enum class AfterPress { Nothing, FocusToolbar, ShowToolbar };

AfterPress MouseDown(Module1& m, Surface& s, Gesture& g, int button, float x, float y);
void MouseMove(Module1& m, Surface& s, const Gesture& g, float x, float y);
void MouseUp(Module1& m, Surface& s, const Gesture& g, int button, float x, float y);

}  // namespace gestures
