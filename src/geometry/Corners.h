#pragma once
#include <array>
#include <vector>

namespace geometry {

// Twips (15 to a pixel) of the blackened run in each pixel row of a rounded screen corner,
// from the outermost row inwards.
inline constexpr std::array<int, 16> kCornerTwips = {240, 195, 150, 120, 90, 75, 60, 60,
                                                     45,  45,  30,  30,  30, 15, 15, 15};

// The corner marks of a screen of width x height pixels, row by row: the first `length` and the
// last `length` pixels of the row are black. The bottom corners are measured up from the
// screen's height, so their outermost run lies just below the last row and the last row shows
// the second run. Only rows on the screen, top to bottom; a row that a top and a bottom corner
// both reach (tiny screens) keeps the longer run.
struct CornerRun {
    int row;
    int length;
    bool operator==(const CornerRun&) const = default;
};
std::vector<CornerRun> cornerRuns(int width, int height);

}  // namespace geometry
