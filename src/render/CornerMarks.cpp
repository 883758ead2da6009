#include "render/CornerMarks.h"

#include "geometry/Corners.h"
#include "render/Surface.h"

void drawCornerMarks(Surface& surface) {
    const QSize size = surface.pixelSize();
    for (const geometry::CornerRun& run : geometry::cornerRuns(size.width(), size.height())) {
        surface.fill(QRect(0, run.row, run.length, 1), Qt::black);
        surface.fill(QRect(size.width() - run.length, run.row, run.length, 1), Qt::black);
    }
}
