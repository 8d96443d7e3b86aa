#include "plot/canvas.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "numfmt/numfmt.h"
#include "platform/platform.h"

Canvas::Canvas(QObject* parent) : QObject(parent), img_(kSize, kSize, QImage::Format_RGB32) {
    img_.fill(Qt::white);
}

Canvas::~Canvas() { endPainter(); }

QPoint Canvas::pixelAt(double x, double y) const {
    const QPointF p = toPixel(x, y);
    auto clampInt = [](double v) { return int(std::clamp(std::floor(v), -1e6, 1e6)); };
    return {clampInt(p.x()), clampInt(p.y())};
}

QPainter& Canvas::painter() {
    if (!painter_) {
        painter_ = new QPainter(&img_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
    }
    return *painter_;
}

void Canvas::endPainter() const {
    if (painter_) {
        painter_->end();
        delete painter_;
        painter_ = nullptr;
    }
}

const QImage& Canvas::image() const {
    endPainter();
    return img_;
}

void Canvas::paintBackground() {
    beginPixels();
    if (background_.isNull()) {
        img_.fill(Qt::white);
        return;
    }
    if (background_.size() == img_.size()) {
        // The usual case (the overlay snapshot): a straight copy of the rows.
        for (int y = 0; y < img_.height(); ++y)
            std::memcpy(row(y), background_.constScanLine(y), size_t(img_.width()) * sizeof(QRgb));
        return;
    }
    img_.fill(Qt::white);
    QPainter p(&img_);
    p.drawImage(0, 0, background_);
}

void Canvas::clear() {
    paintBackground();
    currentX = currentY = 0;
    touch();
}

void Canvas::setBackground(const QImage& picture) {
    background_ = picture.convertToFormat(QImage::Format_RGB32);
    paintBackground();
    touch();
}

void Canvas::removeBackground() { background_ = QImage(); }

QImage Canvas::snapshot() const { return image().copy(); }

// A dot of the pen covers a w x w block whose lower-right pixel is the one
// holding the point, so that pixelAt() of a drawn point always finds its colour.
void Canvas::beginPixels() {
    endPainter();
    bits_ = img_.bits();
    bpl_ = img_.bytesPerLine();
}

void Canvas::plotDot(int cx, int cy, QRgb rgb, int w) {
    const int xa = std::max(cx - w + 1, 0), xb = std::min(cx, img_.width() - 1);
    const int ya = std::max(cy - w + 1, 0), yb = std::min(cy, img_.height() - 1);
    for (int y = ya; y <= yb; ++y) {
        QRgb* line = row(y);
        for (int x = xa; x <= xb; ++x) line[x] = rgb;
    }
}

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
        if (c & 8) { x = x1 + (x2 - x1) * ((yhi - y1) / (y2 - y1)); y = yhi; }
        else if (c & 4) { x = x1 + (x2 - x1) * ((ylo - y1) / (y2 - y1)); y = ylo; }
        else if (c & 2) { y = y1 + (y2 - y1) * ((xhi - x1) / (x2 - x1)); x = xhi; }
        else { y = y1 + (y2 - y1) * ((xlo - x1) / (x2 - x1)); x = xlo; }
        if (!std::isfinite(x) || !std::isfinite(y)) return false;
        if (c == c1) { x1 = x; y1 = y; c1 = outCode(x1, y1, xlo, ylo, xhi, yhi); }
        else { x2 = x; y2 = y; c2 = outCode(x2, y2, xlo, ylo, xhi, yhi); }
    }
    return !(c1 | c2);
}
}  // namespace

// A pen of width w covers, at every step along the line's major axis, w
// pixels across it centred on the geometric line, so that the pixel that
// holds any point of the line (pixelAt) is always painted.
void Canvas::rasterLine(double px1, double py1, double px2, double py2, QRgb rgb) {
    beginPixels();
    // Clip to a margin around the image first: coordinates can be huge (a
    // steep line), and the walk below must stay short.
    const double m = penWidth_ + 2;
    if (!clipSegment(px1, py1, px2, py2, -m, -m, img_.width() + m, img_.height() + m)) return;
    const int w = penWidth_;
    const int W = img_.width(), H = img_.height();
    const double dx = px2 - px1, dy = py2 - py1;
    auto span = [&](int major, double minor, bool xMajor) {
        const int lo = int(std::lround(minor)) - w / 2;
        if (xMajor) {
            if (major < 0 || major >= W) return;
            for (int r = std::max(lo, 0); r < std::min(lo + w, H); ++r)
                row(r)[major] = rgb;
        } else {
            if (major < 0 || major >= H) return;
            QRgb* line = row(major);
            for (int c = std::max(lo, 0); c < std::min(lo + w, W); ++c) line[c] = rgb;
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
    plotDot(int(std::floor(px1)), int(std::floor(py1)), rgb, w);
    plotDot(int(std::floor(px2)), int(std::floor(py2)), rgb, w);
}

void Canvas::line(double x1, double y1, double x2, double y2) { line(x1, y1, x2, y2, fore_); }

void Canvas::line(double x1, double y1, double x2, double y2, QColor c) {
    const QPointF a = toPixel(x1, y1), b = toPixel(x2, y2);
    rasterLine(a.x(), a.y(), b.x(), b.y(), c.rgb());
    touch();
}

void Canvas::lines(const std::vector<QLineF>& segments) {
    const QRgb rgb = fore_.rgb();
    for (const QLineF& s : segments) {
        const QPointF a = toPixel(s.x1(), s.y1()), b = toPixel(s.x2(), s.y2());
        rasterLine(a.x(), a.y(), b.x(), b.y(), rgb);
    }
    touch();
}

void Canvas::point(double x, double y) { point(x, y, fore_); }

void Canvas::point(double x, double y, QColor c) {
    beginPixels();
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    const QPoint p = pixelAt(x, y);
    plotDot(p.x(), p.y(), c.rgb(), penWidth_);
    touch();
}

void Canvas::points(const std::vector<QPointF>& pts) {
    beginPixels();
    const QRgb rgb = fore_.rgb();
    const double sx = img_.width() / (kRight - kLeft), sy = img_.height() / (kTop - kBottom);
    const double w = img_.width(), h = img_.height();
    for (const QPointF& q : pts) {
        // The same mapping as pixelAt(), inlined: a curve has thousands of dots.
        const double px = (q.x() - kLeft) * sx, py = (kTop - q.y()) * sy;
        if (!(px > -2 && px < w + 2 && py > -2 && py < h + 2)) continue;  // also drops NaN
        plotDot(int(std::floor(px)), int(std::floor(py)), rgb, penWidth_);
    }
    touch();
}

void Canvas::circle(double x, double y, double r, double aspect) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(r) || !std::isfinite(aspect)) return;
    r = std::fabs(r);
    // Radius is the larger semi-axis: horizontal when aspect < 1, else vertical.
    double rx = r, ry = r;
    if (aspect < 1) ry = r * std::fabs(aspect);
    else if (aspect > 1) rx = r / aspect;
    const double sx = img_.width() / (kRight - kLeft), sy = img_.height() / (kTop - kBottom);
    const QPointF c = toPixel(x, y);
    // Far outside the picture nothing would show; keep the painter's numbers sane.
    if (std::fabs(c.x()) > 1e6 || std::fabs(c.y()) > 1e6 || rx * sx > 1e6 || ry * sy > 1e6) return;
    QPainter& p = painter();
    QPen pen(fore_);
    pen.setWidth(penWidth_);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, rx * sx, ry * sy);
    touch();
}

void Canvas::box(double x1, double y1, double x2, double y2, QColor c) {
    beginPixels();
    const QPointF a = toPixel(x1, y1), b = toPixel(x2, y2);
    auto cl = [](double v, int hi) { return int(std::clamp(std::floor(v), 0.0, double(hi))); };
    const int xa = cl(std::min(a.x(), b.x()), img_.width()), xb = cl(std::max(a.x(), b.x()), img_.width());
    const int ya = cl(std::min(a.y(), b.y()), img_.height()), yb = cl(std::max(a.y(), b.y()), img_.height());
    const QRgb rgb = c.rgb();
    for (int y = ya; y < yb; ++y) {
        QRgb* line = row(y);
        for (int x = xa; x < xb; ++x) line[x] = rgb;
    }
    touch();
}

QFont Canvas::currentFont() const { return uiFont(fontName_, fontSize_); }

void Canvas::print(const QString& text) {
    if (text.isEmpty() || !std::isfinite(currentX) || !std::isfinite(currentY)) return;
    const QPointF at = toPixel(currentX, currentY);
    if (std::fabs(at.x()) > 1e5 || std::fabs(at.y()) > 1e5) return;
    QPainter& p = painter();
    p.setFont(currentFont());
    p.setPen(fore_);
    const QFontMetrics fm(p.font());
    // Long texts are cut: nothing beyond the canvas width can show anyway.
    const QString shown = text.left(2000);
    p.drawText(QPointF(at.x(), at.y() + fm.ascent()), shown);
    touch();
}

void Canvas::printNumber(float v) { print(numfmt::printForm(v)); }
