#pragma once

class Surface;

// Blackens the four corners of the surface's image in rounded steps about 16 pixels deep, so
// that the frozen desktop shows rounded black corners. Device pixels, whatever the screen's scale.
void drawCornerMarks(Surface& surface);
