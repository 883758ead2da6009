#pragma once
#include <array>
#include <cstdint>
#include <vector>

namespace shapes {

// Length in twips (at 15 twips per pixel) of the blackened run in each pixel row of a rounded
// screen corner, from the outermost row inwards.
inline constexpr std::array<int16_t, 16> kCornerTwips = {240, 195, 150, 120, 90, 75, 60, 60,
                                                         45,  45,  30,  30,  30,  15, 15, 15};

// The 64 lines of the corner marks for a display of horzRes x vertRes pixels, in twips at
// 15 twips per pixel: for each table row top-left, top-right, bottom-left, bottom-right. The
// bottom rows are measured up from the canvas height, so row 0 of the bottom corners lies
// just below the last visible row. 32-bit, so any display size fits.
struct CornerLine {
    int32_t x1, y1, x2, y2;
};
std::array<CornerLine, 64> cornerLines(int32_t horzRes, int32_t vertRes);

// What those lines blacken, row by row: the first `length` pixels of the row and its last
// `length` pixels (a line leaves out its end pixel). Only visible rows, top to bottom; a row
// reached by a top and a bottom corner (tiny displays) keeps the longer run.
struct CornerRun {
    int row;
    int length;
};
std::vector<CornerRun> cornerRuns(int horzRes, int vertRes);

}  // namespace shapes
