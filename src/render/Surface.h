#pragma once
#include "geometry/Twips.h"
#include "render/DirtyRegion.h"
#include "render/PenStyle.h"
#include "render/RowSpans.h"
#include "platform/LargeImage.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <limits>
#include <memory>
#include <span>
#include <vector>

// The canvas's drawing surface: the image shown and the committed picture that take-back and
// the loupe go back to, both RGB32 and the size of the screen in device pixels. Figures are
// given in twips and drawn without antialiasing, so an inverted figure drawn a second time puts
// every pixel back. What changed since the last takeDirty() is kept as a region of strips along
// the figures drawn, so the window repaints only those pixels: an outline costs its outline.
class Surface {
public:
    // A black image.
    Surface(QSize devicePixels, double twipsPerPixel);
    // Drawing straight on these pixels (RGB32), which the surface keeps without a copy.
    Surface(QImage pixels, double twipsPerPixel);

    struct Segment {
        geometry::TwipPoint from, to;
    };

    // A straight line. A 1-pixel line sets its start pixel but not its end pixel; wider lines have
    // round ends, and a wide line of no length is a dot.
    void line(geometry::TwipPoint from, geometry::TwipPoint to, const PenStyle& pen);
    // Several lines as one figure: where they overlap each pixel is painted once, so an inverted
    // figure shows no holes where its strokes meet.
    void lines(std::span<const Segment> segments, const PenStyle& pen);
    // The axis-aligned rectangle with these opposite corners, both corner pixels included. A box
    // or ellipse shrunk to a point is a dot of the pen's width.
    void box(geometry::TwipPoint a, geometry::TwipPoint b, const PenStyle& pen);
    // The ellipse with the semi-axes geometry::semiAxes(radius, aspect).
    void ellipse(geometry::TwipPoint centre, float radius, float aspect, const PenStyle& pen);
    // Pixels set to a colour, whatever is below.
    void fill(const QRect& pixels, const QColor& colour);

    // Puts the desktop copy into the image, cropped to the surface.
    void setImage(const QImage& desktop);
    // The picture becomes a copy of the image.
    void commit();
    // Starts making the first commit's copy on a low-priority thread, so that the first press
    // does not wait for a screen-sized copy to be made. Drawing before that commit drops it.
    void commitAhead();
    // The image becomes a copy of the picture again (nothing happens before the first commit).
    void takeBack();
    // The `source` rectangle of the picture (twips) stretched over the whole image, unsmoothed.
    void zoom(const geometry::TwipRect& source);

    const QImage& image() const { return image_; }
    const QImage& picture() const { return picture_; }
    QSize pixelSize() const { return image_.size(); }
    double twipsPerPixel() const { return twipsPerPixel_; }

    // Inverted figures drawn from beginSwap() to endSwap() change only the pixels they do not
    // share: a band erased and drawn again a little further costs what moved, not twice itself.
    void beginSwap();
    void endSwap();

    // The device pixels changed since the previous call; starts a new record.
    QRegion takeDirty() { return dirty_.take(); }

private:
    QPointF toPath(geometry::TwipPoint p) const;
    QPoint toPixel(geometry::TwipPoint p) const;
    void closedFigure(bool ellipse, QPointF centre, double hx, double hy, const PenStyle& pen);
    void thinLine(QPoint a, QPoint b, std::vector<QPoint>& pixels) const;
    void plot(std::vector<QPoint>& pixels, const PenStyle& pen);
    class RowWriter;
    template <class Figure>
    void paint(const Figure& figure, const PenStyle& pen);
    void noteSwapBoxesByRow();
    static constexpr int kRowsAhead = 4;
    void fetchAhead(int y) const;
    // The image, to be written: a copy still being made of it is dropped first.
    QImage& writable();

    QImage image_;
    QImage picture_;
    std::unique_ptr<platform::BackgroundCopy> ahead_;  // after the image: it goes first
    double twipsPerPixel_;
    DirtyRegion dirty_;
    std::vector<rowspans::Span> spans_, bandRuns_;  // scratch of paint(), kept for its memory
    bool swapping_ = false;
    std::vector<std::vector<rowspans::Span>> swapRows_;  // by row: the inverted runs noted
    int swapTop_ = std::numeric_limits<int>::max(), swapBottom_ = -1;  // the rows with runs noted, and maybe some without
    std::vector<QRect> swapBoxes_;  // or, while only boxes were drawn, their pixels as rectangles
};
