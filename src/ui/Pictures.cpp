#include "ui/Pictures.h"

#include "render/Palette.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <numbers>

namespace pictures {

namespace {

constexpr int kSide = 16;  // logical size of every button picture

// Colours. None of them is silver (192, 192, 192), which the pictures never use.
const QColor kInk(0, 0, 0);
const QColor kLetterInk(0, 0, 0);
const QColor kRed(204, 0, 0);
const QColor kPaleYellow(255, 255, 170);
const QColor kYellow(255, 222, 0);
const QColor kWhite(255, 255, 255);
const QColor kPageLine(120, 120, 120);
const QColor kLens(170, 215, 255);
const QColor kBadge(30, 90, 200);

// ---- The letters: a 3x5 pixel font, one row per byte, bit 2 is the left column. ----

using Glyph = std::array<uint8_t, 5>;

Glyph glyphFor(char letter) {
    switch (letter) {
    case 'A': return {0b010, 0b101, 0b111, 0b101, 0b101};
    case 'C': return {0b011, 0b100, 0b100, 0b100, 0b011};
    case 'E': return {0b111, 0b100, 0b110, 0b100, 0b111};
    case 'F': return {0b111, 0b100, 0b110, 0b100, 0b100};
    case 'L': return {0b100, 0b100, 0b100, 0b100, 0b111};
    case 'R': return {0b110, 0b101, 0b110, 0b101, 0b101};
    case 'Z': return {0b111, 0b001, 0b010, 0b100, 0b111};
    default: return {0, 0, 0, 0, 0};
    }
}

enum class Corner { TopLeft, TopRight, BottomRight };

// Draws a picture in logical 16x16 coordinates. Strokes are given by the pixels they pass
// through: aliased drawing at integer coordinates covers the pixel to the right and below,
// antialiased drawing needs the pixel centre (+0.5) to land on the same pixels.
class Sketch {
public:
    Sketch(QImage& image, qreal dpr) : image_(image), painter_(&image), dpr_(dpr) {
        smooth_ = dpr > 1.0;
        offset_ = smooth_ ? 0.5 : 0.0;
        painter_.setRenderHint(QPainter::Antialiasing, smooth_);
        painter_.scale(dpr, dpr);
    }

    void pen(const QColor& c) {
        QPen p(c, 1.0);
        p.setCapStyle(smooth_ ? Qt::SquareCap : Qt::FlatCap);
        p.setJoinStyle(Qt::MiterJoin);
        painter_.setPen(p);
    }
    void noPen() { painter_.setPen(Qt::NoPen); }
    void brush(const QColor& c) { painter_.setBrush(c); }
    void noBrush() { painter_.setBrush(Qt::NoBrush); }

    // A one-pixel stroke from pixel (x1,y1) to pixel (x2,y2), both included.
    void line(int x1, int y1, int x2, int y2) {
        if (!smooth_) {
            // The aliased rasteriser leaves out the last point of a line: draw it as well.
            painter_.drawLine(QPoint(x1, y1), QPoint(x2, y2));
            painter_.drawPoint(QPoint(x2, y2));
            painter_.drawPoint(QPoint(x1, y1));
        } else {
            painter_.drawLine(QPointF(x1 + offset_, y1 + offset_), QPointF(x2 + offset_, y2 + offset_));
        }
    }

    // A stroke two pixels thick: the line and its copy one pixel along (dx, dy).
    void thickLine(int x1, int y1, int x2, int y2, int dx, int dy) {
        line(x1, y1, x2, y2);
        line(x1 + dx, y1 + dy, x2 + dx, y2 + dy);
    }

    // Pixels x0..x1, y0..y1 filled with `c`, no outline.
    void fill(int x0, int y0, int x1, int y1, const QColor& c) {
        painter_.fillRect(QRect(x0, y0, x1 - x0 + 1, y1 - y0 + 1), c);
    }

    // A rectangle whose outline runs through pixels x0..x1, y0..y1.
    void box(int x0, int y0, int x1, int y1) {
        painter_.drawRect(QRectF(x0 + offset_, y0 + offset_, x1 - x0, y1 - y0));
    }

    // An ellipse whose outline touches pixels x0..x1, y0..y1.
    void ellipse(int x0, int y0, int x1, int y1) {
        if (!smooth_) {
            painter_.drawEllipse(QRect(x0, y0, x1 - x0, y1 - y0));
        } else {
            painter_.drawEllipse(QRectF(x0 + offset_, y0 + offset_, x1 - x0, y1 - y0));
        }
    }

    // A polygon through the given pixels.
    void polygon(std::initializer_list<QPoint> pts) {
        QPolygonF poly;
        for (const QPoint& pt : pts) poly << QPointF(pt.x() + offset_, pt.y() + offset_);
        painter_.drawPolygon(poly);
    }

    // A free polyline through points given in pixel units (pixel centres at +0.5 offsets
    // are applied here as for the other strokes).
    void polyline(const QPolygonF& pts) {
        QPolygonF shifted;
        for (const QPointF& pt : pts) shifted << pt + QPointF(offset_, offset_);
        painter_.drawPolyline(shifted);
    }

    // A letter of the 3x5 font in a corner, each font pixel an integer block of device pixels.
    void letter(char c, Corner corner) {
        const Glyph g = glyphFor(c);
        const int s = std::max(1, qRound(dpr_));
        const int side = image_.width();
        const int x0 = corner == Corner::TopLeft ? 0 : side - 3 * s;
        const int y0 = corner == Corner::BottomRight ? side - 5 * s : 0;
        painter_.save();
        painter_.resetTransform();
        painter_.setRenderHint(QPainter::Antialiasing, false);
        for (int row = 0; row < 5; ++row) {
            for (int col = 0; col < 3; ++col) {
                if (g[row] & (0b100 >> col)) {
                    painter_.fillRect(QRect(x0 + col * s, y0 + row * s, s, s), kLetterInk);
                }
            }
        }
        painter_.restore();
    }

private:
    QImage& image_;
    QPainter painter_;
    qreal dpr_;
    bool smooth_ = false;
    qreal offset_ = 0.0;
};

// ---- The pictures. Coordinates are pixels of the 16x16 grid. ----

void drawArrow(Sketch& s) {
    s.pen(kRed);
    s.thickLine(1, 14, 11, 4, 1, 0);
    s.brush(kRed);
    s.polygon({QPoint(7, 1), QPoint(14, 1), QPoint(14, 8)});
    s.letter('A', Corner::BottomRight);
}

void drawStraightLine(Sketch& s) {
    s.pen(kRed);
    s.thickLine(0, 13, 12, 1, 1, 0);
    s.letter('L', Corner::BottomRight);
}

void drawRectangleOutline(Sketch& s) {
    s.pen(kInk);
    s.noBrush();
    s.box(0, 2, 11, 10);
    s.letter('R', Corner::BottomRight);
}

void drawFilledRectangle(Sketch& s) {
    s.fill(0, 2, 11, 10, kPaleYellow);
    s.pen(kInk);
    s.noBrush();
    s.box(0, 2, 11, 10);
    s.letter('R', Corner::BottomRight);
}

void drawEllipseOutline(Sketch& s) {
    s.pen(kInk);
    s.noBrush();
    s.ellipse(0, 1, 12, 10);
    s.letter('C', Corner::BottomRight);
}

void drawFilledEllipse(Sketch& s) {
    s.pen(kInk);
    s.brush(kYellow);
    s.ellipse(0, 1, 12, 10);
    s.letter('C', Corner::BottomRight);
}

void drawLoupe(Sketch& s) {
    // The page: white sheet with a few text lines.
    s.pen(kInk);
    s.brush(kWhite);
    s.box(0, 1, 8, 13);
    s.fill(2, 3, 6, 3, kPageLine);
    s.fill(2, 5, 5, 5, kPageLine);
    s.fill(2, 7, 6, 7, kPageLine);
    s.fill(2, 9, 4, 9, kPageLine);
    s.fill(2, 11, 6, 11, kPageLine);
    // The glass: a lens over the page's right edge and a handle towards the bottom right.
    s.pen(kInk);
    s.brush(kLens);
    s.ellipse(5, 4, 11, 10);
    s.thickLine(11, 10, 14, 13, 0, 1);
    s.thickLine(11, 11, 13, 13, 1, 1);
    s.letter('E', Corner::TopRight);
}

void drawEmblem(Sketch& s) {
    s.pen(kInk);
    s.brush(kBadge);
    s.ellipse(0, 0, 11, 11);
    // A white pen stroke across the badge.
    s.pen(kWhite);
    s.thickLine(3, 8, 8, 3, 1, 0);
    s.letter('Z', Corner::BottomRight);
}

void drawFreehand(Sketch& s) {
    QPolygonF wave;
    for (int i = 0; i <= 24; ++i) {
        const double x = 0.5 * i;
        wave << QPointF(x, 6.0 - 3.0 * std::sin(x * 2.0 * std::numbers::pi / 11.0));
    }
    s.pen(kRed);
    s.polyline(wave);
    s.polyline(wave.translated(0, 1));
    s.letter('F', Corner::BottomRight);
}

using DrawFn = void (*)(Sketch&);

// The picture the toolbar's first button shows for each pattern, in pattern order.
constexpr DrawFn kPatternPictures[kPatternCount] = {
    drawArrow, drawStraightLine, drawEllipseOutline, drawFilledEllipse, drawRectangleOutline, drawFilledRectangle,
    drawLoupe, drawFreehand,
};

// A 16x16 logical picture rendered for a device pixel ratio: pixel-exact at 1, crisp at 2 and 3.
QPixmap render(DrawFn draw, qreal devicePixelRatio) {
    const qreal dpr = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const int side = qRound(kSide * dpr);
    QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        Sketch sketch(img, dpr);
        draw(sketch);
    }
    img.setDevicePixelRatio(dpr);
    return QPixmap::fromImage(img);
}

QIcon iconOf(DrawFn draw) {
    QIcon icon;
    icon.addPixmap(render(draw, 1.0));
    icon.addPixmap(render(draw, 2.0));
    return icon;
}

}  // namespace

QPixmap patternPicture(Pattern pattern, qreal devicePixelRatio) {
    return render(kPatternPictures[int(pattern) - 1], devicePixelRatio);
}

QIcon patternIcon(Pattern pattern) { return iconOf(kPatternPictures[int(pattern) - 1]); }

QIcon drawButtonIcon() { return iconOf(drawEmblem); }

QImage swatch(int colour) {
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Qt::black);
    const QRgb inside = paletteColour(colour).rgb();
    for (int y = 1; y < 15; ++y)
        for (int x = 1; x < 15; ++x) img.setPixel(x, y, inside);
    return img;
}

QImage programIconImage(int size) {
    if (size <= 0) return QImage();
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Designed on a 32-unit grid.
    const qreal u = size / 32.0;
    p.scale(u, u);
    const qreal hair = 1.0 / u;  // one device pixel, in design units

    // The slate: a dark board in a wooden frame.
    const QRectF frame(1, 3, 30, 24);
    p.setPen(QPen(QColor(70, 40, 15), std::max(hair, 0.6)));
    p.setBrush(QColor(160, 100, 45));
    p.drawRoundedRect(frame, 2.5, 2.5);
    const QRectF board = frame.adjusted(2.5, 2.5, -2.5, -2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(38, 62, 56));
    p.drawRect(board);

    // A chalk scribble on the board (left out where it would only be noise).
    if (size >= 32) {
        QPainterPath chalk;
        chalk.moveTo(7, 10);
        chalk.cubicTo(9, 7, 11, 13, 13, 10);
        chalk.cubicTo(15, 7, 16, 12, 18, 10);
        p.setPen(QPen(QColor(235, 235, 225), std::max(hair, 1.0), Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(chalk);
    }

    // The red arrow stroke, pointing up and to the right.
    const QPointF tail(6, 23), tip(26, 7);
    const QPointF dir = (tip - tail) / std::hypot(tip.x() - tail.x(), tip.y() - tail.y());
    const QPointF normal(-dir.y(), dir.x());
    const qreal headLength = 8.0, headHalf = 4.5;
    const QPointF base = tip - dir * headLength;
    p.setPen(QPen(QColor(215, 20, 20), 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(tail, base + dir * 1.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(215, 20, 20));
    p.drawPolygon(QPolygonF({tip, base + normal * headHalf, base - normal * headHalf}));
    return img;
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(QPixmap::fromImage(programIconImage(size)));
    return icon;
}

}  // namespace pictures
