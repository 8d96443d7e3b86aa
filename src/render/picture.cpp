#include "render/picture.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "render/raster.h"
#include "render/vector_replay.h"

namespace picture {

namespace {

int outCode(double x, double y, double xlo, double ylo, double xhi, double yhi) {
    return (x < xlo ? 1 : 0) | (x > xhi ? 2 : 0) | (y < ylo ? 4 : 0) | (y > yhi ? 8 : 0);
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
