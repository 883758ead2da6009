#include "shapes/CornerGeometry.h"

#include <algorithm>
#include <map>

namespace shapes {

namespace {
constexpr int32_t kTwipsPerPixel = 15;
}

std::array<CornerLine, 64> cornerLines(int32_t horzRes, int32_t vertRes) {
    const int32_t w = horzRes * kTwipsPerPixel;
    const int32_t h = vertRes * kTwipsPerPixel;
    std::array<CornerLine, 64> lines{};
    for (int32_t i = 0; i < 16; ++i) {
        const int32_t t = kCornerTwips[size_t(i)];
        const int32_t y = i * kTwipsPerPixel;
        const int32_t yb = h - i * kTwipsPerPixel;
        lines[size_t(4 * i + 0)] = {0, y, t, y};
        lines[size_t(4 * i + 1)] = {w - t, y, w, y};
        lines[size_t(4 * i + 2)] = {0, yb, t, yb};
        lines[size_t(4 * i + 3)] = {w - t, yb, w, yb};
    }
    return lines;
}

std::vector<CornerRun> cornerRuns(int horzRes, int vertRes) {
    std::map<int, int> byRow;
    auto add = [&](int row, int length) {
        if (row < 0 || row >= vertRes || length <= 0) return;
        int& kept = byRow[row];
        kept = std::max(kept, std::min(length, horzRes));
    };
    for (int i = 0; i < 16; ++i) {
        const int length = kCornerTwips[size_t(i)] / kTwipsPerPixel;
        add(i, length);
        add(vertRes - i, length);
    }
    std::vector<CornerRun> runs;
    for (const auto& [row, length] : byRow) runs.push_back({row, length});
    return runs;
}

}  // namespace shapes
