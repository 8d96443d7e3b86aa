#include "plot/canvas.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "numfmt/numfmt.h"
#include "platform/platform.h"

Canvas::Canvas(int width, int height) : img_(width, height, QImage::Format_RGB32) {
    img_.fill(Qt::white);
}

Canvas::~Canvas() { endPainter(); }

QPointF Canvas::toPixel(double x, double y) const {
    return {(x - kLeft) * img_.width() / (kRight - kLeft), (kTop - y) * img_.height() / (kTop - kBottom)};
}

QPointF Canvas::toWorld(double px, double py) const {
    return {kLeft + px * (kRight - kLeft) / img_.width(), kTop - py * (kTop - kBottom) / img_.height()};
}

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

void Canvas::clear() {
    endPainter();
    if (background_.isNull()) img_.fill(Qt::white);
    else {
        QPainter p(&img_);
        p.drawImage(0, 0, background_);
    }
    currentX = currentY = 0;
    touch();
}

void Canvas::setBackground(const QImage& picture) {
    endPainter();
    background_ = picture.convertToFormat(QImage::Format_RGB32);
    img_.fill(Qt::white);
    QPainter p(&img_);
    p.drawImage(0, 0, background_);
    touch();
}

void Canvas::removeBackground() { background_ = QImage(); }

QImage Canvas::snapshot() const { return image().copy(); }

// A dot of the pen covers a w x w block whose lower-right pixel is the one
// holding the point, so that pixelAt() of a drawn point always finds its colour.
void Canvas::plotDot(int cx, int cy, QRgb rgb, int w) {
    const int xa = std::max(cx - w + 1, 0), xb = std::min(cx, img_.width() - 1);
    const int ya = std::max(cy - w + 1, 0), yb = std::min(cy, img_.height() - 1);
    for (int y = ya; y <= yb; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img_.scanLine(y));
        for (int x = xa; x <= xb; ++x) row[x] = rgb;
    }
}

namespace {
// Liang-Barsky: clip the segment to the rectangle [lo, hi]^2 in place.
bool clipSegment(double& x1, double& y1, double& x2, double& y2, double xlo, double ylo, double xhi, double yhi) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return false;
    double t0 = 0, t1 = 1;
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - xlo, xhi - x1, y1 - ylo, yhi - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
        } else {
            const double t = q[i] / p[i];
            if (p[i] < 0) t0 = std::max(t0, t);
            else t1 = std::min(t1, t);
            if (t0 > t1) return false;
        }
    }
    const double nx1 = x1 + t0 * dx, ny1 = y1 + t0 * dy;
    x2 = x1 + t1 * dx;
    y2 = y1 + t1 * dy;
    x1 = nx1;
    y1 = ny1;
    return true;
}
}  // namespace

void Canvas::rasterLine(double px1, double py1, double px2, double py2, QRgb rgb) {
    endPainter();
    // Clip to a margin around the image first: coordinates can be huge (a
    // steep line), and the walk below must stay short.
    const double m = penWidth_ + 2;
    if (!clipSegment(px1, py1, px2, py2, -m, -m, img_.width() + m, img_.height() + m)) return;
    int x0 = int(std::floor(px1)), y0 = int(std::floor(py1));
    const int x1 = int(std::floor(px2)), y1 = int(std::floor(py2));
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        plotDot(x0, y0, rgb, penWidth_);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x0 += sx; }
        if (e2 <= dx) { err += dx; y0 += sy; }
    }
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
    endPainter();
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    const QPoint p = pixelAt(x, y);
    plotDot(p.x(), p.y(), c.rgb(), penWidth_);
    touch();
}

void Canvas::points(const std::vector<QPointF>& pts) {
    endPainter();
    const QRgb rgb = fore_.rgb();
    for (const QPointF& q : pts) {
        if (!std::isfinite(q.x()) || !std::isfinite(q.y())) continue;
        const QPoint p = pixelAt(q.x(), q.y());
        plotDot(p.x(), p.y(), rgb, penWidth_);
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
    endPainter();
    const QPointF a = toPixel(x1, y1), b = toPixel(x2, y2);
    auto cl = [](double v, int hi) { return int(std::clamp(std::floor(v), 0.0, double(hi))); };
    const int xa = cl(std::min(a.x(), b.x()), img_.width()), xb = cl(std::max(a.x(), b.x()), img_.width());
    const int ya = cl(std::min(a.y(), b.y()), img_.height()), yb = cl(std::max(a.y(), b.y()), img_.height());
    const QRgb rgb = c.rgb();
    for (int y = ya; y < yb; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img_.scanLine(y));
        for (int x = xa; x < xb; ++x) row[x] = rgb;
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
