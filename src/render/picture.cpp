#include "render/picture.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_set>

namespace picture {

namespace {

// Cohen-Sutherland: clip the segment to the rectangle in place. The clipped
// end gets the boundary coordinate exactly and the other one by proportion,
// which stays accurate even for coordinates near 1E+38.
int outCode(double x, double y, double xlo, double ylo, double xhi, double yhi) {
    return (x < xlo ? 1 : 0) | (x > xhi ? 2 : 0) | (y < ylo ? 4 : 0) | (y > yhi ? 8 : 0);
}

bool clipSegment(double& x1, double& y1, double& x2, double& y2, double xlo, double ylo, double xhi, double yhi) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return false;
    int c1 = outCode(x1, y1, xlo, ylo, xhi, yhi), c2 = outCode(x2, y2, xlo, ylo, xhi, yhi);
    for (int round = 0; round < 8; ++round) {
        if (!(c1 | c2)) return true;
        if (c1 & c2) return false;
        const int c = c1 ? c1 : c2;
        double x, y;
        if (c & 8) {
            x = x1 + (x2 - x1) * ((yhi - y1) / (y2 - y1));
            y = yhi;
        } else if (c & 4) {
            x = x1 + (x2 - x1) * ((ylo - y1) / (y2 - y1));
            y = ylo;
        } else if (c & 2) {
            y = y1 + (y2 - y1) * ((xhi - x1) / (x2 - x1));
            x = xhi;
        } else {
            y = y1 + (y2 - y1) * ((xlo - x1) / (x2 - x1));
            x = xlo;
        }
        if (!std::isfinite(x) || !std::isfinite(y)) return false;
        if (c == c1) {
            x1 = x;
            y1 = y;
            c1 = outCode(x1, y1, xlo, ylo, xhi, yhi);
        } else {
            x2 = x;
            y2 = y;
            c2 = outCode(x2, y2, xlo, ylo, xhi, yhi);
        }
    }
    return !(c1 | c2);
}

// Consecutive operations of one kind and style share one entry, so that a
// freehand stroke (one short line per mouse move) or a loop of single dots
// costs only its points: new points starting at index first join the last
// run when it has their kind, colour and width and ends exactly there.
Op& runFor(std::vector<Op>& ops, Kind k, QRgb rgb, int width, size_t first) {
    const quint32 per = k == Kind::Segments ? 2 : 1;
    if (ops.empty() || ops.back().kind != k || ops.back().rgb != rgb || ops.back().width != width ||
        ops.back().first + ops.back().count * per != first) {
        Op op;
        op.kind = k;
        op.rgb = rgb;
        op.width = width;
        op.first = quint32(first);
        ops.push_back(op);
    }
    return ops.back();
}

}  // namespace

int sideAt(double scale) {
    if (!std::isfinite(scale) || scale <= 0) return kSize;
    return int(std::clamp(std::lround(kSize * std::min(scale, kMaxScale)), 1L, long(kMaxSide)));
}

// ---------------------------------------------------------------- description

void Description::clear() {
    base = baseHigh = QImage();
    ops.clear();
    points.clear();
    texts.clear();
    textBytes = 0;
}

size_t Description::weight() const {
    return ops.size() * sizeof(Op) + points.size() * sizeof(QPointF) + texts.size() * sizeof(TextItem) + textBytes;
}

void Description::append(const Description& other) {
    const quint32 shift = quint32(points.size());
    const int textShift = int(texts.size());
    ops.reserve(ops.size() + other.ops.size());
    for (Op op : other.ops) {
        op.first += shift;
        if (op.text >= 0) op.text += textShift;
        ops.push_back(op);
    }
    points.insert(points.end(), other.points.begin(), other.points.end());
    texts.insert(texts.end(), other.texts.begin(), other.texts.end());
    textBytes += other.textBytes;
}

void Description::addDot(double px, double py, QRgb rgb, int width) {
    ++runFor(ops, Kind::Dots, rgb, width, points.size()).count;
    points.emplace_back(px, py);
}

void Description::markDots(size_t from, QRgb rgb, int width) {
    if (from >= points.size()) return;
    runFor(ops, Kind::Dots, rgb, width, from).count += quint32(points.size() - from);
}

void Description::addSegment(double x1, double y1, double x2, double y2, QRgb rgb, int width) {
    ++runFor(ops, Kind::Segments, rgb, width, points.size()).count;
    points.emplace_back(x1, y1);
    points.emplace_back(x2, y2);
}

void Description::addEllipse(QPointF centre, double rx, double ry, QRgb rgb, int width) {
    Op op;
    op.kind = Kind::Ellipse;
    op.rgb = rgb;
    op.width = width;
    op.a = centre.x();
    op.b = centre.y();
    op.c = rx;
    op.d = ry;
    ops.push_back(op);
}

void Description::addBox(int x0, int y0, int x1, int y1, QRgb rgb) {
    Op op;
    op.kind = Kind::Box;
    op.rgb = rgb;
    op.a = x0;
    op.b = y0;
    op.c = x1;
    op.d = y1;
    ops.push_back(op);
}

void Description::addText(QPointF baseline, const QString& text, const QFont& font, QRgb rgb) {
    Op op;
    op.kind = Kind::Text;
    op.rgb = rgb;
    op.a = baseline.x();
    op.b = baseline.y();
    op.text = int(texts.size());
    texts.push_back({text, font});
    textBytes += size_t(text.size()) * sizeof(QChar);
    ops.push_back(op);
}

// ---------------------------------------------------------------- raster

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

int Raster::scaled(int width) const { return std::max(1, int(std::lround(width * s_))); }

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
        plotDot(int(std::floor(px)), int(std::floor(py)), rgb, w);
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
        const int lo = int(std::lround(minor)) - w / 2;
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
        const int a = int(std::ceil(std::min(px1, px2) - 0.5)), b = int(std::floor(std::max(px1, px2) - 0.5));
        for (int c = a; c <= b; ++c) span(c, dx == 0 ? py1 : py1 + (c + 0.5 - px1) * dy / dx, true);
    } else {
        const int a = int(std::ceil(std::min(py1, py2) - 0.5)), b = int(std::floor(std::max(py1, py2) - 0.5));
        for (int r = a; r <= b; ++r) span(r, px1 + (r + 0.5 - py1) * dx / dy, false);
    }
    // The end points themselves, so that even a segment shorter than a pixel leaves its dot.
    if (s_ == 1) {
        plotDot(int(std::floor(px1)), int(std::floor(py1)), rgb, w);
        plotDot(int(std::floor(px2)), int(std::floor(py2)), rgb, w);
        return;
    }
    // Scaled, the end dot is centred on the end point the way the spans are
    // centred on the line; a dot hanging off to one side (as the lower-right
    // rule does for an odd pen width) would give every short tick a hook.
    auto capAt = [&](double px, double py) {
        plotDot(int(std::lround(px)) - w / 2 + w - 1, int(std::lround(py)) - w / 2 + w - 1, rgb, w);
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

// ---------------------------------------------------------------- vector

QPainterPath dotSquares(const Description& d, const Op& op) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (op.kind != Kind::Dots) return path;
    // In quarter pixels: the x4 bitmap's block of a dot ends (right and
    // bottom) at floor(4p + 3) + 1 and is 4 * width wide.
    const int w = 4 * op.width;
    std::unordered_set<quint64> seen;
    for (quint32 i = 0; i < op.count; ++i) {
        const QPointF& q = d.points[op.first + i];
        if (!(std::fabs(q.x()) < 1e6 && std::fabs(q.y()) < 1e6)) continue;  // also drops NaN
        const int right = int(std::floor(4 * q.x() + 3)) + 1, bottom = int(std::floor(4 * q.y() + 3)) + 1;
        if (right <= 0 || bottom <= 0 || right - w >= 4 * kSize || bottom - w >= 4 * kSize) continue;
        if (!seen.insert(quint64(quint32(right)) << 32 | quint32(bottom)).second) continue;
        path.addRect(QRectF((right - w) / 4.0, (bottom - w) / 4.0, op.width, op.width));
    }
    return path;
}

double strokeWidth(double dx, double dy, int width) {
    const double len = std::hypot(dx, dy);
    return len > 0 ? width * std::max(std::fabs(dx), std::fabs(dy)) / len : width;
}

std::vector<Stroke> segmentStrokes(const Description& d, const Op& op, QPainterPath& points) {
    std::vector<Stroke> strokes;
    points.setFillRule(Qt::WindingFill);
    if (op.kind != Kind::Segments) return strokes;
    // Far-away coordinates (a steep line) are cut to a margin first, so that
    // no output holds numbers near 1E+38.
    const double m = 64;
    // End squares once each: the segments of a stroke share their ends.
    std::unordered_set<quint64> ends;
    auto endSquare = [&](double x, double y) {
        const quint64 key =
            quint64(quint32(qint32(std::lround(x * 100)))) << 32 | quint32(qint32(std::lround(y * 100)));
        if (!ends.insert(key).second) return;
        points.addRect(QRectF(x - op.width / 2.0, y - op.width / 2.0, op.width, op.width));
    };
    for (quint32 i = 0; i < op.count; ++i) {
        double x1 = d.points[op.first + 2 * i].x(), y1 = d.points[op.first + 2 * i].y();
        double x2 = d.points[op.first + 2 * i + 1].x(), y2 = d.points[op.first + 2 * i + 1].y();
        if (!clipSegment(x1, y1, x2, y2, -m, -m, kSize + m, kSize + m)) continue;
        const bool upright = x1 == x2 || y1 == y2;
        if (!upright || (x1 == x2 && y1 == y2)) {
            endSquare(x1, y1);
            endSquare(x2, y2);
            if (x1 == x2 && y1 == y2) continue;
        }
        // To a hundredth of a pixel, so that a freehand stroke's many
        // directions make few groups.
        const double width = std::round(strokeWidth(x2 - x1, y2 - y1, op.width) * 100) / 100;
        auto it = std::find_if(strokes.begin(), strokes.end(),
                               [&](const Stroke& s) { return s.width == width && s.squareCaps == upright; });
        if (it == strokes.end()) it = strokes.insert(strokes.end(), Stroke{width, upright, QPainterPath()});
        it->path.moveTo(x1, y1);
        it->path.lineTo(x2, y2);
    }
    return strokes;
}

void paintVector(QPainter& p, const Description& d) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRect(QRectF(0, 0, kSize, kSize), Qt::IntersectClip);
    p.fillRect(QRectF(0, 0, kSize, kSize), Qt::white);
    if (d.hasBase()) {
        p.setRenderHint(QPainter::LosslessImageRendering, true);
        p.drawImage(QRectF(0, 0, kSize, kSize), d.baseHigh.isNull() ? d.base : d.baseHigh);
    }
    for (const Op& op : d.ops) {
        const QColor color(op.rgb);
        switch (op.kind) {
        case Kind::Dots: p.fillPath(dotSquares(d, op), color); break;
        case Kind::Segments: {
            QPainterPath points;
            for (const Stroke& s : segmentStrokes(d, op, points))
                p.strokePath(s.path, QPen(color, s.width, Qt::SolidLine, s.squareCaps ? Qt::SquareCap : Qt::FlatCap,
                                          Qt::MiterJoin));
            if (!points.isEmpty()) p.fillPath(points, color);
            break;
        }
        case Kind::Ellipse: {
            QPen pen(color, op.width);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(op.a, op.b), op.c, op.d);
            break;
        }
        case Kind::Box: p.fillRect(QRectF(op.a, op.b, op.c - op.a, op.d - op.b), color); break;
        case Kind::Text:
            p.setFont(d.texts[size_t(op.text)].font);
            p.setPen(color);
            p.drawText(QPointF(op.a, op.b), d.texts[size_t(op.text)].text);
            break;
        }
    }
    p.restore();
}

}  // namespace picture

// ---------------------------------------------------------------- Picture

QImage Picture::render(double scale) const {
    const int side = picture::sideAt(scale);
    QImage img(side, side, QImage::Format_RGB32);
    if (!d_) {
        img.fill(Qt::white);
        return img;
    }
    picture::Raster r(img, double(side) / picture::kSize);
    r.paint(*d_);
    return img;
}

void Picture::paint(QPainter& p, const QRectF& target) const {
    p.save();
    p.translate(target.topLeft());
    p.scale(target.width() / picture::kSize, target.height() / picture::kSize);
    if (d_) picture::paintVector(p, *d_);
    else p.fillRect(QRectF(0, 0, picture::kSize, picture::kSize), Qt::white);
    p.restore();
}
