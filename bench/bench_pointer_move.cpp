// One pointer move of a drag with the real tools: the tool erases its band and draws the next,
// and the window would repaint the changed region (dirty_px: its pixels; rects: its rectangles,
// a request to the display each). The drag spans 20 % to 80 % of the screen, as a presenter
// draws, and the pointer wobbles by a pixel at its end.
#include <benchmark/benchmark.h>

#include "platform/LargeImage.h"
#include "platform/x11/SharedImage.h"
#include "render/Surface.h"
#include "tools/Patterns.h"
#include "tools/Tool.h"

#include <QImage>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr Pattern kPatterns[] = {Pattern::Line, Pattern::Rectangle, Pattern::Circle, Pattern::Arrow,
                                 Pattern::FilledRectangle, Pattern::FilledCircle, Pattern::FreeDraw};
constexpr const char* kNames[] = {"line", "rectangle", "ellipse", "arrow", "filled_rectangle", "filled_ellipse", "free_draw"};

// Where the program's capture lies: in a shared memory segment where the X server shares memory
// (MIT-SHM), in 4 KiB pages since the system gives shared memory no huge pages unless told to, so
// that at 4K each row of an outline lies on a page of its own, more than the processor's address
// cache holds; in huge pages where the system has them on an X server that shares no memory.
QImage desktop(int width, int height, bool shared) {
    QImage im = shared ? platform::x11::sharedImage({width, height}) : platform::allocateImage({width, height});
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(im.scanLine(y));
        for (int x = 0; x < width; ++x) line[x] = qRgb(x & 255, y & 255, (x ^ y) & 255);
    }
    return im;
}

// What the rest of a display refresh does to the processor's caches between two moves: the X
// server and the toolkit run, and the rows of the image are in none of them any more (nor in its
// address cache). Every line of 64 MiB, twice the largest cache here.
void emptyCaches() {
    static std::vector<unsigned char> other(size_t(64) << 20, 1);
    for (size_t i = 0; i < other.size(); i += 64) ++other[i];
    benchmark::ClobberMemory();
}

void BM_PointerMove(benchmark::State& state, bool cold) {
    const Pattern pattern = kPatterns[state.range(0)];
    const int width = int(state.range(1)), height = width * 9 / 16;
    Surface s({width, height}, 15);
    const bool shared = state.range(2) != 0;
    s.setImage(desktop(width, height, shared));
    s.commit();
    const std::unique_ptr<Tool> tool = makeTool(pattern, Settings{}, s);
    const float x0 = width * 0.2f * 15, y0 = height * 0.2f * 15, x1 = width * 0.8f * 15, y1 = height * 0.8f * 15;
    tool->press({x0, y0});
    tool->move({x1, y1});
    s.takeDirty();
    int64_t dirtyPixels = 0, rects = 0;
    bool odd = false;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            emptyCaches();
            state.ResumeTiming();
        }
        odd = !odd;
        tool->move({x1 + (odd ? 15 : 0), y1 + (odd ? 15 : 0)});
        const QRegion dirty = s.takeDirty();
        for (const QRect& r : dirty) dirtyPixels += int64_t(r.width()) * r.height();
        rects += dirty.rectCount();
        benchmark::DoNotOptimize(dirty);
    }
    state.SetLabel(std::string(kNames[state.range(0)]) + " " + std::to_string(width) + "x" + std::to_string(height) +
                   (shared ? " shared" : " huge pages") + (cold ? ", caches emptied" : ""));
    state.counters["dirty_px"] = benchmark::Counter(double(dirtyPixels), benchmark::Counter::kAvgIterations);
    state.counters["rects"] = benchmark::Counter(double(rects), benchmark::Counter::kAvgIterations);
}

}  // namespace

// Several runs, reported by their median and their fastest, so that a burst of other work on the
// machine does not decide the comparison between the two screen sizes.
void repeated(benchmark::internal::Benchmark* b) {
    b->ArgNames({"tool", "width", "shm"})
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(5)
        ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
        ->ReportAggregatesOnly(true);
}

BENCHMARK_CAPTURE(BM_PointerMove, warm, false)->ArgsProduct({{0, 1, 2, 3, 4, 5, 6}, {1920, 3840}, {1, 0}})->Apply(repeated);
// The outlines and the free-hand stroke at 4K, each move after the caches were emptied, as in the
// program (a fixed number of moves: emptying the caches takes longer than a move).
BENCHMARK_CAPTURE(BM_PointerMove, cold, true)->ArgsProduct({{0, 1, 2, 3, 6}, {3840}, {1}})->Iterations(200)->Apply(repeated);

BENCHMARK_MAIN();
