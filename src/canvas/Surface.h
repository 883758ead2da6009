#pragma once
#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

#include <optional>
#include <span>
#include <vector>

class QPainterPath;

// Semi-axes of the ellipse that `Circle` draws for a radius and an aspect (height / width):
// below 1 the horizontal semi-axis is the radius, otherwise the vertical one is.
struct SemiAxes {
    double horizontal = 0;
    double vertical = 0;
};
SemiAxes circleSemiAxes(double radius, double aspect);

// The canvas's drawing surface: `Image` (what the window shows) and `Picture` (the committed
// background used by take-back and the loupe), both screen-sized RGB32 bitmaps, plus the pen
// settings every drawing operation uses. Positions and lengths are twips; the surface maps
// them to pixels with its twips-per-pixel factor. Antialiasing is always off, so the invert
// mode restores every pixel when a figure is drawn a second time.
//
// Everything touched since the last takeDirty() is remembered as one pixel rectangle, so the
// window repaints only that part of the screen.
class Surface {
public:
    // DrawMode values (the ROP2 mix codes)
    static constexpr int kInvert = 6;
    static constexpr int kMaskPen = 9;
    static constexpr int kCopyPen = 13;
    // FillStyle values
    static constexpr int kSolid = 0;
    static constexpr int kTransparent = 1;

    enum class LineForm { Plain, Box };
    enum class Figure { Box, Ellipse };

    struct Segment {
        float x1, y1, x2, y2;
    };

    // Both images start filled with the background colour; Picture starts empty (see Cls).
    explicit Surface(QSize pixelSize, double twipsPerPixel = 15.0);

    // Pen settings, read by every drawing call. A DrawMode other than 6 and 9 draws as the
    // copy pen; a DrawWidth below 1 draws 1 pixel wide.
    int DrawMode = kCopyPen;
    int DrawWidth = 1;
    int FillStyle = kTransparent;
    QColor FillColor = Qt::black;
    QColor ForeColor = Qt::black;

    // Straight line from (x1, y1) to (x2, y2) in `colour` or else ForeColor. A 1-pixel line
    // sets its start pixel but not its end pixel; wider lines have round ends, and a wide
    // line of no length is a dot.
    // Box form: the axis-aligned rectangle with these opposite corners, both corner pixels
    // included; its interior painted with FillColor when FillStyle is solid. A box or ellipse
    // shrunk to a point is a dot of the pen's width.
    void Line(float x1, float y1, float x2, float y2, std::optional<QColor> colour = std::nullopt,
              LineForm form = LineForm::Plain);

    // Several lines drawn as one figure: where they overlap each pixel is painted once, so an
    // inverted figure shows no holes where its strokes cross.
    void Lines(std::span<const Segment> segments, std::optional<QColor> colour = std::nullopt);

    // Ellipse centred on (cx, cy) with the semi-axes of circleSemiAxes(radius, aspect); outline
    // in `colour` or else ForeColor, interior as for the box form.
    void Circle(float cx, float cy, float radius, std::optional<QColor> colour = std::nullopt,
                float aspect = 1.0f);

    // Image becomes a copy of Picture, or the background colour while Picture is empty.
    void Cls();

    // Picture becomes a snapshot of Image.
    void commit();

    // Stretches the source rectangle of `source` (twips at the picture's natural size) onto the
    // destination rectangle of Image; a plain copy whatever DrawMode is, without smoothing.
    void PaintPicture(const QImage& source, double destX, double destY, double destWidth,
                      double destHeight, double srcX, double srcY, double srcWidth,
                      double srcHeight);

    // Puts `pixels` into Image at the origin (the desktop copy), cropped to the surface's size.
    void setImage(const QImage& pixels);

    const QImage& image() const { return image_; }
    const QImage& picture() const { return picture_; }
    bool hasPicture() const { return !picture_.isNull(); }

    QSize pixelSize() const { return image_.size(); }
    double twipsPerPixel() const { return twipsPerPixel_; }
    float Width() const { return float(image_.width() * twipsPerPixel_); }
    float Height() const { return float(image_.height() * twipsPerPixel_); }

    QColor backgroundColor() const { return background_; }
    void setBackgroundColor(const QColor& colour) { background_ = colour; }

    // The pixel rectangle changed since the previous call (empty when nothing was drawn);
    // starts a new one.
    QRect takeDirty();
    QRect dirty() const { return dirty_; }

private:
    QPointF toPath(float x, float y) const;
    QPoint toPixel(float x, float y) const;
    int penWidth() const { return DrawWidth < 1 ? 1 : DrawWidth; }
    void drawClosedFigure(Figure figure, QPointF centre, double hx, double hy,
                          const QColor& colour);
    void appendThinLine(QPoint a, QPoint b, std::vector<QPoint>& pixels) const;
    void plot(std::vector<QPoint>& pixels, const QColor& colour);
    void fillRegion(const QPainterPath& region, const QColor& colour);
    void touch(const QRect& pixels);

    QImage image_;
    QImage picture_;
    double twipsPerPixel_;
    QColor background_{240, 240, 240};
    QRect dirty_;
};
