#pragma once

class Surface;

// Blackens the four corners of Image in rounded steps about 16 pixels deep (the corner runs of
// shapes::cornerLines), with 1-pixel black lines. The five pen settings (DrawMode, FillStyle,
// FillColor, ForeColor, DrawWidth) are the same afterwards as before.
void DrawRoundCorners(Surface& s);
