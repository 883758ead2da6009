// One pointer move of a drag: erase the inverted preview, draw the next one, take the dirty
// rectangle the window would repaint. The shape keeps its size (about 300 x 200 pixels)
// whatever the screen size, so a 4K screen should cost no more than a 1080p one.
#include <benchmark/benchmark.h>

#include <QImage>

#include <algorithm>
#include <string>
#include <vector>

#include "canvas/QBColor.h"
#include "canvas/Surface.h"
#include "core/Module1.h"
#include "shapes/Arrow.h"
#include "shapes/EllipseFit.h"
#include "shapes/Previews.h"

namespace {

constexpr float kTw = 15;

struct Kind {
    const char* name;
    uint8_t shapeKind, penMode, drawColor, fillStyle;
};
// The drawing patterns whose drags show a preview.
constexpr Kind kKinds[] = {
    {"line", 2, 13, 12, 1},           {"rectangle", 5, 13, 12, 1}, {"ellipse", 4, 13, 12, 1},
    {"arrow", 3, 13, 12, 1},          {"filled_rectangle", 5, 9, 14, 0},
    {"filled_ellipse", 4, 9, 14, 0},
};

QImage desktop(int width, int height) {
    QImage im(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(im.scanLine(y));
        for (int x = 0; x < width; ++x) line[x] = qRgb(x & 255, y & 255, (x ^ y) & 255);
    }
    return im;
}

// The preview drawn for the pointer at (x, y), as the move handler draws it.
void preview(Module1& m, Surface& s, float x, float y) {
    switch (m.shapeKind) {
    case 2: PreviewLine(m, s, x, y); break;
    case 3: DrawArrow(m, s, x, y, 0); break;
    case 4: PreviewEllipse(m, s, m.previewX, m.previewY, m.circleRadius, m.circleAspect); break;
    default: PreviewBox(m, s, x, y); break;
    }
}

void move(Module1& m, Surface& s, float x, float y) {
    preview(m, s, m.previewX, m.previewY);  // erase
    if (m.shapeKind == 4) {
        const auto fit = shapes::fitEllipse(m.startX, m.startY, x, y, m.circleAspect);
        m.previewX = fit.centreX;
        m.previewY = fit.centreY;
        m.circleRadius = fit.radius;
        m.circleAspect = fit.aspect;
    } else {
        m.previewX = x;
        m.previewY = y;
    }
    preview(m, s, x, y);
}

void BM_PointerMove(benchmark::State& state) {
    const Kind& kind = kKinds[state.range(0)];
    const int width = int(state.range(1));
    const int height = width * 9 / 16;

    Surface s(QSize(width, height), kTw);
    s.setImage(desktop(width, height));

    // The press: commit, pen from the pattern, first preview.
    Module1 m;
    m.shapeKind = kind.shapeKind;
    m.penMode = kind.penMode;
    m.drawColor = kind.drawColor;
    m.fillStyle = kind.fillStyle;
    m.lineWidth = 2;
    s.commit();
    s.DrawMode = m.penMode;
    s.FillStyle = m.fillStyle;
    s.FillColor = QBColor(m.drawColor);
    s.ForeColor = QBColor(m.drawColor);
    s.DrawWidth = m.lineWidth * 2;
    m.startX = m.previewX = 600 * kTw;
    m.startY = m.previewY = 400 * kTw;
    m.circleRadius = 1;
    m.circleAspect = 1;
    preview(m, s, m.previewX, m.previewY);
    s.takeDirty();

    int64_t dirtyPixels = 0;
    bool odd = false;
    for (auto _ : state) {
        // The pointer wobbles by one pixel around (900, 600): the shape keeps its size.
        odd = !odd;
        move(m, s, (odd ? 900 : 901) * kTw, (odd ? 600 : 601) * kTw);
        const QRect dirty = s.takeDirty();
        dirtyPixels += int64_t(dirty.width()) * dirty.height();
        benchmark::DoNotOptimize(dirty);
    }
    state.SetLabel(std::string(kind.name) + " " + std::to_string(width) + "x" +
                   std::to_string(height));
    state.counters["dirty_px"] =
        benchmark::Counter(double(dirtyPixels), benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK(BM_PointerMove)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {1920, 3840}})
    ->ArgNames({"kind", "width"})
    ->Unit(benchmark::kMicrosecond)
    // Several runs, reported by their median and their fastest, so that a burst of other work
    // on the machine does not decide the comparison between the two screen sizes.
    ->Repetitions(5)
    ->ComputeStatistics("min",
                        [](const std::vector<double>& v) {
                            return *std::min_element(v.begin(), v.end());
                        })
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
