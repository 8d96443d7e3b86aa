#include "render/vector_replay.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace picture {

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
