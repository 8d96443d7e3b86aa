#pragma once
// The picture of a canvas kept as what was drawn rather than as pixels: every
// operation in drawing order, in the logical coordinates of the 396-pixel
// square, with its colour and pen width. The same description paints the
// exact screen bitmap at scale 1, a sharp one at any other scale, and vector
// output (SVG, print) through a QPainter.
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <memory>
#include <vector>

class QPainter;

namespace picture {

// The logical size of every picture (the canvas's drawable square).
constexpr int kSize = 396;
// Painting is refused above this scale and capped at this many device pixels
// a side, whatever a caller asks for.
constexpr double kMaxScale = 16;
constexpr int kMaxSide = 4096;
// Scale at which the oldest part of a very long drawing session is kept once
// it had to be flattened to stay within the memory budget.
constexpr int kFlatScale = 4;

enum class Kind : quint8 { Dots, Segments, Ellipse, Box, Text };

struct Op {
    Kind kind = Kind::Dots;
    int width = 1;  // pen width in logical pixels
    QRgb rgb = 0;
    quint32 first = 0, count = 0;       // Dots: count points; Segments: count pairs of points
    double a = 0, b = 0, c = 0, d = 0;  // Ellipse: centre, radii; Box: x0, y0, x1, y1; Text: baseline
    int text = -1;                      // Text: index into texts
};

struct TextItem {
    QString text;
    QFont font;
};

// Operations in drawing order, optionally on top of a flattened start.
struct Description {
    // When set, what was flattened: exact pixels at scale 1 and the same at
    // kFlatScale; the operations are drawn on top. Otherwise white.
    QImage base, baseHigh;
    std::vector<Op> ops;
    std::vector<QPointF> points;
    std::vector<TextItem> texts;
    size_t textBytes = 0;

    bool hasBase() const { return !base.isNull(); }
    bool empty() const { return ops.empty() && !hasBase(); }
    void clear();
    // Bytes held, roughly: what the memory budget counts.
    size_t weight() const;
    // Appends other's operations (other has no base of its own).
    void append(const Description& other);

    // --- recording (coordinates in logical pixels) ---
    void addDot(double px, double py, QRgb rgb, int width);
    // The points from index `from` to the end were just added as dots.
    void markDots(size_t from, QRgb rgb, int width);
    void addSegment(double x1, double y1, double x2, double y2, QRgb rgb, int width);
    void addEllipse(QPointF centre, double rx, double ry, QRgb rgb, int width);
    void addBox(int x0, int y0, int x1, int y1, QRgb rgb);
    void addText(QPointF baseline, const QString& text, const QFont& font, QRgb rgb);
};

// Paints operations onto a raster image at a scale, writing pixels directly
// for dots, lines and boxes (the curves are thousands of dots) and through a
// painter for ellipses and text. At scale 1 this is the canvas's own drawing.
class Raster {
public:
    // target: the picture's square at this scale (at least kSize * scale a side).
    Raster(QImage& target, double scale);
    ~Raster();
    Raster(const Raster&) = delete;
    Raster& operator=(const Raster&) = delete;

    // The whole description: its base (or white), then its operations.
    void paint(const Description& d);
    // Operations only, from index `from` on.
    void paintOps(const Description& d, size_t from = 0);
    void paintOp(const Description& d, const Op& op);
    // Ends the painter that ellipses and texts use, so that direct writes may follow.
    void endPainter();

    // Integer pixel operations, also used by the canvas while it draws.
    void dots(const QPointF* pts, size_t n, QRgb rgb, int width);
    void segment(double x1, double y1, double x2, double y2, QRgb rgb, int width);
    void box(int x0, int y0, int x1, int y1, QRgb rgb);
    void ellipse(QPointF centre, double rx, double ry, QRgb rgb, int width);
    void text(QPointF baseline, const QString& text, const QFont& font, QRgb rgb);
    void fillWhite();
    void drawBase(const Description& d);

private:
    void begin();
    QRgb* row(int y) { return reinterpret_cast<QRgb*>(bits_ + qsizetype(y) * bpl_); }
    void plotDot(int cx, int cy, QRgb rgb, int w);
    int scaled(int width) const;

    QImage& img_;
    double s_;
    uchar* bits_ = nullptr;
    qsizetype bpl_ = 0;
    int W_ = 0, H_ = 0;
    QPainter* painter_ = nullptr;
};

// Vector shapes of the operations, shared by the SVG file and the printer so
// that both show what the picture painted at kFlatScale shows.
//
// A run of dots: one square of the pen width per dot, placed to a quarter
// pixel as the x4 bitmap places it, duplicates dropped. All squares turn the
// same way, so the path (non-zero rule) fills their union: overlaps never cancel.
QPainterPath dotSquares(const Description& d, const Op& op);
// A run of segments: one subpath per segment, to be stroked. The bitmap gives
// a line the pen width across its major axis (so a diagonal is thinner,
// measured square to it) and a square of the pen width, upright, centred on
// each end; so do the shapes: segments are grouped by that stroke width, a
// level or plumb line gets square caps (which are exactly those squares), a
// slanting one plain ends and its end squares in `points` (filled, non-zero
// rule), as does a segment of no length.
struct Stroke {
    double width = 1;
    bool squareCaps = true;
    QPainterPath path;
};
std::vector<Stroke> segmentStrokes(const Description& d, const Op& op, QPainterPath& points);
// The pen width, measured square to the line, that covers `width` pixels
// along the line's minor axis.
double strokeWidth(double dx, double dy, int width);

// Paints the description with a painter in logical coordinates (the
// painter's transform maps the 396-pixel square where it belongs): vector
// output for printers.
void paintVector(QPainter& p, const Description& d);

// The side in device pixels of a picture painted at scale, capped.
int sideAt(double scale);

}  // namespace picture

// A saved picture: its description, shared and never changed once saved,
// and its exact pixels at scale 1. Cheap to copy.
class Picture {
public:
    Picture() = default;
    Picture(std::shared_ptr<const picture::Description> d, QImage image) : d_(std::move(d)), image_(std::move(image)) {}

    bool isNull() const { return image_.isNull(); }
    const QImage& image() const { return image_; }
    const picture::Description* description() const { return d_.get(); }
    std::shared_ptr<const picture::Description> shared() const { return d_; }

    // Painted at scale (white when null); the scale is clamped to a sane range.
    QImage render(double scale) const;
    // Painted with a painter into target (vector where the device keeps vectors).
    void paint(QPainter& p, const QRectF& target) const;

private:
    std::shared_ptr<const picture::Description> d_;
    QImage image_;
};
