#include "render/raster.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace picture {

Raster::Raster(QImage& target, double scale)
    : img_(target), s_(std::isfinite(scale) && scale > 0 ? std::min(scale, kMaxScale) : 1.0) {
    W_ = img_.width();
    H_ = img_.height();
}

Raster::~Raster() { endPainter(); }

// Fetched for every operation: someone may hold a copy of the image since
// the last one, and bits() then detaches ours first.
void Raster::begin() {
    endPainter();
    bits_ = img_.bits();
    bpl_ = img_.bytesPerLine();
}

void Raster::endPainter() {
    if (painter_) {
        painter_->end();
        delete painter_;
        painter_ = nullptr;
    }
}

namespace {
// floor(), ceil() and round-half-away-from-zero for |v| < 1e7 without a call
// into the maths library (which the baseline instruction set makes of each):
// a curve has thousands of dots and segments.
int floorSmall(double v) {
    const int i = int(v);
    return i - (v < i);
}
int ceilSmall(double v) { return -floorSmall(-v); }
int roundSmall(double v) {
    const int i = int(v);
    const double f = v - i;  // exact: the whole part and the rest of a double
    return i + (f >= 0.5) - (f <= -0.5);
}
}  // namespace

int Raster::scaled(int width) const {
    const double v = width * s_;
    return std::max(1, std::fabs(v) < 1e7 ? roundSmall(v) : int(std::lround(v)));
}

void Raster::fillWhite() {
    endPainter();
    img_.fill(Qt::white);
}

void Raster::drawBase(const Description& d) {
    if (!d.hasBase()) return fillWhite();
    begin();
    if (s_ == 1 && d.base.size() == img_.size() && d.base.format() == img_.format()) {
        for (int y = 0; y < H_; ++y) std::memcpy(row(y), d.base.constScanLine(y), size_t(W_) * sizeof(QRgb));
        return;
    }
    // Nearest neighbour: the colours stay exact.
    img_.fill(Qt::white);
    QPainter p(&img_);
    const QImage& src = s_ == 1 || d.baseHigh.isNull() ? d.base : d.baseHigh;
    p.drawImage(QRectF(0, 0, kSize * s_, kSize * s_), src);
}

// A dot of the pen covers a w x w block whose lower-right pixel is the one
// holding the point, so that the pixel of a drawn point always has its
// colour. Scaled, the block keeps its place to a device pixel, which is what
// makes curves smooth rather than blocky on a dense screen.
void Raster::plotDot(int cx, int cy, QRgb rgb, int w) {
    const int xa = std::max(cx - w + 1, 0), xb = std::min(cx, W_ - 1);
    const int ya = std::max(cy - w + 1, 0), yb = std::min(cy, H_ - 1);
    for (int y = ya; y <= yb; ++y) {
        QRgb* line = row(y);
        for (int x = xa; x <= xb; ++x) line[x] = rgb;
    }
}

void Raster::dots(const QPointF* pts, size_t n, QRgb rgb, int width) {
    begin();
    const int w = scaled(width);
    const double s = s_, shift = s_ - 1;
    for (size_t i = 0; i < n; ++i) {
        const double px = pts[i].x() * s + shift, py = pts[i].y() * s + shift;
        // Whatever lies this far out cannot touch the image (and would not fit an int).
        if (!(std::fabs(px) < 1e7 && std::fabs(py) < 1e7)) continue;  // also drops NaN
        const int cx = floorSmall(px), cy = floorSmall(py);
        if (w <= 2 && cx >= 1 && cx < W_ && cy >= 1 && cy < H_) {
            // The common pens, whole inside the image.
            QRgb* line = row(cy);
            line[cx] = rgb;
            if (w == 2) {
                line[cx - 1] = rgb;
                QRgb* above = row(cy - 1);
                above[cx] = above[cx - 1] = rgb;
            }
            continue;
        }
        plotDot(cx, cy, rgb, w);
    }
}

// A pen of width w covers, at every step along the line's major axis, w
// pixels across it centred on the geometric line, so that the pixel that
// holds any point of the line is always painted.
void Raster::segment(double px1, double py1, double px2, double py2, QRgb rgb, int width) {
    begin();
    const int w = scaled(width);
    px1 *= s_, py1 *= s_, px2 *= s_, py2 *= s_;
    // Clip to a margin around the image first: coordinates can be huge (a
    // steep line), and the walk below must stay short.
    const double m = w + 2;
    if (!clipSegment(px1, py1, px2, py2, -m, -m, W_ + m, H_ + m)) return;
    const double dx = px2 - px1, dy = py2 - py1;
    auto span = [&](int major, double minor, bool xMajor) {
        const int lo = roundSmall(minor) - w / 2;
        if (xMajor) {
            if (major < 0 || major >= W_) return;
            for (int r = std::max(lo, 0); r < std::min(lo + w, H_); ++r) row(r)[major] = rgb;
        } else {
            if (major < 0 || major >= H_) return;
            QRgb* line = row(major);
            for (int c = std::max(lo, 0); c < std::min(lo + w, W_); ++c) line[c] = rgb;
        }
    };
    if (std::fabs(dx) >= std::fabs(dy)) {
        const int a = ceilSmall(std::min(px1, px2) - 0.5), b = floorSmall(std::max(px1, px2) - 0.5);
        for (int c = a; c <= b; ++c) span(c, dx == 0 ? py1 : py1 + (c + 0.5 - px1) * dy / dx, true);
    } else {
        const int a = ceilSmall(std::min(py1, py2) - 0.5), b = floorSmall(std::max(py1, py2) - 0.5);
        for (int r = a; r <= b; ++r) span(r, px1 + (r + 0.5 - py1) * dx / dy, false);
    }
    // The end points themselves, so that even a segment shorter than a pixel leaves its dot.
    if (s_ == 1) {
        plotDot(floorSmall(px1), floorSmall(py1), rgb, w);
        plotDot(floorSmall(px2), floorSmall(py2), rgb, w);
        return;
    }
    // Scaled, the end dot is centred on the end point the way the spans are
    // centred on the line; a dot hanging off to one side (as the lower-right
    // rule does for an odd pen width) would give every short tick a hook.
    auto capAt = [&](double px, double py) {
        plotDot(roundSmall(px) - w / 2 + w - 1, roundSmall(py) - w / 2 + w - 1, rgb, w);
    };
    capAt(px1, py1);
    capAt(px2, py2);
}

void Raster::box(int x0, int y0, int x1, int y1, QRgb rgb) {
    begin();
    // The box's pixels at scale 1, scaled exactly: what the eraser takes
    // away at one size it takes away at every size.
    auto sc = [&](int v, int hi) { return std::clamp(int(std::lround(v * s_)), 0, hi); };
    const int xa = sc(x0, W_), xb = sc(x1, W_), ya = sc(y0, H_), yb = sc(y1, H_);
    for (int y = ya; y < yb; ++y) {
        QRgb* line = row(y);
        for (int x = xa; x < xb; ++x) line[x] = rgb;
    }
}

void Raster::ellipse(QPointF centre, double rx, double ry, QRgb rgb, int width) {
    if (!painter_) {
        painter_ = new QPainter(&img_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
    }
    QPainter& p = *painter_;
    p.resetTransform();
    QPen pen{QColor(rgb)};
    pen.setWidth(scaled(width));
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre * s_, rx * s_, ry * s_);
}

void Raster::text(QPointF baseline, const QString& t, const QFont& font, QRgb rgb) {
    if (!painter_) {
        painter_ = new QPainter(&img_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
    }
    QPainter& p = *painter_;
    if (s_ == 1) p.resetTransform();
    else p.setTransform(QTransform::fromScale(s_, s_));
    p.setFont(font);
    p.setPen(QColor(rgb));
    p.drawText(baseline, t);
}

void Raster::paintOp(const Description& d, const Op& op) {
    switch (op.kind) {
    case Kind::Dots: dots(d.points.data() + op.first, op.count, op.rgb, op.width); break;
    case Kind::Segments:
        for (quint32 i = 0; i < op.count; ++i) {
            const QPointF& a = d.points[op.first + 2 * i];
            const QPointF& b = d.points[op.first + 2 * i + 1];
            segment(a.x(), a.y(), b.x(), b.y(), op.rgb, op.width);
        }
        break;
    case Kind::Ellipse: ellipse(QPointF(op.a, op.b), op.c, op.d, op.rgb, op.width); break;
    case Kind::Box: box(int(op.a), int(op.b), int(op.c), int(op.d), op.rgb); break;
    case Kind::Text:
        text(QPointF(op.a, op.b), d.texts[size_t(op.text)].text, d.texts[size_t(op.text)].font, op.rgb);
        break;
    }
}

void Raster::paintOps(const Description& d, size_t from) {
    for (size_t i = from; i < d.ops.size(); ++i) paintOp(d, d.ops[i]);
}

void Raster::paint(const Description& d) {
    drawBase(d);
    paintOps(d);
}

}  // namespace picture
