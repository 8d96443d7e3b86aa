#pragma once
// The picture of a canvas kept as what was drawn rather than as pixels: every
// operation in drawing order, in the logical coordinates of the 396-pixel
// square, with its colour and pen width. The same description paints the
// exact screen bitmap at scale 1, a sharp one at any other scale (raster.h),
// and vector output (SVG, print) through a QPainter (vector_replay.h).
#include <QFont>
#include <QImage>
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

    // How many of the description's points the operation draws.
    size_t pointCount() const {
        return kind == Kind::Segments ? 2 * size_t(count) : kind == Kind::Dots ? size_t(count) : 0;
    }
};

struct TextItem {
    QString text;
    QFont font;
};

// Operations in drawing order, optionally on top of a flattened start.
struct Description {
    // When set, what was flattened: exact pixels at scale 1 and the same at
    // a larger scale (kFlatScale where the canvas flattened its own drawing,
    // a screen's own scale for the animator's trail; a plot file keeps it at
    // kFlatScale); the operations are drawn on top. Otherwise white.
    QImage base, baseHigh;
    std::vector<Op> ops;
    std::vector<QPointF> points;
    std::vector<TextItem> texts;
    size_t textBytes = 0;

    bool hasBase() const { return !base.isNull(); }
    bool empty() const { return ops.empty() && !hasBase(); }
    void clear();
    // Bytes the operations hold, roughly, the base images left out: what the
    // canvas's budget counts before it flattens (whoever keeps descriptions
    // counts their images too).
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

// Clips the segment to the rectangle in place (Cohen-Sutherland); false
// when nothing of it is inside. The clipped end gets the boundary coordinate
// exactly and the other one by proportion, which stays accurate even for
// coordinates near 1E+38. Both painters cut far-away lines with it.
bool clipSegment(double& x1, double& y1, double& x2, double& y2, double xlo, double ylo, double xhi, double yhi);

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
