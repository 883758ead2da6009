#include "geometry/Corners.h"

#include "geometry/Twips.h"

#include <algorithm>
#include <map>

namespace geometry {

std::vector<CornerRun> cornerRuns(int width, int height) {
    std::map<int, int> byRow;
    auto add = [&](int row, int length) {
        if (row < 0 || row >= height) return;
        int& kept = byRow[row];
        kept = std::max(kept, std::min(length, width));
    };
    for (int i = 0; i < int(kCornerTwips.size()); ++i) {
        add(i, kCornerTwips[size_t(i)] / kTwipsPerPixel);
        add(height - i, kCornerTwips[size_t(i)] / kTwipsPerPixel);
    }
    std::vector<CornerRun> runs;
    for (const auto& [row, length] : byRow) runs.push_back({row, length});
    return runs;
}

}  // namespace geometry
